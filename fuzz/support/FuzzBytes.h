#ifndef FUZZBYTES_H
#define FUZZBYTES_H

// What the fuzz targets share: taking a setup from the input's first bytes,
// cutting the rest into the pieces the line delivers, and stopping on a
// broken invariant with the bytes that broke it.

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

class FuzzBytes
{
public:
    FuzzBytes(const uint8_t *data, size_t size)
        : bytes(reinterpret_cast<const char *>(data), int(size))
    {
    }

    // The next byte, 0 once the input has run out.
    uint8_t take() { return at < bytes.size() ? uint8_t(bytes.at(at++)) : 0; }
    // One of count choices.
    int choose(int count) { return take() % count; }
    // A count byte (its low three bits: 0..7) and that many piece lengths.
    QList<int> pieceLengths()
    {
        QList<int> lengths;
        for (int n = take() & 7; n > 0; --n)
            lengths << take();
        return lengths;
    }
    // Everything not taken yet.
    QByteArray rest() const { return bytes.mid(at); }
    // The rest cut into the pieces: the given lengths, the last piece taking
    // what remains. No piece is empty.
    QList<QByteArray> pieces(const QList<int> &lengths) const
    {
        const QByteArray line = rest();
        QList<QByteArray> cut;
        int offset = 0;
        for (int i = 0; i <= lengths.size() && offset < line.size(); ++i) {
            const int length = i < lengths.size() ? qMax(1, lengths.at(i)) : line.size() - offset;
            cut << line.mid(offset, length);
            offset += length;
        }
        return cut;
    }

    [[noreturn]] static void fail(const char *what, const QByteArray &seen)
    {
        std::fprintf(stderr, "invariant broken: %s on [%s]\n", what, seen.toHex(' ').constData());
        std::abort();
    }

private:
    QByteArray bytes;
    int at = 0;
};

#endif // FUZZBYTES_H
