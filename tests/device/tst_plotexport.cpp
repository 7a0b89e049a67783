#include <QtTest>

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTranslator>
#include <QXmlStreamReader>

#include <poppler-qt5.h>
#include <qwt_text.h>

#include <functional>
#include <memory>

#include "DescriptionWindow.h"
#include "DeviceTask.h"
#include "DocumentWindow.h"
#include "RandomPlot.h"

// Plays the operator in the modal dialogs of an export: it answers each one as
// it comes up, in whatever order, and notes what it met.
class Operator : public QObject
{
    Q_OBJECT

public:
    Operator()
    {
        connect(&poll, &QTimer::timeout, this, &Operator::answer);
        poll.start(5);
    }

    QString description = QStringLiteral("Test 1");
    QString fileName; // empty: the file dialog is cancelled
    // Replaces typing the description and pressing OK.
    std::function<void(DescriptionWindow *)> describe;

    QStringList met;  // class names of the dialogs, in order
    QStringList captions;
    QString message;

private slots:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == pending)
            return;
        met << QString::fromLatin1(modal->metaObject()->className());
        captions << modal->windowTitle();
        const bool again = answered.contains(modal);
        answered << modal;
        pending = modal;
        // Answered from the event loop, not from this slot: an answer may open
        // a nested dialog, and the poll does not fire while its slot runs.
        QTimer::singleShot(0, modal, [this, modal, again] {
            pending = nullptr;
            // A dialog that comes back is given up on, not answered in circles.
            if (again)
                modal->close();
            else
                respond(modal);
        });
    }

private:
    void respond(QWidget *modal)
    {
        if (auto *dialog = qobject_cast<DescriptionWindow *>(modal)) {
            if (describe) {
                describe(dialog);
            } else {
                QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("description")), description);
                dialog->accept();
            }
        } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            if (fileName.isEmpty()) {
                files->reject();
            } else {
                auto *edit = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                edit->setText(fileName);
                QTest::keyClick(edit, Qt::Key_Return);
            }
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            message = box->text();
            box->accept();
        } else {
            modal->close();
        }
    }

    QTimer poll;
    QList<QPointer<QWidget>> answered;
    QPointer<QWidget> pending;
};

// Exports the plot of a document window whose task runs on a port that does
// not exist: its link only times out, so the readings on the plot are the
// ones handed over here.
class tst_PlotExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void descriptionDialogCountsDownTo99Characters();
    void eachFormatIsWrittenAsItsSuffixSays_data();
    void eachFormatIsWrittenAsItsSuffixSays();
    void exportedTitleNamesProductTimeAndDescription();
    void exportSpeaksPolishAfterTheSwitch();
    void cancelledExportWritesNothingAndLeavesThePlotBare();
    void existingFileIsReplacedWithoutAQuestion();
    void failedWriteTellsTheOperator_data();
    void failedWriteTellsTheOperator();

private:
    void exportTo(Operator &op, const QString &fileName);
    void verifyPlotShowsNoTitles();
    QString path(const QString &name) const { return dir.filePath(name); }
    static QByteArray head(const QString &fileName, int size);
    static double inkShare(const QImage &image);
    // The SVG's title element, and the font of each text drawn.
    static QPair<QString, QHash<QString, QString>> svgTexts(const QString &fileName);

    QTemporaryDir dir;
    DocumentWindow *window = nullptr;
    RandomPlot *plot = nullptr;
};

void tst_PlotExport::init()
{
    window = new DocumentWindow(path(QStringLiteral("no-such-port")));
    QSignalSpy started(window, &DocumentWindow::documentWindowStarted);
    QVERIFY(started.wait(2000));
    DeviceTask *task = window->deviceTask();
    // The link of a missing port puts its time-out placeholder, units "--",
    // on the read-out every 1.1 s; on a slow run that would change the axis
    // title under a test. The readings below are all this window gets.
    task->stop();
    QVERIFY(task->wait(2000));
    plot = task->plotWidget();
    window->resize(640, 480);
    window->show();

    task->go();
    for (int i = 0; i < 40; ++i) {
        const QString value = QString::number(10.0 + (i % 10) * 0.5, 'f', 2);
        QVERIFY(QMetaObject::invokeMethod(task, "getSample", Q_ARG(QString, value),
                                          Q_ARG(QString, QStringLiteral("kg")),
                                          Q_ARG(QString, QStringLiteral("0"))));
    }
}

void tst_PlotExport::cleanup()
{
    delete window;
    window = nullptr;
    plot = nullptr;
}

