#ifndef SCALEONPTY_H
#define SCALEONPTY_H

#include <QtTest>

#include <functional>

#include "ScaleSimulator.h"

// How many descriptors of this process are open on the file or terminal.
inline int openDescriptorsOn(const QString &path)
{
    const QFileInfoList fds = QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System);
    return int(std::count_if(fds.cbegin(), fds.cend(), [&](const QFileInfo &fd) { return fd.symLinkTarget() == path; }));
}

// Scales at the far end of real pseudo-terminals, published in a folder of
// their own: the one fixture of the link, device and application tests.
// A scale either answers as the simulator does, or the test answers in its
// place, piece by piece, and knows which request each reply belongs to.
class ScaleOnPty
{
public:
    struct Piece
    {
        int afterMs; // after the request; a negative delay sends nothing
        QByteArray bytes;
    };
    // The reply to a request; n counts that scale's value requests from 1.
    using Script = std::function<QList<Piece>(char request, int n)>;

    ~ScaleOnPty() { qDeleteAll(scales); }

    // Starts one more scale of the kind on ttySIM<i>; null when the terminal cannot be had.
    ScaleSimulator *add(ScaleProtocol::Type type = ScaleProtocol::BuiltIn)
    {
        auto *scale = new ScaleSimulator;
        scales << scale;
        valueRequests << 0;
        if (!scale->start(dir.filePath(QStringLiteral("ttySIM%1").arg(scales.size() - 1))))
            return nullptr;
        scale->setType(type);
        return scale;
    }

    ScaleSimulator *at(int i) const { return scales.at(i); }
    QString port(int i) const { return scales.at(i)->portPath(); }
    QStringList ports() const
    {
        QStringList names;
        for (const ScaleSimulator *scale : scales)
            names << scale->portPath();
        return names;
    }
    // How many value requests scale i has been sent since it was scripted.
    int requests(int i) const { return valueRequests.at(i); }

    // Silences the simulator of scale i and answers its requests by script.
    void answer(int i, const Script &script)
    {
        ScaleSimulator *scale = scales.at(i);
        scale->setSilent(true);
        QObject::connect(scale, &ScaleSimulator::requestReceived, scale, [this, i, scale, script](char request) {
            const int n = request == 'A' ? ++valueRequests[i] : valueRequests.at(i);
            for (const Piece &piece : script(request, n))
                if (piece.afterMs >= 0)
                    QTimer::singleShot(piece.afterMs, scale, [scale, bytes = piece.bytes] { scale->send(bytes); });
        });
    }

    // A value frame as most scales write it: nine characters and a CR.
    static QByteArray crFrame(double value)
    {
        return QByteArray::number(value, 'f', 2).rightJustified(9, ' ') + '\r';
    }

private:
    QTemporaryDir dir;
    QList<ScaleSimulator *> scales;
    QList<int> valueRequests;
};

#endif // SCALEONPTY_H
