#include <QtTest>

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QTranslator>

#include "DeviceTask.h"
#include "DialogScript.h"
#include "DocumentWindow.h"
#include "MdiWindow.h"
#include "ScaleOnPty.h"

namespace {

// The Polish catalogue as listed, typed from the list: source and Polish text
// in pairs. "\n" is a line break; trailing blanks count.
const struct { const char *context; QStringList pairs; } listed[] = {
    {"MdiWindow", {"&About", "&O programie", "&Close", "&Zamknij", "&Device", "&Urządzenie",
        "&English", "&Angielski", "&Exit", "&Wyjdź", "&Export", "&Eksportuj wykres",
        "&Fullscreen", "&Pełny ekran", "&Go", "&Krocz", "&Graph View", "&Widok wykresu",
        "&Help", "&Pomoc", "&Language", "&Język", "&Maximize", "&Maksymalizuj", "&Mode", "&Tryb",
        "&Next window", "&Następne", "&Options", "&Opcje", "&Pause", "&Pauza", "&Polish", "&Polski",
        "&Previous window", "&Poprzednie", "&Record", "&Zapisuj", "&Show LCD display",
        "&Pokaż ekrany LCD", "&Show graph", "&Pokaż wykresy", "&Step", "&Krok", "&Tile", "&Kafelkowy",
        "&Window", "&Okno", "About this application", "Informacje o aplikacji",
        "Change graph attributes", "Zmień atrybuty wykresu",
        "Chose file to save samples", "Wybierz plik do zachowywania próbek",
        "Close this document", "Zamknij ten dokument", "Closing program ...", "Zamykanie programu ...",
        "Ctrl+Down", "Ctrl+Dół", "Ctrl+Left", "Ctrl+Lewy", "Ctrl+Right", "Ctrl+Prawy",
        "Ctrl+Up", "Ctrl+Góra", "Done", "Uruchamianie zakończone",
        "Export plot to file", "Eksportuj wykres do pliku", "Go", "Rozpocznij probkowanie",
        "KORVEN scale software ", "KORVEN program do obsługi wag",
        "KORVEN weighing software ", "KORVEN program do obsługi wag ",
        "Maximize the windows", "Maksymalizuj okna", "Move to the next window", "Przejdź do kolejnego okna",
        "Move to the previous window", "Przejdź do poprzedniego okna", "Pause", "Zatrzymaj próbkowanie",
        "Quit the application", "Zamknij aplikację", "Record", "Zapisuje",
        "Set english language", "Ustaw język angielski", "Set fullscreen", "Ustaw tryb pełnego ekranu",
        "Set polish language", "Ustaw język polski", "Show LCD display", "Pokaż ekrany LCD",
        "Show graph image", "Pokaż wykresy", "Space", "Spacja", "Step", "Pobierz kolejną próbkę",
        "There are still opened devices.\nDo you want to save something before program is closed?",
        "Niektóre okna są wciąż otwarte. \nCzy chciałbyś coś zapisać przed zamknięciem programu?",
        "Tile the windows", "Kafelkowy układ okienek", "click to scan for new devices",
        "kliknij aby zeskanować porty", "set file path", "Ustaw ścieżkę pliku",
        "set sampling rate", "Ustaw częstotliwość próbkowania"}},
    {"DocumentWindow", {"Export Plot Name", "Eksportuj wykres do pliku", "KORVEN WEIGHING SOFTWARE",
        "KORVEN program do obsługi wag", "units: ", "jednostki: "}},
    {"DeviceTask", {"How to use graph:\nclick left & move - zoom in specific area\nclick center - "
        "zoom out one level\nclick right - zoom out completely", "Jak używać wyresu za pomocą "
        "przycisków myszy:\nlewy i ruch - powiększenie obszaru\nśrodkowy - pomniejszenie do "
        "poprzedniego widoku\nprawy - pomniejszenie początkowe"}},
    {"GraphView", {"Background", "Tło", "Colors", "Kolory", "Curve", "Linia", "Curve Style",
        "Styl linii", "Graph view", "Widok wykresu", "Grid", "Siatka", "Sample", "Próbka",
        "View example", "Przykład wykresu"}},
    {"DescriptionWindow", {"Graph description", "Opis wykresu", "Saving graph", "Zapisywanie wykresu",
        "max 99 chars", "maksymalnie 99 znaków"}},
    {"AboutWindow", {"About program", "O programie"}},
};

const QString polishTitle = QStringLiteral("KORVEN program do obsługi wag v2.1");
const QString englishTitle = QStringLiteral("KORVEN weighing software v2.1");

QString toolkitCancelText()
{
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Cancel);
    return box.button(QMessageBox::Cancel)->text();
}

