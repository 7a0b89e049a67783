#include <QtTest>

#include <QLabel>
#include <QTranslator>
#include <QXmlStreamReader>

#include <poppler-qt5.h>
#include <qwt_text.h>

#include <memory>

#include <sys/stat.h>

#include "DescriptionWindow.h"
#include "DialogScript.h"
#include "DeviceTask.h"
#include "DocumentWindow.h"
#include "PlotExport.h"
#include "RandomPlot.h"

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
    void onlyARegularFileOrANewNameIsWritten_data();
    void onlyARegularFileOrANewNameIsWritten();
    void failedWriteTellsTheOperator_data();
    void failedWriteTellsTheOperator();

private:
    // Exports as the operator does: the description typed and OK, then the
    // file name typed (none cancels), then any message read into message.
    void exportTo(DialogScript &script, const QString &fileName,
                  const QString &description = QStringLiteral("Test 1"), QString *message = nullptr);
    void verifyPlotShowsNoTitles();
    QString path(const QString &name) const { return dir.filePath(name); }
    static QByteArray head(const QString &fileName, int size);
    // What is at the path, a link not followed: "link to <target>", "file",
    // "folder", "fifo", "other", or empty when nothing is.
    static QString entryAt(const QString &path);
    // Puts a file, a FIFO or a folder (as kind says) at the path.
    static bool make(const QString &kind, const QString &path);
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

void tst_PlotExport::exportTo(DialogScript &script, const QString &fileName,
                              const QString &description, QString *message)
{
    script.then([description](QWidget *modal) {
        auto *dialog = qobject_cast<DescriptionWindow *>(modal);
        if (!dialog)
            return cancel(modal);
        QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("description")), description);
        dialog->accept();
    });
    script.then(fileName.isEmpty() ? DialogScript::Answer(cancel) : chooseFile(fileName));
    if (message)
        script.then(readMessage(message));
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

QString tst_PlotExport::entryAt(const QString &path)
{
    struct stat status;
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return QString();
    if (S_ISLNK(status.st_mode))
        return QStringLiteral("link to ") + QFileInfo(path).symLinkTarget();
    if (S_ISREG(status.st_mode))
        return QStringLiteral("file");
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("folder");
    return S_ISFIFO(status.st_mode) ? QStringLiteral("fifo") : QStringLiteral("other");
}

bool tst_PlotExport::make(const QString &kind, const QString &path)
{
    if (kind == QLatin1String("fifo"))
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == QLatin1String("folder"))
        return QDir().mkdir(path);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("yesterday's plot") == 16;
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
    DialogScript script;
    script.then([&labels](QWidget *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("description"));
        auto *label = dialog->findChild<QLabel *>(QStringLiteral("label"));
        labels << label->text();
        QTest::keyClicks(edit, QStringLiteral("Test"));
        labels << label->text();
        QTest::keyClicks(edit, QString(120, QLatin1Char('x')));
        labels << label->text();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
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

    DialogScript script;
    exportTo(script, fileName);
    QCOMPARE(script.met, (QStringList{QStringLiteral("DescriptionWindow"), QStringLiteral("QFileDialog")}));
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
    DialogScript script;
    exportTo(script, path(QStringLiteral("first.svg")));
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
    exportTo(script, path(QStringLiteral("second.svg")), QString());
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

    DialogScript script;
    exportTo(script, path(QStringLiteral("polish.svg")));
    QCoreApplication::removeTranslator(&polish);

    QCOMPARE(script.titles, (QStringList{QStringLiteral("Zapisywanie wykresu"),
                                       QStringLiteral("Eksportuj wykres do pliku")}));
    const auto svg = svgTexts(path(QStringLiteral("polish.svg")));
    QVERIFY(svg.first.startsWith(QStringLiteral("KORVEN program do obsługi wag\n")));
    QVERIFY(svg.second.contains(QStringLiteral("jednostki: kg")));
}

