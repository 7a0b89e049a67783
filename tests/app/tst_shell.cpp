#include <QtTest>
#include <QtWidgets>

#include "DeviceTask.h"
#include "DialogScript.h"
#include "GraphAttr.h"
#include "GraphView.h"
#include "LineMonitor.h"
#include "MdiWindow.h"
#include "PortSettingsDialog.h"
#include "RandomPlot.h"

#include <qwt_scale_draw.h>
#include "ScaleOnPty.h"

const QString polishTitle = "KORVEN program do obsługi wag v2.1", englishTitle = "KORVEN weighing software v2.1";

static void switchTo(MdiWindow *window, bool polish)
{
    window->findChild<QAction *>(polish ? "polishAct" : "englishAct")->trigger();
    QVERIFY(QTest::qWaitFor([&] { return window->windowTitle() == (polish ? polishTitle : englishTitle); }));
}

// Where one letter is the mnemonic of two of the texts, each such pair as "scope: text / text".
static QStringList repeatedMnemonics(const QString &scope, const QStringList &texts)
{
    QMap<QChar, QStringList> byLetter;
    for (const QString &text : texts)
        for (int i = 0; i + 1 < text.size(); ++i)
            if (text[i] == '&' && text[i + 1] != '&') {
                byLetter[text[i + 1].toLower()] << text;
                break;
            } else if (text[i] == '&') {
                ++i; // "&&" is an ampersand shown
            }
    QStringList found;
    for (auto at = byLetter.cbegin(); at != byLetter.cend(); ++at)
        if (at.value().size() > 1)
            found << scope + ": " + at.value().join(" / ");
    return found;
}

