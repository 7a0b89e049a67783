#include <QtTest>
#include <QtWidgets>

#include "DeviceTask.h"
#include "DialogScript.h"
#include "MdiWindow.h"
#include "ScaleOnPty.h"

const QString polishTitle = "KORVEN program do obsługi wag v2.1", englishTitle = "KORVEN weighing software v2.1";

static void switchTo(MdiWindow *window, bool polish)
{
    window->findChild<QAction *>(polish ? "polishAct" : "englishAct")->trigger();
    QVERIFY(QTest::qWaitFor([&] { return window->windowTitle() == (polish ? polishTitle : englishTitle); }));
}

// The main window as the operator meets it, with documents on simulated scales on real pseudo-terminals.
class tst_Shell : public QObject
{
    Q_OBJECT

    QTranslator programTranslator, toolkitTranslator, catalogue;
    ScaleOnPty scales;
    MdiWindow *window = nullptr;
    QAction *action(const char *name) const { return window->findChild<QAction *>(name); }
    QMdiArea *workspace() const { return window->findChild<QMdiArea *>(); }
    QMdiSubWindow *frame(int scale) const
    {
        for (QMdiSubWindow *frame : workspace()->subWindowList())
            if (frame->windowTitle() == scales.port(scale))
                return frame;
        return nullptr;
    }
    DeviceTask *task(int scale) const { return frame(scale) ? frame(scale)->findChild<DeviceTask *>() : nullptr; }