// The main window's texts by where they show (status tips as "<action> tip"),
// the window title aside.
QMap<QString, QString> textsOf(const MdiWindow &window)
{
    QMap<QString, QString> texts;
    for (const QAction *action : window.findChildren<QAction *>(QRegularExpression("Act$")))
        texts.insert(action->objectName(), action->text()), texts.insert(action->objectName() + " tip", action->statusTip());
    for (const QMenu *menu : window.findChildren<QMenu *>(QRegularExpression("Menu$")))
        texts.insert(menu->objectName(), menu->title());
    for (const QWidget *widget : window.findChildren<QWidget *>(QRegularExpression("^(scaner|recPathButton|samplingRateBox)$")))
        texts.insert(widget->objectName(), widget->toolTip()), texts.insert(widget->objectName() + " tip", widget->statusTip());
    return texts;
}

} // namespace

class tst_Shell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { delete window; }
    void everyListedTextHasItsPolishTranslationAndEveryImageLoads();
    void startsInPolishAndEachSwitchReappliesEveryText();
    void withoutADocumentOnlyTheAlwaysUsableControlsWork();
    void aboutShowsTheEnglishPageUnderATranslatedTitle();
    void menusAndToolBarsFollowTheLayout_data();
    void menusAndToolBarsFollowTheLayout();
    void intervalRunsFromAFifthOfASecondToAMinuteInTenths_data();
    void intervalRunsFromAFifthOfASecondToAMinuteInTenths();
    void fullScreenAndBack();
    void everyShortcutDoesItsThing_data();
    void everyShortcutDoesItsThing();

private:
    QAction *action(const char *name) const { return window->findChild<QAction *>(name); }
    QMdiArea *workspace() const { return window->findChild<QMdiArea *>(); }
    QMdiSubWindow *frame(int scale) const;
    DocumentWindow *document(int scale) const { return frame(scale) ? qobject_cast<DocumentWindow *>(frame(scale)->widget()) : nullptr; }
    bool openThree();
    void switchTo(MdiWindow *target, bool polish);
    QList<QStringList> layout() const;
    QString state(int readings, const QStringList &asked) const;

    QTranslator programTranslator;
    QTranslator toolkitTranslator;
    ScaleOnPty scales;
    MdiWindow *window = nullptr;
};

void tst_Shell::initTestCase()
{
    Q_INIT_RESOURCE(scaleacq);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::installTranslator(&programTranslator);
    QApplication::installTranslator(&toolkitTranslator);
    for (int i = 0; i < 3; ++i)
        QVERIFY(scales.add());
}

QMdiSubWindow *tst_Shell::frame(int scale) const
{
    for (QMdiSubWindow *frame : workspace()->subWindowList())
        if (frame->windowTitle() == scales.port(scale))
            return frame;
    return nullptr;
}

// The main window shown and active, a document on each scale (opened as the
// port selector opens it), the first one current, running and tiled.
bool tst_Shell::openThree()
{
    if (window && !window->isVisible())
        delete window, window = nullptr;
    if (!window) {
        window = new MdiWindow(&programTranslator, &toolkitTranslator);
        window->show();
    }
    for (int i = 0; i < 3; ++i) {
        if (!frame(i))
            window->deviceNew(scales.port(i));
        if (!QTest::qWaitFor([&] { return frame(i); }))
            return false;
    }
    window->activateWindow();
    workspace()->setActiveSubWindow(frame(0));
    workspace()->tileSubWindows();
    action("goAct")->trigger();
    document(0)->setFocus();
    return QTest::qWaitForWindowActive(window)
           && QTest::qWaitFor([&] { return document(0)->deviceTask()->readings() > 0; });
}

void tst_Shell::switchTo(MdiWindow *target, bool polish)
{
    target->findChild<QAction *>(polish ? "polishAct" : "englishAct")->trigger();
    QVERIFY(QTest::qWaitFor([&] { return target->windowTitle() == (polish ? polishTitle : englishTitle); }));
}

