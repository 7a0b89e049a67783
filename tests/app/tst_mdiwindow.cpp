#include <QtTest>

#include <QAction>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QTranslator>

#include <functional>

#include "AppTestSupport.h"
#include "MdiWindow.h"
#include "Scaner.h"

namespace {

QString toolkitCancelText()
{
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Cancel);
    return box.button(QMessageBox::Cancel)->text();
}

} // namespace

class tst_MdiWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsInPolishOnceTheEventLoopTurns();
    void switchingToEnglishAndBackReappliesTheTexts();
    void stepStillAnswersToSpaceAfterASwitch();
    void withoutADocumentOnlyTheAlwaysUsableControlsWork();
    void windowMenuListsTheDocumentsInCreationOrder();
    void documentControlsStayUsableWhileAnotherProgramHasTheFocus();
    void resizingTheMainWindowRetilesTheDocuments();
    void closingWithAnActiveDocumentAsksFirst();
    void aboutDialogShowsTheEnglishPageUnderATranslatedTitle();
    void hidingTheLastVisibleViewShowsTheOtherOne();

private:
    QAction *action(const char *name) const { return window->findChild<QAction *>(name); }
    QMenu *menu(const char *name) const { return window->findChild<QMenu *>(name); }
    QMdiArea *workspace() const { return window->findChild<QMdiArea *>("workspace"); }
    QMdiSubWindow *openStandIn(const QString &title);
    void switchTo(const char *languageAction, const QString &expectedTitle);

    QTranslator programTranslator;
    QTranslator toolkitTranslator;
    MdiWindow *window = nullptr;
};

void tst_MdiWindow::initTestCase()
{
    Q_INIT_RESOURCE(scaleacq);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::installTranslator(&programTranslator);
    QApplication::installTranslator(&toolkitTranslator);
}

void tst_MdiWindow::init()
{
    window = new MdiWindow(&programTranslator, &toolkitTranslator);
    window->resize(1200, 700);
}

void tst_MdiWindow::cleanup()
{
    delete window;
    window = nullptr;
}

// Stands in for a document window: the main window only needs to know that
// a window of the workspace is active.
QMdiSubWindow *tst_MdiWindow::openStandIn(const QString &title)
{
    auto *document = new QWidget;
    document->setWindowTitle(title);
    QMdiSubWindow *sub = workspace()->addSubWindow(document);
    sub->show();
    workspace()->setActiveSubWindow(sub);
    return sub;
}

void tst_MdiWindow::switchTo(const char *languageAction, const QString &expectedTitle)
{
    action(languageAction)->trigger();
    QTRY_COMPARE(window->windowTitle(), expectedTitle);
}

void tst_MdiWindow::startsInPolishOnceTheEventLoopTurns()
{
    // Built in English: the catalogues only take effect through the event loop.
    QCOMPARE(window->windowTitle(), QStringLiteral("KORVEN scale software v2.1"));
    QCOMPARE(menu("languageMenu")->title(), QStringLiteral("&Languages"));

    window->show();
    QTRY_COMPARE(window->windowTitle(), QStringLiteral("KORVEN program do obsługi wag v2.1"));

    QStringList menuTitles;
    for (QAction *entry : window->menuBar()->actions())
        menuTitles << entry->text();
    QCOMPARE(menuTitles, QStringList({"&Urządzenie", "&Tryb", "&Opcje", "&Okno", "&Pomoc"}));
    QCOMPARE(menu("languageMenu")->title(), QStringLiteral("&Język"));
    QCOMPARE(action("recordAct")->text(), QStringLiteral("&Zapisuj"));
    QCOMPARE(action("recordAct")->statusTip(), QStringLiteral("Zapisuje"));
    QCOMPARE(action("englishAct")->text(), QStringLiteral("&Angielski"));
    QCOMPARE(window->findChild<Scaner *>()->toolTip(), QStringLiteral("kliknij aby zeskanować porty"));
    QCOMPARE(window->findChild<QPushButton *>("recPathButton")->toolTip(),
             QStringLiteral("Ustaw ścieżkę pliku"));

    // Set only while the window was built, so still English.
    QStringList barTitles;
    for (QToolBar *bar : window->findChildren<QToolBar *>())
        barTitles << bar->windowTitle();
    QCOMPARE(barTitles, QStringList({"Device", "Switch windows", "Mode", "Record", "Export"}));
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Done"));
    QCOMPARE(action("polishAct")->statusTip(), QStringLiteral("Set polish language"));
    QCOMPARE(action("tileAct")->shortcut(), QKeySequence(Qt::CTRL + Qt::Key_Down));

    QCOMPARE(toolkitCancelText(), QStringLiteral("Anuluj"));
}