void tst_PlotExport::exportTo(Operator &op, const QString &fileName)
{
    op.fileName = fileName;
    window->exportDocument();
}

void tst_PlotExport::verifyPlotShowsNoTitles()
{
    QVERIFY(plot->title().isEmpty());
    QVERIFY(plot->axisTitle(QwtPlot::yLeft).isEmpty());
    QVERIFY(plot->axisTitle(QwtPlot::xBottom).isEmpty());
}

QByteArray tst_PlotExport::head(const QString &fileName, int size)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.read(size) : QByteArray();
}

// Share of pixels that are not white: a blank page gives 0.
double tst_PlotExport::inkShare(const QImage &image)
{
    qint64 ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += (image.pixel(x, y) & 0xffffff) != 0xffffff;
    return image.isNull() ? 0.0 : double(ink) / (qint64(image.width()) * image.height());
}

QPair<QString, QHash<QString, QString>> tst_PlotExport::svgTexts(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QPair<QString, QHash<QString, QString>> svg;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("title")) {
            svg.first = xml.readElementText();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("text")) {
            const QXmlStreamAttributes a = xml.attributes();
            const QString font = a.value(QLatin1String("font-family")) + QLatin1Char(' ')
                                 + a.value(QLatin1String("font-size")) + QLatin1Char(' ')
                                 + a.value(QLatin1String("font-weight"));
            svg.second.insert(xml.readElementText(), font);
        }
    }
    return svg;
}

void tst_PlotExport::descriptionDialogCountsDownTo99Characters()
{
    QStringList labels;
    Operator op;
    op.describe = [&labels](DescriptionWindow *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("description"));
        auto *label = dialog->findChild<QLabel *>(QStringLiteral("label"));
        labels << label->text();
        QTest::keyClicks(edit, QStringLiteral("Test"));
        labels << label->text();
        QTest::keyClicks(edit, QString(120, QLatin1Char('x')));
        labels << label->text();
        QTest::keyClick(dialog, Qt::Key_Escape);
    };
    DescriptionWindow dialog;

    QCOMPARE(labels, (QStringList{QStringLiteral("max 99 chars"), QStringLiteral("95 chars left"),
                                  QStringLiteral("0 chars left")}));
    // Escape closes it, yet what was typed is still the description.
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.description(), QStringLiteral("Test") + QString(95, QLatin1Char('x')));
}

void tst_PlotExport::eachFormatIsWrittenAsItsSuffixSays_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QByteArray>("magic");
    QTest::newRow("pdf") << "pdf" << QByteArray("%PDF");
    QTest::newRow("svg") << "svg" << QByteArray("<?xml");
    QTest::newRow("ps") << "ps" << QByteArray("%!PS");
    QTest::newRow("png") << "png" << QByteArray("\x89PNG\r\n\x1a\n");
}

void tst_PlotExport::eachFormatIsWrittenAsItsSuffixSays()
{
    QFETCH(QString, suffix);
    QFETCH(QByteArray, magic);
    const QString fileName = path(QStringLiteral("plot.") + suffix);

    Operator op;
    exportTo(op, fileName);
    QCOMPARE(op.met, (QStringList{QStringLiteral("DescriptionWindow"), QStringLiteral("QFileDialog")}));
    QCOMPARE(head(fileName, magic.size()), magic);
    verifyPlotShowsNoTitles();

    // 300 x 200 mm is 850.4 x 566.9 points, and 1004 x 669 pixels at 85 dpi.
    if (suffix == QLatin1String("pdf")) {
        const std::unique_ptr<Poppler::Document> pdf(Poppler::Document::load(fileName));
        QVERIFY(pdf);
        QCOMPARE(pdf->numPages(), 1);
        const std::unique_ptr<Poppler::Page> page(pdf->page(0));
        QCOMPARE(page->pageSizeF().toSize(), QSize(850, 567));
        QVERIFY(inkShare(page->renderToImage(36, 36)) > 0.5);
    } else if (suffix == QLatin1String("ps")) {
        QFile ps(fileName);
        QVERIFY(ps.open(QIODevice::ReadOnly));
        const QByteArray text = ps.readAll();
        QVERIFY(text.contains("%%BoundingBox: 0 0 850 567"));
        QVERIFY(text.contains("showpage"));
    } else if (suffix == QLatin1String("png")) {
        const QImage image(fileName);
        QCOMPARE(image.size(), QSize(1004, 669));
        QVERIFY(inkShare(image) > 0.5);
    }
}