void tst_Shell::everyListedTextHasItsPolishTranslationAndEveryImageLoads()
{
    QTranslator polish;
    QVERIFY(polish.load(":/polish.qm"));
    for (const auto &context : listed)
        for (int i = 0; i < context.pairs.size(); i += 2) {
            const QString found = polish.translate(context.context, context.pairs.at(i).toUtf8());
            QVERIFY2(found == context.pairs.at(i + 1), qPrintable(context.pairs.at(i) + " gives " + found));
        }
    for (const char *name : {"korven", "media_playback_pause", "media_skip_forward", "media_playback_start",
                             "button_black_rec", "view_fullscreen", "maximized", "large_tiles",
                             "right_grey", "left_grey", "lcd", "chart_line", "picture_save"})
        QVERIFY2(!QImage(QString(":/images/%1.png").arg(name)).isNull(), name);
}

void tst_Shell::startsInPolishAndEachSwitchReappliesEveryText()
{
    // As at start-up: both translators installed and empty.
    programTranslator.load(QString());
    toolkitTranslator.load(QString());
    MdiWindow fresh(&programTranslator, &toolkitTranslator);
    QCOMPARE(fresh.windowTitle(), QString("KORVEN scale software v2.1"));
    QTRY_COMPARE(fresh.windowTitle(), polishTitle);
    QCOMPARE(fresh.statusBar()->currentMessage(), QString("Done"));
    QCOMPARE(toolkitCancelText(), QString("Anuluj"));

    switchTo(&fresh, false);
    const QMap<QString, QString> english = textsOf(fresh);
    QCOMPARE(toolkitCancelText(), QString("Cancel"));
    switchTo(&fresh, true);
    const QMap<QString, QString> polish = textsOf(fresh);
    QCOMPARE(toolkitCancelText(), QString("Anuluj"));
    for (auto text = english.cbegin(); text != english.cend(); ++text) {
        // The language actions' status tips are set once, in English.
        const bool once = text.key().endsWith("lishAct tip") || text.value().isEmpty();
        const QString expected = once ? text.value() : programTranslator.translate("MdiWindow", text.value().toUtf8());
        QVERIFY2(!expected.isEmpty() || once, qPrintable(text.key() + " \"" + text.value() + "\" is not in the catalogue"));
        QVERIFY2(polish.value(text.key()) == expected, qPrintable(text.key() + " reads " + polish.value(text.key())));
    }
    switchTo(&fresh, false);
    QCOMPARE(textsOf(fresh), english);
}

void tst_Shell::withoutADocumentOnlyTheAlwaysUsableControlsWork()
{
    MdiWindow fresh(&programTranslator, &toolkitTranslator);
    const QStringList alwaysUsable = {"exitAct", "fullscreenAct", "graphViewAct", "aboutAct", "englishAct", "polishAct"};
    for (const QAction *action : fresh.findChildren<QAction *>(QRegularExpression("Act$")))
        QVERIFY2((action->isEnabled() && action->isVisible()) == alwaysUsable.contains(action->objectName()),
                 qPrintable(action->objectName()));
    QVERIFY(fresh.findChild<QWidget *>("scaner")->isEnabled());
    QVERIFY(!fresh.findChild<QWidget *>("samplingRateBox")->isEnabled());
    auto *recPath = fresh.findChild<QPushButton *>("recPathButton");
    QVERIFY(!recPath->isEnabled());
    QCOMPARE(recPath->text(), QString("..."));
}