void tst_MdiWindow::switchingToEnglishAndBackReappliesTheTexts()
{
    window->show();
    QTRY_COMPARE(window->windowTitle(), QStringLiteral("KORVEN program do obsługi wag v2.1"));
    auto *rate = window->findChild<QDoubleSpinBox *>("samplingRateBox");

    switchTo("englishAct", QStringLiteral("KORVEN weighing software v2.1"));
    QCOMPARE(menu("deviceMenu")->title(), QStringLiteral("&Device"));
    QCOMPARE(menu("languageMenu")->title(), QStringLiteral("&Language"));
    QCOMPARE(action("goAct")->text(), QStringLiteral("&Go"));
    QCOMPARE(action("goAct")->statusTip(), QStringLiteral("Go"));
    QCOMPARE(action("showGraphAct")->statusTip(), QStringLiteral("Show graph image"));
    QCOMPARE(rate->statusTip(), QStringLiteral("set sampling rate"));
    QCOMPARE(toolkitCancelText(), QStringLiteral("Cancel"));

    switchTo("polishAct", QStringLiteral("KORVEN program do obsługi wag v2.1"));
    QCOMPARE(menu("deviceMenu")->title(), QStringLiteral("&Urządzenie"));
    QCOMPARE(menu("languageMenu")->title(), QStringLiteral("&Język"));
    QCOMPARE(action("goAct")->text(), QStringLiteral("&Krocz"));
    QCOMPARE(action("goAct")->statusTip(), QStringLiteral("Rozpocznij probkowanie"));
    QCOMPARE(rate->statusTip(), QStringLiteral("Ustaw częstotliwość próbkowania"));
    QCOMPARE(toolkitCancelText(), QStringLiteral("Anuluj"));
}

void tst_MdiWindow::stepStillAnswersToSpaceAfterASwitch()
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QMdiSubWindow *document = openStandIn(QStringLiteral("COM1"));
    switchTo("englishAct", QStringLiteral("KORVEN weighing software v2.1"));
    switchTo("polishAct", QStringLiteral("KORVEN program do obsługi wag v2.1"));

    // Re-parsed from "Spacja", the toolkit's Polish name of the key.
    QCOMPARE(action("stepAct")->shortcut(), QKeySequence(Qt::Key_Space));
    QSignalSpy stepped(action("stepAct"), &QAction::triggered);
    document->widget()->setFocus();
    QTest::keyClick(document->widget(), Qt::Key_Space);
    QCOMPARE(stepped.count(), 1);
    QVERIFY(action("pauseAct")->isChecked());
}

void tst_MdiWindow::withoutADocumentOnlyTheAlwaysUsableControlsWork()
{
    window->show();
    const QStringList alwaysUsable = {"exitAct", "fullscreenAct", "graphViewAct", "aboutAct",
                                      "englishAct", "polishAct"};
    for (QAction *entry : window->findChildren<QAction *>()) {
        if (entry->objectName().isEmpty() || entry->objectName() == QLatin1String("separatorAct"))
            continue;
        QVERIFY2(entry->isEnabled() == alwaysUsable.contains(entry->objectName()),
                 qPrintable(entry->objectName()));
    }
    auto *recPath = window->findChild<QPushButton *>("recPathButton");
    QVERIFY(window->findChild<Scaner *>()->isEnabled());
    QVERIFY(!recPath->isEnabled());
    QCOMPARE(recPath->text(), QStringLiteral("..."));
    QVERIFY(!window->findChild<QDoubleSpinBox *>("samplingRateBox")->isEnabled());
    QVERIFY(!action("separatorAct")->isVisible());

    QMdiSubWindow *document = openStandIn(QStringLiteral("COM1"));
    QVERIFY(action("closeAct")->isEnabled());
    QVERIFY(action("showGraphAct")->isEnabled());
    QVERIFY(recPath->isEnabled());
    QVERIFY(action("separatorAct")->isVisible());

    // A file chosen for the document is forgotten with it.
    recPath->setText(QStringLiteral(".../w.txt"));
    recPath->setToolTip(QStringLiteral("/data/w.txt"));
    delete document;
    QTRY_VERIFY(!action("closeAct")->isEnabled());
    QCOMPARE(recPath->text(), QStringLiteral("..."));
    QCOMPARE(recPath->toolTip(), QStringLiteral("Ustaw ścieżkę pliku"));
}

void tst_MdiWindow::windowMenuListsTheDocumentsInCreationOrder()
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QMenu *windows = menu("windowMenu");
    QVERIFY(windows->actions().isEmpty());

    openStandIn(QStringLiteral("COM1"));
    QMdiSubWindow *second = openStandIn(QStringLiteral("COM2"));
    openStandIn(QStringLiteral("COM3"));
    workspace()->setActiveSubWindow(second);

    emit windows->aboutToShow();
    const QList<QAction *> entries = windows->actions();
    QCOMPARE(entries.size(), 11 + 3);
    QCOMPARE(entries.at(0), action("fullscreenAct"));
    QCOMPARE(entries.at(10), action("separatorAct"));
    QStringList texts;
    QStringList checked;
    for (QAction *entry : entries.mid(11)) {
        texts << entry->text();
        if (entry->isChecked())
            checked << entry->text();
    }
    QCOMPARE(texts, QStringList({"&1 COM1", "&2 COM2", "&3 COM3"}));
    QCOMPARE(checked, QStringList({"&2 COM2"}));

    // An entry makes its window the active one; the next opening rebuilds the
    // list rather than adding to it.
    entries.at(13)->trigger();
    QCOMPARE(workspace()->currentSubWindow()->windowTitle(), QStringLiteral("COM3"));
    emit windows->aboutToShow();
    QCOMPARE(windows->actions().size(), 14);
    QVERIFY(windows->actions().at(13)->isChecked());
}