void tst_PlotExport::exportedTitleNamesProductTimeAndDescription()
{
    const QString format = QStringLiteral("dd.MM.yyyy   hh:mm");
    const QString before = QDateTime::currentDateTime().toString(format);
    Operator op;
    exportTo(op, path(QStringLiteral("first.svg")));
    const QString after = QDateTime::currentDateTime().toString(format);

    const auto first = svgTexts(path(QStringLiteral("first.svg")));
    const QStringList lines = first.first.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), QStringLiteral("KORVEN WEIGHING SOFTWARE"));
    QVERIFY2(lines.at(1) == before || lines.at(1) == after, qPrintable(lines.at(1)));
    QCOMPARE(lines.at(2), QStringLiteral("Test 1"));
    // Each line is drawn; the value axis names the latest reading's units.
    for (const QString &line : lines)
        QVERIFY2(first.second.contains(line), qPrintable(line));
    QVERIFY(first.second.contains(QStringLiteral("units: kg")));

    // An empty description leaves the third line empty, and a second export
    // draws its titles in the fonts of the first.
    op.description.clear();
    exportTo(op, path(QStringLiteral("second.svg")));
    const auto second = svgTexts(path(QStringLiteral("second.svg")));
    QVERIFY(second.first.endsWith(QLatin1Char('\n')));
    QCOMPARE(second.first.count(QLatin1Char('\n')), 2);
    for (const QString &text : {lines.at(0), QStringLiteral("units: kg")})
        QCOMPARE(second.second.value(text), first.second.value(text));
}

void tst_PlotExport::exportSpeaksPolishAfterTheSwitch()
{
    Q_INIT_RESOURCE(scaleacq);
    QTranslator polish;
    QVERIFY(polish.load(QStringLiteral(":/polish.qm")));
    QCoreApplication::installTranslator(&polish);

    Operator op;
    exportTo(op, path(QStringLiteral("polish.svg")));
    QCoreApplication::removeTranslator(&polish);

    QCOMPARE(op.captions, (QStringList{QStringLiteral("Zapisywanie wykresu"),
                                       QStringLiteral("Eksportuj wykres do pliku")}));
    const auto svg = svgTexts(path(QStringLiteral("polish.svg")));
    QVERIFY(svg.first.startsWith(QStringLiteral("KORVEN program do obsługi wag\n")));
    QVERIFY(svg.second.contains(QStringLiteral("jednostki: kg")));
}

void tst_PlotExport::cancelledExportWritesNothingAndLeavesThePlotBare()
{
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);

    Operator op;
    exportTo(op, QString());
    QCOMPARE(op.met, (QStringList{QStringLiteral("DescriptionWindow"), QStringLiteral("QFileDialog")}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), before);
    verifyPlotShowsNoTitles();
}

void tst_PlotExport::existingFileIsReplacedWithoutAQuestion()
{
    const QString fileName = path(QStringLiteral("existing.png"));
    QFile old(fileName);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("yesterday's plot");
    old.close();

    Operator op;
    exportTo(op, fileName);
    // An overwrite question would have been a third dialog.
    QCOMPARE(op.met, (QStringList{QStringLiteral("DescriptionWindow"), QStringLiteral("QFileDialog")}));
    QCOMPARE(head(fileName, 4), QByteArray("\x89PNG"));
}

void tst_PlotExport::failedWriteTellsTheOperator_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("pdf in a missing folder") << QStringLiteral("missing/plot.pdf");
    QTest::newRow("ps in a missing folder") << QStringLiteral("missing/plot.ps");
    QTest::newRow("png in a missing folder") << QStringLiteral("missing/plot.png");
    // Nobody may create files in /proc, not even root.
    QTest::newRow("svg in a read-only folder") << QStringLiteral("/proc/plot.svg");
    QTest::newRow("unknown type") << QStringLiteral("plot.txt");
    QTest::newRow("no type") << QStringLiteral("plot");
}

void tst_PlotExport::failedWriteTellsTheOperator()
{
    QFETCH(QString, fileName);
    const QString fullName = QDir(dir.path()).absoluteFilePath(fileName);

    Operator op;
    exportTo(op, fullName);
    QCOMPARE(op.met, (QStringList{QStringLiteral("DescriptionWindow"), QStringLiteral("QFileDialog"),
                                  QStringLiteral("QMessageBox")}));
    QVERIFY2(op.message.contains(fullName), qPrintable(op.message));
    QVERIFY(!QFileInfo::exists(fullName));
    verifyPlotShowsNoTitles();
}

QTEST_MAIN(tst_PlotExport)
#include "tst_plotexport.moc"