    // The main window shown and active with a document on each scale, the first one current, running, tiled.
    bool openThree()
    {
        if (!window || !window->isVisible()) {
            delete window;
            (window = new MdiWindow(&programTranslator, &toolkitTranslator))->show();
        }
        for (int i = 0; i < 3; ++i)
            if (!frame(i) && (window->deviceNew(scales.port(i)), !QTest::qWaitFor([&] { return frame(i); })))
                return false;
        window->activateWindow();
        workspace()->setActiveSubWindow(frame(0));
        workspace()->tileSubWindows();
        action("goAct")->trigger();
        frame(0)->widget()->setFocus();
        return QTest::qWaitForWindowActive(window) && QTest::qWaitFor([&] { return task(0)->readings() > 0; });
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(scaleacq);
        QVERIFY(catalogue.load(":/polish.qm"));
        QApplication::setQuitOnLastWindowClosed(false);
        QApplication::installTranslator(&programTranslator);
        QApplication::installTranslator(&toolkitTranslator);
        for (int i = 0; i < 3; ++i)
            QVERIFY(scales.add());
    }
    void cleanupTestCase() { delete window; }
    // Built in English, in Polish once the event loop turns, with nothing usable that needs a document.
    void startsInPolishWithOnlyTheAlwaysUsableControls()
    {
        const auto cancelText = [] { return QDialogButtonBox(QDialogButtonBox::Cancel).buttons()[0]->text(); };
        programTranslator.load(QString()); toolkitTranslator.load(QString()); // as at start-up: installed, empty
        MdiWindow fresh(&programTranslator, &toolkitTranslator);
        QCOMPARE(fresh.windowTitle(), QString("KORVEN scale software v2.1"));
        QVERIFY(!fresh.windowIcon().pixmap(32).isNull());
        QTRY_COMPARE(fresh.windowTitle(), polishTitle);
        QCOMPARE(fresh.statusBar()->currentMessage(), QString("Done"));
        QCOMPARE(cancelText(), QString("Anuluj"));
        QCOMPARE(fresh.findChild<QDoubleSpinBox *>("samplingRateBox")->text(), QString("0,20 sec"));
        switchTo(&fresh, false);
        QCOMPARE(cancelText(), QString("Cancel"));
        const QStringList usable{"portSettingsAct", "exitAct", "fullscreenAct", "graphViewAct", "aboutAct",
                                 "englishAct", "polishAct", "followAct"};
        for (const QAction *action : fresh.findChildren<QAction *>(QRegularExpression("Act$")))
            QVERIFY2((action->isEnabled() && action->isVisible()) == usable.contains(action->objectName()),
                     qPrintable(action->objectName()));
        for (const QWidget *item : fresh.findChildren<QWidget *>(QRegularExpression("^(scaner|recPath|sampling)")))
            QVERIFY2(item->isEnabled() == (item->objectName() == "scaner"), qPrintable(item->objectName()));
        QCOMPARE(fresh.findChild<QPushButton *>("recPathButton")->text(), QString("..."));
    }
    void aboutShowsTheEnglishPageUnderATranslatedTitle()
    {
        MdiWindow fresh(&programTranslator, &toolkitTranslator);
        DialogScript script;
        for (bool polish : {true, false}) {
            script.then([](QWidget *about) {
                about->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
                QVERIFY(about->findChild<QTextBrowser *>()->toPlainText().contains("up to 4 KORVEN scales"));
            });
            switchTo(&fresh, polish);
            fresh.findChild<QAction *>("aboutAct")->trigger();
        }
        QCOMPARE(script.titles, QStringList({"O programie", "About program"}));
    }
    void menusAndToolBarsFollowTheLayoutInEachLanguage_data()
    {
        QTest::addColumn<bool>("polish"); QTest::addColumn<int>("position"); QTest::addColumn<QStringList>("entries");
        // The menus in menu-bar order, the languages submenu after Options, the tool bars (their titles set once,
        // in English). Each: its title, then its entries: "|" a separator, "[tool tip]" a widget, "*" checked.
        const QStringList table[][2] = {
            {{"&Device", "Port settings...", "Line &monitor...", "|", "&Tare", "&Zero", "|", "&Export", "&Close", "|",
              "&Exit"},
             {"&Urządzenie", "Ustawienia portu...", "&Monitor łącza...", "|", "&Taruj", "Zer&uj", "|",
              "&Eksportuj wykres", "&Zamknij", "|", "&Wyjdź"}},
            {{"&Mode", "&Pause", "&Step", "&Go*", "&Record", "Recording &options"},
             {"&Tryb", "&Pauza", "&Krok", "&Krocz*", "&Zapisuj", "&Opcje zapisu"}},
            {{"&Options", "&Language", "&Graph View"}, {"&Opcje", "&Język", "&Widok wykresu"}},
            {{"&Language", "&English", "&Polish"}, {"&Język", "&Angielski", "&Polski"}},
            {{"&Window", "&Fullscreen", "|", "&Maximize", "&Tile", "|", "&Next window", "&Previous window", "|",
              "&Show LCD display*", "&Show graph*", "Follow &readings", "Show s&tatistics", "|", "&1 ttySIM0*", "&2 ttySIM1", "&3 ttySIM2"},
             {"&Okno", "&Pełny ekran", "|", "&Maksymalizuj", "&Kafelkowy", "|", "&Następne", "&Poprzednie", "|",
              "&Pokaż ekrany LCD*", "&Pokaż wykresy*", "Śledź &odczyty", "Pokaż s&tatystykę", "|", "&1 ttySIM0*", "&2 ttySIM1", "&3 ttySIM2"}},
            {{"&Help", "&About"}, {"&Pomoc", "&O programie"}},
            {{"Recording &options", "|", "Classic (tab-separated)", "CSV", "Comma and decimal point",
              "Semicolon and decimal comma", "|", "Every reading", "Only stable readings", "One record per load",
              "Load threshold..."},
             {"&Opcje zapisu", "|", "Klasyczny (rozdzielany tabulatorami)", "CSV", "Przecinek i kropka dziesiętna",
              "Średnik i przecinek dziesiętny", "|", "Każdy odczyt", "Tylko stabilne odczyty", "Jeden rekord na ładunek",
              "Próg ładunku..."}},
            {{"Device", "[click to scan for new devices]", "Port settings...", "&Tare", "&Zero"},
             {"Device", "[kliknij aby zeskanować porty]", "Ustawienia portu...", "&Taruj", "Zer&uj"}},
            {{"Switch windows", "&Maximize", "&Tile", "&Previous window", "&Next window", "&Show LCD display*",
              "&Show graph*", "Follow &readings"}, {"Switch windows", "&Maksymalizuj", "&Kafelkowy", "&Poprzednie",
              "&Następne", "&Pokaż ekrany LCD*", "&Pokaż wykresy*", "Śledź &odczyty"}},
            {{"Mode", "&Pause", "&Step", "&Go*", "[set sampling rate]"},
             {"Mode", "&Pauza", "&Krok", "&Krocz*", "[Ustaw częstotliwość próbkowania]"}},
            {{"Record", "&Record", "[set file path]"}, {"Record", "&Zapisuj", "[Ustaw ścieżkę pliku]"}},
            {{"Export", "&Export"}, {"Export", "&Eksportuj wykres"}},
        };
        for (int at = 0; at < int(std::size(table)); ++at)
            for (bool pl : {false, true})
                QTest::addRow("%s %s", pl ? "pl" : "en", qPrintable(table[at][pl][0])) << pl << at << table[at][pl];
    }
    void menusAndToolBarsFollowTheLayoutInEachLanguage()
    {
        QFETCH(bool, polish); QFETCH(int, position); QFETCH(QStringList, entries);
        QVERIFY(openThree());
        switchTo(window, polish);
        emit window->findChild<QMenu *>("windowMenu")->aboutToShow();
        const QList<QWidget *> owners = window->findChildren<QWidget *>(QRegularExpression("Menu$|ToolBar$"));
        QCOMPARE(owners.size(), 12);
        auto *bar = qobject_cast<QToolBar *>(owners[position]);
        QStringList found(bar ? bar->windowTitle() : owners[position]->property("title").toString());
        for (QAction *entry : owners[position]->actions()) {
            QWidget *widget = qobject_cast<QWidgetAction *>(entry) ? bar->widgetForAction(entry) : nullptr;
            // Status tips in the language shown (an English one is a source of the catalogue), but the language
            // actions' own: always English.
            const QString tip = widget ? widget->statusTip() : entry->statusTip();
            QVERIFY2(tip.isEmpty() || entry->objectName().endsWith("lishAct")
                         || catalogue.translate("MdiWindow", tip.toUtf8()).isEmpty() == polish, qPrintable(tip));
            QVERIFY2(entry->icon().isNull() || !entry->icon().pixmap(22).isNull(), qPrintable(entry->text()));
            if (entry->isVisible() && entry->isSeparator())
                found << "|";
            else if (widget)
                found << "[" + widget->toolTip() + "]";
            else if (entry->isVisible())
                found << entry->text().remove(QRegularExpression("/.*/")) + (entry->isChecked() ? "*" : "");
        }
        QCOMPARE(found, entries);
    }
    // From a fifth of a second to a minute in tenths, by the arrow keys or typed with either decimal separator.
    void intervalTakesTheOperatorsStepsAndSeparator_data()
    {
        QTest::addColumn<bool>("polish"); QTest::addColumn<double>("from"); QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("ms"); QTest::addColumn<QString>("shown"); // typed "Up", "Down": that arrow key
        QTest::newRow("up from a minute") << false << 60.0 << "Up" << 60000 << "60.00 sec";
        QTest::newRow("up from a fifth") << true << 0.2 << "Up" << 300 << "0,30 sec";
        QTest::newRow("down from a fifth") << false << 0.2 << "Down" << 200 << "0.20 sec";
        QTest::newRow("Polish comma") << true << 0.2 << "1,5" << 1500 << "1,50 sec";
        QTest::newRow("Polish point") << true << 0.2 << "0.5" << 500 << "0,50 sec";
        QTest::newRow("English comma") << false << 0.2 << "1,5" << 1500 << "1.50 sec";
        QTest::newRow("English point, not a millisecond lost") << false << 0.2 << "2.01" << 2010 << "2.01 sec";
    }
    void intervalTakesTheOperatorsStepsAndSeparator()
    {
        QFETCH(bool, polish); QFETCH(double, from); QFETCH(QString, typed); QFETCH(int, ms); QFETCH(QString, shown);
        QVERIFY(openThree());
        switchTo(window, polish);
        auto *box = window->findChild<QDoubleSpinBox *>("samplingRateBox");
        box->setValue(from);
        box->setFocus();
        if (typed == "Up" || typed == "Down") {
            QTest::keyClick(box, typed == "Up" ? Qt::Key_Up : Qt::Key_Down);
        } else {
            box->selectAll();
            QTest::keyClicks(box, typed);
            QTest::keyClick(box, Qt::Key_Return);
        }
        QCOMPARE(task(0)->refreshRate(), ms);
        QCOMPARE(box->text(), shown);
    }
    void fullScreenAndBack()
    {
        QVERIFY(openThree());
        action("fullscreenAct")->trigger();
        QTRY_VERIFY(window->isFullScreen() && window->geometry() == window->screen()->geometry());
        action("fullscreenAct")->trigger();
        QTRY_VERIFY(window->isMaximized() && !window->isFullScreen());
    }
    void everyShortcutDoesItsThing_data()
    {
        QTest::addColumn<QString>("after");
        // Each row's name starts with the keys pressed. Then: "closed" main window, documents by scale ("*" current,
        // "M" maximized, "o" overlaps one before), Pause or Go checked, the first one's mode and new points, dialogs.
        QTest::newRow("Space steps") << "0* 1 2, Pause, paused +1";
        QTest::newRow("Ctrl+E exports") << "0* 1 2, Go, running, Zapisywanie wykresu, Eksportuj wykres do pliku";
        QTest::newRow("Ctrl+Up maximizes") << "0*M 1 2, Go, running";
        QTest::newRow("Ctrl+Down tiles the maximized") << "0* 1 2, Go, running";
        QTest::newRow("Ctrl+Right activates the next") << "0 1* 2, Pause, running";
        QTest::newRow("Ctrl+Left activates the previous") << "0 1 2*, Pause, running";
        QTest::newRow("Ctrl+W closes") << "1* 2, Pause";
        QTest::newRow("Ctrl+W closes the maximized") << "1*M 2, Pause";
        QTest::newRow("Ctrl+W closes in a new main window") << "1* 2, Pause";
        QTest::newRow("Ctrl+Q exits") << "closed 0* 1 2, Go, running, Zamykanie programu ...";
    }
    void everyShortcutDoesItsThing()
    {
        QFETCH(QString, after);
        const bool fresh = QString(QTest::currentDataTag()).endsWith("new main window");
        if (fresh)
            delete std::exchange(window, nullptr);
        QVERIFY(openThree());
        // The frames rebuild their own menus, Ctrl+W in them, at each switch.
        if (!fresh) {
            switchTo(window, false);
            switchTo(window, true);
        }
        if (QString(QTest::currentDataTag()).endsWith("maximized"))
            frame(0)->showMaximized();
        DialogScript script;
        script.then(readMessage(nullptr, QMessageBox::Discard));
        const int readings = task(0)->readings();
        QTest::keySequence(window, QKeySequence(QString(QTest::currentDataTag()).section(' ', 0, 0)));
        const auto state = [&] {
            QStringList seen(window->isVisible() ? "" : "closed");
            QRegion covered; // by the windows before, when not maximized
            for (int i = 0; i < 3; ++i)
                if (QMdiSubWindow *shown = frame(i)) {
                    seen[0] += QString(" %1").arg(i) + (shown == workspace()->currentSubWindow() ? "*" : "")
                               + (shown->isMaximized() ? "M" : covered.intersects(shown->geometry()) ? "o" : "");
                    covered += shown->isMaximized() ? QRect() : shown->geometry();
                }
            seen << QString(action("pauseAct")->isChecked() ? "Pause" : "")
                        + (action("goAct")->isChecked() ? "Go" : "");
            if (task(0))
                seen << (task(0)->isPaused() ? QString("paused +%1").arg(task(0)->readings() - readings) : "running");
            return (seen + script.titles).join(", ").trimmed();
        };
        QTRY_COMPARE(state(), after);
    }
};

QTEST_MAIN(tst_Shell)
#include "tst_shell.moc"