// The texts a dialog shows with a mnemonic: buttons, labels, group titles.
static QStringList dialogTexts(const QWidget *dialog)
{
    QStringList texts;
    for (const QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
        texts << button->text();
    for (const QLabel *label : dialog->findChildren<QLabel *>())
        texts << label->text();
    for (const QGroupBox *group : dialog->findChildren<QGroupBox *>())
        texts << group->title();
    return texts;
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
        QCOMPARE(fresh.statusBar()->currentMessage(), QString("Gotowy"));
        QCOMPARE(cancelText(), QString("Anuluj"));
        QCOMPARE(fresh.findChild<QDoubleSpinBox *>("samplingRateBox")->text(), QString("0,20 s"));
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
                const QString page = about->findChild<QTextBrowser *>()->toPlainText();
                QVERIFY2(page.contains("up to 4 KORVEN scales") && page.contains("Korven v2.1\n"), qPrintable(page));
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
            {{"&Device", "&Port settings...", "Line &monitor...", "&Limits...", "|", "&Tare", "&Zero", "|", "&Export",
              "&Close", "|", "E&xit"},
             {"&Urządzenie", "&Ustawienia portu...", "&Monitor łącza...", "&Limity...", "|", "&Taruj", "Zeru&j", "|",
              "&Eksportuj wykres", "&Zamknij", "|", "&Wyjdź"}},
            {{"&Mode", "&Pause", "&Step", "&Go*", "&Record", "Recording &options"},
             {"&Tryb", "&Pauza", "&Krok", "&Start*", "&Zapisuj", "&Opcje zapisu"}},
            {{"&Options", "&Language", "&Graph View"}, {"&Opcje", "&Język", "&Widok wykresu"}},
            {{"&Language", "&English", "&Polish"}, {"&Język", "&Angielski", "&Polski"}},
            {{"&Window", "&Fullscreen", "|", "&Maximize", "&Tile", "|", "&Next window", "&Previous window", "|",
              "Show &LCD display*", "Show &graph*", "Follow &readings", "Show stat&istics", "|", "&1 ttySIM0*", "&2 ttySIM1", "&3 ttySIM2"},
             {"O&kno", "Pełny &ekran", "|", "&Maksymalizuj", "&Kafelkowy", "|", "&Następne", "&Poprzednie", "|",
              "Pokaż ekrany &LCD*", "Pokaż &wykresy*", "Śledź &odczyty", "Pokaż s&tatystykę", "|", "&1 ttySIM0*", "&2 ttySIM1", "&3 ttySIM2"}},
            {{"&Help", "&About"}, {"&Pomoc", "&O programie"}},
            {{"&Edit", "&Copy reading", "Copy each &stable reading"},
             {"&Edycja", "&Kopiuj odczyt", "Kopiuj każdy &stabilny odczyt"}},
            {{"Recording &options", "|", "Classic (tab-separated)", "CSV", "Comma and decimal point",
              "Semicolon and decimal comma", "|", "Every reading", "Only stable readings", "One record per load",
              "Load threshold..."},
             {"&Opcje zapisu", "|", "Klasyczny (rozdzielany tabulatorami)", "CSV", "Przecinek i kropka dziesiętna",
              "Średnik i przecinek dziesiętny", "|", "Każdy odczyt", "Tylko stabilne odczyty", "Jeden rekord na ładunek",
              "Próg ładunku..."}},
            {{"Device", "[click to scan for new devices]", "&Port settings...", "&Tare", "&Zero"},
             {"Device", "[kliknij aby zeskanować porty]", "&Ustawienia portu...", "&Taruj", "Zeru&j"}},
            {{"Switch windows", "&Maximize", "&Tile", "&Previous window", "&Next window", "Show &LCD display*",
              "Show &graph*", "Follow &readings"}, {"Switch windows", "&Maksymalizuj", "&Kafelkowy", "&Poprzednie",
              "&Następne", "Pokaż ekrany &LCD*", "Pokaż &wykresy*", "Śledź &odczyty"}},
            {{"Mode", "&Pause", "&Step", "&Go*", "[set sampling rate]"},
             {"Mode", "&Pauza", "&Krok", "&Start*", "[Ustaw częstotliwość próbkowania]"}},
            {{"Record", "&Record", "[set file path]", "[The lot or batch of the active window's readings]"},
             {"Record", "&Zapisuj", "[Ustaw ścieżkę pliku]", "[Partia lub seria odczytów aktywnego okna]"}},
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
        QCOMPARE(owners.size(), 13);
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
        QTest::newRow("up from a minute") << false << 60.0 << "Up" << 60000 << "60.00 s";
        QTest::newRow("up from a fifth") << true << 0.2 << "Up" << 300 << "0,30 s";
        QTest::newRow("down from a fifth") << false << 0.2 << "Down" << 200 << "0.20 s";
        QTest::newRow("Polish comma") << true << 0.2 << "1,5" << 1500 << "1,50 s";
        QTest::newRow("Polish point") << true << 0.2 << "0.5" << 500 << "0,50 s";
        QTest::newRow("English comma") << false << 0.2 << "1,5" << 1500 << "1.50 s";
        QTest::newRow("English point, not a millisecond lost") << false << 0.2 << "2.01" << 2010 << "2.01 s";
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
    // Every menu and dialog in each language; the menus with a document open, whose window list is filled.
    void noMnemonicServesTwoEntries_data()
    {
        QTest::addColumn<bool>("polish");
        QTest::newRow("English") << false;
        QTest::newRow("Polish") << true;
    }
    void noMnemonicServesTwoEntries()
    {
        QFETCH(bool, polish);
        QVERIFY(openThree());
        switchTo(window, polish);
        QStringList titles, repeated;
        for (const QAction *menu : window->menuBar()->actions())
            titles << menu->text();
        repeated << repeatedMnemonics("menu bar", titles);
        for (QMenu *menu : window->findChildren<QMenu *>()) {
            emit menu->aboutToShow();
            QStringList entries;
            for (const QAction *entry : menu->actions())
                entries << entry->text();
            repeated << repeatedMnemonics(menu->title(), entries);
        }
        std::unique_ptr<GraphAttr> attr(GraphAttr::createDefault());
        const std::unique_ptr<QWidget> dialogs[] = {
            std::make_unique<PortSettingsDialog>(QStringList{scales.port(0)}, scales.port(0),
                                                 window->portSettingsStore(), window),
            std::make_unique<GraphView>(attr.get()), std::make_unique<LineMonitor>(task(0))};
        for (const auto &dialog : dialogs)
            repeated << repeatedMnemonics(dialog->metaObject()->className(), dialogTexts(dialog.get()));
        QVERIFY2(repeated.isEmpty(), qPrintable(repeated.join("\n")));
        // The plots' axes write numbers as the read-outs do.
        QCOMPARE(task(0)->plotWidget()->axisScaleDraw(QwtPlot::yLeft)->label(2.5).text(), polish ? "2,5" : "2.5");
        // The keys of the commands an operator at a scale reaches for, one command each.
        QMap<QString, QString> byKey;
        for (const QAction *entry : window->findChildren<QAction *>())
            for (const QKeySequence &key : entry->objectName().endsWith("Act") ? entry->shortcuts()
                                                                               : QList<QKeySequence>()) { // not a frame's
                QVERIFY2(!byKey.contains(key.toString()), qPrintable(key.toString() + " " + byKey[key.toString()]));
                byKey[key.toString()] = entry->objectName();
            }
        for (const char *name : {"goAct", "pauseAct", "recordAct", "portSettingsAct", "lineMonitorAct", "fullscreenAct"})
            QVERIFY2(!action(name)->shortcut().isEmpty(), name);
        QCOMPARE(action("fullscreenAct")->shortcut(), QKeySequence(Qt::Key_F11));
    }
    void everyShortcutDoesItsThing_data()
    {
        QTest::addColumn<QString>("after");
        // Each row's name starts with the keys pressed. Then: "closed" main window, documents by scale ("*" current,
        // "M" maximized, "o" overlaps one before), Pause or Go checked, the first one's mode and new points, dialogs.
        QTest::newRow("Space steps") << "0* 1 2, Pause, paused +1";
        QTest::newRow("Ctrl+P pauses") << "0* 1 2, Pause, paused +0";
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
        script.then(readMessage(nullptr, QMessageBox::Close));
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