void tst_PlotExport::cancelledExportWritesNothingAndLeavesThePlotBare()
{
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);

    DialogScript script;
    exportTo(script, QString());
    QCOMPARE(script.met, (QStringList{QStringLiteral("DescriptionWindow"), QStringLiteral("QFileDialog")}));
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

    DialogScript script;
    exportTo(script, fileName);
    // An overwrite question would have been a third dialog.
    QCOMPARE(script.met, (QStringList{QStringLiteral("DescriptionWindow"), QStringLiteral("QFileDialog")}));
    QCOMPARE(head(fileName, 4), QByteArray("\x89PNG"));
}

// No device node here: as root, a regression would replace the machine's
// /dev/null with a picture. A FIFO and a folder stand for what is not a file.
void tst_PlotExport::onlyARegularFileOrANewNameIsWritten_data()
{
    QTest::addColumn<QString>("existing"); // what is at the target name first
    QTest::addColumn<bool>("throughLink"); // the name chosen links to the target
    QTest::addColumn<bool>("written");
    QTest::newRow("new name") << QString() << false << true;
    QTest::newRow("regular file") << "file" << false << true;
    QTest::newRow("link to a regular file") << "file" << true << true;
    QTest::newRow("link to a new name") << QString() << true << true;
    QTest::newRow("fifo") << "fifo" << false << false;
    QTest::newRow("link to a fifo") << "fifo" << true << false;
    QTest::newRow("folder") << "folder" << false << false;
    QTest::newRow("link to a folder") << "folder" << true << false;
}

void tst_PlotExport::onlyARegularFileOrANewNameIsWritten()
{
    QFETCH(QString, existing);
    QFETCH(bool, throughLink);
    QFETCH(bool, written);
    const QString folder = path(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(QDir().mkdir(folder));
    const QString target = folder + QStringLiteral("/target.png");
    const QString name = throughLink ? folder + QStringLiteral("/plot.png") : target;
    if (!existing.isEmpty())
        QVERIFY(make(existing, target));
    if (throughLink)
        QVERIFY(QFile::link(target, name));
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::System
                                                       | QDir::NoDotAndDotDot);

    PlotExport exporter(QSizeF(300, 200), 85);
    QCOMPARE(int(exporter.write(plot, name)),
             int(written ? PlotExport::Written : PlotExport::NotAFile));

    if (throughLink)
        QCOMPARE(entryAt(name), QStringLiteral("link to ") + target);
    if (written) {
        QCOMPARE(entryAt(target), QStringLiteral("file"));
        QCOMPARE(head(target, 4), QByteArray("\x89PNG"));
    } else {
        QCOMPARE(entryAt(target), existing);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 entries);
    }
}

void tst_PlotExport::failedWriteTellsTheOperator_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("existing"); // what is there first, and stays
    QTest::newRow("pdf in a missing folder") << QStringLiteral("missing/plot.pdf") << QString();
    QTest::newRow("ps in a missing folder") << QStringLiteral("missing/plot.ps") << QString();
    QTest::newRow("png in a missing folder") << QStringLiteral("missing/plot.png") << QString();
    // Nobody may create files in /proc, not even root.
    QTest::newRow("svg in a read-only folder") << QStringLiteral("/proc/plot.svg") << QString();
    QTest::newRow("unknown type") << QStringLiteral("plot.txt") << QString();
    QTest::newRow("no type") << QStringLiteral("plot") << QString();
    QTest::newRow("pipe") << QStringLiteral("pipe.svg") << QStringLiteral("fifo");
}

void tst_PlotExport::failedWriteTellsTheOperator()
{
    QFETCH(QString, fileName);
    QFETCH(QString, existing);
    const QString fullName = QDir(dir.path()).absoluteFilePath(fileName);
    if (!existing.isEmpty())
        QVERIFY(make(existing, fullName));

    DialogScript script;
    QString message;
    exportTo(script, fullName, QStringLiteral("Test 1"), &message);
    QCOMPARE(script.met, (QStringList{QStringLiteral("DescriptionWindow"), QStringLiteral("QFileDialog"),
                                  QStringLiteral("QMessageBox")}));
    QVERIFY2(message.contains(fullName), qPrintable(message));
    QCOMPARE(entryAt(fullName), existing);
    verifyPlotShowsNoTitles();
}

QTEST_MAIN(tst_PlotExport)
#include "tst_plotexport.moc"