void tst_Shell::aboutShowsTheEnglishPageUnderATranslatedTitle()
{
    MdiWindow fresh(&programTranslator, &toolkitTranslator);
    for (bool polish : {true, false}) {
        switchTo(&fresh, polish);
        QString page;
        DialogScript script;
        script.then([&page](QWidget *about) {
            page = about->findChild<QTextBrowser *>()->toPlainText();
            about->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        fresh.findChild<QAction *>("aboutAct")->trigger();
        QCOMPARE(script.titles, QStringList(polish ? "O programie" : "About program"));
        QVERIFY(page.contains("Program do obsługi wag Korven v2.1"));
        QVERIFY(page.contains("Program interface is able to work with up to 4 KORVEN scales connected to computer by RS232 or USB 2.0."));
    }
}

void tst_Shell::menusAndToolBarsFollowTheLayout_data()
{
    QTest::addColumn<bool>("polish");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("entries");
    // Title, then entries: "|" a separator, "[tool tip]" a widget, "*" checked.
    // The menus in menu-bar order, the languages submenu, the tool bars.
    const QStringList table[][2] = {
        {{"&Device", "&Export", "&Close", "|", "&Exit"}, {"&Urządzenie", "&Eksportuj wykres", "&Zamknij", "|", "&Wyjdź"}},
        {{"&Mode", "&Pause", "&Step", "&Go*", "&Record"}, {"&Tryb", "&Pauza", "&Krok", "&Krocz*", "&Zapisuj"}},
        {{"&Options", "&Language", "&Graph View"}, {"&Opcje", "&Język", "&Widok wykresu"}},
        {{"&Language", "&English", "&Polish"}, {"&Język", "&Angielski", "&Polski"}},
        {{"&Window", "&Fullscreen", "|", "&Maximize", "&Tile", "|", "&Next window", "&Previous window", "|",
          "&Show LCD display*", "&Show graph*", "|", "&1 ttySIM0*", "&2 ttySIM1", "&3 ttySIM2"},
         {"&Okno", "&Pełny ekran", "|", "&Maksymalizuj", "&Kafelkowy", "|", "&Następne", "&Poprzednie", "|",
          "&Pokaż ekrany LCD*", "&Pokaż wykresy*", "|", "&1 ttySIM0*", "&2 ttySIM1", "&3 ttySIM2"}},
        {{"&Help", "&About"}, {"&Pomoc", "&O programie"}},
        // Tool bar titles are set once, in English.
        {{"Device", "[click to scan for new devices]"}, {"Device", "[kliknij aby zeskanować porty]"}},
        {{"Switch windows", "&Maximize", "&Tile", "&Previous window", "&Next window", "&Show LCD display*", "&Show graph*"},
         {"Switch windows", "&Maksymalizuj", "&Kafelkowy", "&Poprzednie", "&Następne", "&Pokaż ekrany LCD*", "&Pokaż wykresy*"}},
        {{"Mode", "&Pause", "&Step", "&Go*", "[set sampling rate]"}, {"Mode", "&Pauza", "&Krok", "&Krocz*", "[Ustaw częstotliwość próbkowania]"}},
        {{"Record", "&Record", "[set file path]"}, {"Record", "&Zapisuj", "[Ustaw ścieżkę pliku]"}},
        {{"Export", "&Export"}, {"Export", "&Eksportuj wykres"}},
    };
    for (int position = 0; position < int(std::size(table)); ++position)
        for (bool polish : {false, true})
            QTest::addRow("%s %s", polish ? "pl" : "en", qPrintable(table[position][polish].first()))
                << polish << position << table[position][polish];
}

QList<QStringList> tst_Shell::layout() const
{
    QList<QWidget *> owners;
    for (const QAction *entry : window->menuBar()->actions()) {
        owners << entry->menu();
        emit entry->menu()->aboutToShow();
        for (const QAction *inner : entry->menu()->actions())
            if (inner->menu())
                owners << inner->menu();
    }
    for (QToolBar *bar : window->findChildren<QToolBar *>(QString(), Qt::FindDirectChildrenOnly))
        owners << bar;
    QList<QStringList> found;
    for (QWidget *owner : owners) {
        auto *bar = qobject_cast<QToolBar *>(owner);
        QStringList entries(bar ? bar->windowTitle() : qobject_cast<QMenu *>(owner)->title());
        for (QAction *entry : owner->actions()) {
            QWidget *widget = bar ? bar->widgetForAction(entry) : nullptr;
            if (!entry->isVisible())
                continue;
            if (entry->isSeparator())
                entries << "|";
            else if (widget && !widget->inherits("QToolButton"))
                entries << "[" + widget->toolTip() + "]";
            else
                entries << entry->text().remove(QFileInfo(scales.port(0)).path() + "/") + (entry->isChecked() ? "*" : "");
        }
        found << entries;
    }
    return found;
}

void tst_Shell::menusAndToolBarsFollowTheLayout()
{
    QFETCH(bool, polish);
    QFETCH(int, position);
    QFETCH(QStringList, entries);
    QVERIFY(openThree());
    switchTo(window, polish);
    const QList<QStringList> found = layout();
    QCOMPARE(found.size(), 11);
    QCOMPARE(found.at(position), entries);
}

void tst_Shell::intervalRunsFromAFifthOfASecondToAMinuteInTenths_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<double>("to");
    QTest::newRow("up from the shortest") << 0.2 << int(Qt::Key_Up) << 0.3;
    QTest::newRow("none shorter") << 0.2 << int(Qt::Key_Down) << 0.2;
    QTest::newRow("down from the longest") << 60.0 << int(Qt::Key_Down) << 59.9;
    QTest::newRow("none longer") << 60.0 << int(Qt::Key_Up) << 60.0;
}

void tst_Shell::intervalRunsFromAFifthOfASecondToAMinuteInTenths()
{
    QFETCH(double, from);
    QFETCH(int, key);
    QFETCH(double, to);
    QVERIFY(openThree());
    auto *box = window->findChild<QDoubleSpinBox *>("samplingRateBox");
    box->setValue(from);
    QTest::keyClick(box, Qt::Key(key));
    QCOMPARE(box->text(), box->locale().toString(to, 'f', 2) + " sec");
    QCOMPARE(document(0)->deviceTask()->refreshRate(), qRound(to * 1000));
    box->setValue(0.2);
}

void tst_Shell::fullScreenAndBack()
{
    QVERIFY(openThree());
    action("fullscreenAct")->trigger();
    QTRY_VERIFY(window->isFullScreen());
    QTRY_COMPARE(window->geometry(), window->screen()->geometry());
    action("fullscreenAct")->trigger();
    QTRY_VERIFY(window->isMaximized() && !window->isFullScreen());
}

void tst_Shell::everyShortcutDoesItsThing_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<bool>("maximized"); // the first window, beforehand
    QTest::addColumn<QString>("after");
    // state(): the open windows by scale ("*" current, "M" maximized) | which
    // of Pause and Go is checked | the first window's mode | dialogs met.
    QTest::newRow("Space steps") << QKeySequence(Qt::Key_Space) << false << "0* 1 2 | Pause | first paused +1";
    QTest::newRow("Ctrl+E exports") << QKeySequence("Ctrl+E") << false
                                    << "0* 1 2 | Go | first running | asked Zapisywanie wykresu, Eksportuj wykres do pliku";
    QTest::newRow("Ctrl+Up maximizes") << QKeySequence("Ctrl+Up") << false << "0*M 1 2 | Go | first running";
    QTest::newRow("Ctrl+Down tiles") << QKeySequence("Ctrl+Down") << true << "0* 1 2 | Go | first running";
    QTest::newRow("Ctrl+Right next") << QKeySequence("Ctrl+Right") << false << "0 1* 2 | Pause | first running";
    QTest::newRow("Ctrl+Left previous") << QKeySequence("Ctrl+Left") << false << "0 1 2* | Pause | first running";
    QTest::newRow("Ctrl+W closes") << QKeySequence("Ctrl+W") << false << "1* 2 | Pause";
    QTest::newRow("Ctrl+W closes maximized") << QKeySequence("Ctrl+W") << true << "1*M 2 | Pause";
    QTest::newRow("Ctrl+Q exits") << QKeySequence("Ctrl+Q") << false << "closed | asked Zamykanie programu ...";
}