void tst_MdiWindow::documentControlsStayUsableWhileAnotherProgramHasTheFocus()
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    openStandIn(QStringLiteral("COM1"));

    // The workspace then reports no active window at all.
    QApplication::setActiveWindow(nullptr);
    QEvent away(QEvent::ApplicationDeactivate);
    QApplication::sendEvent(qApp, &away);
    QVERIFY(!workspace()->activeSubWindow());
    QVERIFY(action("pauseAct")->isEnabled());
    QVERIFY(window->findChild<QDoubleSpinBox *>("samplingRateBox")->isEnabled());
}

void tst_MdiWindow::resizingTheMainWindowRetilesTheDocuments()
{
    window->show();
    QMdiSubWindow *first = openStandIn(QStringLiteral("COM1"));
    QMdiSubWindow *second = openStandIn(QStringLiteral("COM2"));
    first->showMaximized();

    window->resize(1000, 600);
    QTRY_VERIFY(!first->isMaximized());
    QVERIFY(!first->geometry().intersects(second->geometry()));
}

void tst_MdiWindow::closingWithAnActiveDocumentAsksFirst()
{
    window->show();
    QTRY_COMPARE(window->windowTitle(), QStringLiteral("KORVEN program do obsługi wag v2.1"));
    openStandIn(QStringLiteral("COM1"));

    QStringList buttons;
    auto readButtons = [&buttons](QWidget *modal) {
        for (QAbstractButton *button : qobject_cast<QMessageBox *>(modal)->buttons())
            buttons << button->text();
        cancel(modal);
    };
    {
        DialogScript script;
        script.then(readButtons);
        QVERIFY(!window->close());
        QCOMPARE(script.met, QStringList({"QMessageBox"}));
        QCOMPARE(script.titles, QStringList({"Zamykanie programu ..."}));
    }
    QVERIFY(window->isVisible());
    buttons.sort();
    QCOMPARE(buttons, QStringList({"Anuluj", "Odrzuć"}));

    QString text;
    DialogScript script;
    script.then(readMessage(&text, QMessageBox::Discard));
    QVERIFY(window->close());
    QVERIFY(!window->isVisible());
    QCOMPARE(text, QStringLiteral("Niektóre okna są wciąż otwarte. \n"
                                  "Czy chciałbyś coś zapisać przed zamknięciem programu?"));
}

void tst_MdiWindow::aboutDialogShowsTheEnglishPageUnderATranslatedTitle()
{
    window->show();
    QTRY_COMPARE(window->windowTitle(), QStringLiteral("KORVEN program do obsługi wag v2.1"));

    QString page;
    DialogScript script;
    script.then([&page](QWidget *modal) {
        page = modal->findChild<QTextBrowser *>("textBrowser")->toPlainText();
        modal->findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    });
    action("aboutAct")->trigger();
    QVERIFY(page.contains(QStringLiteral("Program do obsługi wag Korven v2.1")));
    QVERIFY(page.contains(QStringLiteral("Program interface is able to work with up to 4 KORVEN scales")));
    QVERIFY(!QApplication::activeModalWidget());

    switchTo("englishAct", QStringLiteral("KORVEN weighing software v2.1"));
    action("aboutAct")->trigger(); // no answer left: closed
    QCOMPARE(script.titles, QStringList({"O programie", "About program"}));
}

void tst_MdiWindow::hidingTheLastVisibleViewShowsTheOtherOne()
{
    window->show();
    openStandIn(QStringLiteral("COM1"));

    QSignalSpy lcd(window, &MdiWindow::showLcdSig);
    QSignalSpy graph(window, &MdiWindow::showGraphSig);
    action("showGraphAct")->trigger();
    QCOMPARE(graph.takeFirst().at(0).toBool(), false);
    QVERIFY(lcd.isEmpty());

    action("showLcdAct")->trigger();
    QVERIFY(action("showGraphAct")->isChecked());
    QVERIFY(!action("showLcdAct")->isChecked());
    QCOMPARE(graph.takeFirst().at(0).toBool(), true);
    QCOMPARE(lcd.takeFirst().at(0).toBool(), false);

    action("showGraphAct")->trigger();
    QVERIFY(action("showLcdAct")->isChecked());
    QVERIFY(!action("showGraphAct")->isChecked());
    QCOMPARE(graph.takeFirst().at(0).toBool(), false);
    QCOMPARE(lcd.takeFirst().at(0).toBool(), true);
}

QTEST_MAIN(tst_MdiWindow)
#include "tst_mdiwindow.moc"
