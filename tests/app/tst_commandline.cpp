#include <QtTest>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

// The program's command line as a user meets it on a terminal with no
// display: in the language last chosen, or before any choice in Polish, save
// the help, which follows the system's language then.
class tst_CommandLine : public QObject
{
    Q_OBJECT
private slots:
    void answersWithoutAWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("systemLanguage");
        QTest::addColumn<QString>("chosen"); // the language stored; empty before any choice
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("told"); // on the standard output after 0, on the error output otherwise
        QTest::newRow("--version past the toolkit's own options")
            << QStringList{"-platform", "offscreen", "--style=fusion", "-reverse", "--version"} << "C" << "" << 0
            << QStringLiteral("scaleacq " SCALEACQ_VERSION "\n");
        QTest::newRow("unknown at a first start on an English system: Polish")
            << QStringList{"--frobnicate"} << "en_US.UTF-8" << "" << 2
            << "scaleacq: Nieznana opcja \"frobnicate\".\nListę opcji wyświetla scaleacq --help.\n";
        QTest::newRow("unknown with English chosen on a Polish system")
            << QStringList{"--demo", "-x"} << "pl_PL.UTF-8" << "english" << 2
            << "scaleacq: Unknown option 'x'.\nSee scaleacq --help for the options.\n";
        QTest::newRow("a value for a switch") << QStringList{"--demo=yes"} << "C" << "polish" << 2
                                              << "scaleacq: Nieoczekiwana wartość po \"--demo\".\n";
        const QString polishHelp = "  -h, --help     Wyświetla pomoc dotyczącą opcji wiersza poleceń.\n"
                                   "  -v, --version  Wyświetla numer wersji.\n";
        const QString englishHelp = "  -h, --help     Displays help on commandline options.\n"
                                    "  -v, --version  Displays version information.\n";
        QTest::newRow("help at a first start on a Polish system")
            << QStringList{"--help"} << "pl_PL.UTF-8" << "" << 0 << polishHelp;
        QTest::newRow("help at a first start on an English system")
            << QStringList{"-h"} << "en_GB.UTF-8" << "" << 0 << englishHelp;
        QTest::newRow("help with Polish chosen on an English system")
            << QStringList{"--help"} << "en_US.UTF-8" << "polish" << 0 << polishHelp;
        QTest::newRow("help with English chosen on a Polish system")
            << QStringList{"--no-restore", "--help"} << "pl_PL.UTF-8" << "english" << 0 << englishHelp;
    }
    void answersWithoutAWindow()
    {
        QFETCH(QStringList, arguments); QFETCH(QString, systemLanguage); QFETCH(QString, chosen);
        QFETCH(int, exitCode); QFETCH(QString, told);
        QTemporaryDir config;
        if (!chosen.isEmpty())
            QSettings(config.filePath("scaleacq/shift.conf"), QSettings::IniFormat).setValue("language", chosen);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LC_ALL", "LC_MESSAGES", "LANGUAGE"})
            environment.remove(name);
        environment.insert("LANG", systemLanguage);
        environment.insert("XDG_CONFIG_HOME", config.path());
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(SCALEACQ_PROGRAM, arguments);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        const QString output = QString::fromUtf8(exitCode == 0 ? program.readAllStandardOutput()
                                                               : program.readAllStandardError());
        QCOMPARE(program.exitCode(), exitCode);
        QVERIFY2(output.contains(told), qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