QString tst_Shell::state(int readings, const QStringList &asked) const
{
    QStringList parts("closed");
    if (window->isVisible()) {
        QStringList open;
        for (int i = 0; i < 3; ++i)
            if (frame(i))
                open << QString::number(i) + (frame(i) == workspace()->currentSubWindow() ? "*" : "") + (frame(i)->isMaximized() ? "M" : "");
        parts = QStringList{open.join(' '), QString(action("pauseAct")->isChecked() ? "Pause" : "") + (action("goAct")->isChecked() ? "Go" : "")};
        if (DeviceTask *first = document(0) ? document(0)->deviceTask() : nullptr)
            parts << (first->isPaused() ? QString("first paused +%1").arg(first->readings() - readings) : "first running");
    }
    if (!asked.isEmpty())
        parts << "asked " + asked.join(", ");
    return parts.join(" | ");
}

void tst_Shell::everyShortcutDoesItsThing()
{
    QFETCH(QKeySequence, keys);
    QFETCH(bool, maximized);
    QFETCH(QString, after);
    QVERIFY(openThree());
    // The frames rebuild their own menus, Ctrl+W in them, at each switch.
    switchTo(window, false);
    switchTo(window, true);
    if (maximized)
        frame(0)->showMaximized();
    DialogScript script;
    script.then(readMessage(nullptr, QMessageBox::Discard));
    const int readings = document(0)->deviceTask()->readings();
    QTest::keySequence(window, keys);
    QTRY_COMPARE(state(readings, script.titles), after);
}

QTEST_MAIN(tst_Shell)
#include "tst_shell.moc"
