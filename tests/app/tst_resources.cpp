#include <QtTest>

#include <QFile>
#include <QImage>
#include <QSet>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

struct Entry
{
    const char *context;
    const char *source;
    const char *polish;
};

// The listed catalogue, typed from the list rather than from polish.ts, so a
// slip in either shows up here. "\n" is a line break; trailing blanks count.
const Entry listed[] = {
    {"MdiWindow", "&About", "&O programie"},
    {"MdiWindow", "&Close", "&Zamknij"},
    {"MdiWindow", "&Device", "&Urządzenie"},
    {"MdiWindow", "&English", "&Angielski"},
    {"MdiWindow", "&Exit", "&Wyjdź"},
    {"MdiWindow", "&Export", "&Eksportuj wykres"},
    {"MdiWindow", "&Fullscreen", "&Pełny ekran"},
    {"MdiWindow", "&Go", "&Krocz"},
    {"MdiWindow", "&Graph View", "&Widok wykresu"},
    {"MdiWindow", "&Help", "&Pomoc"},
    {"MdiWindow", "&Language", "&Język"},
    {"MdiWindow", "&Maximize", "&Maksymalizuj"},
    {"MdiWindow", "&Mode", "&Tryb"},
    {"MdiWindow", "&Next window", "&Następne"},
    {"MdiWindow", "&Options", "&Opcje"},
    {"MdiWindow", "&Pause", "&Pauza"},
    {"MdiWindow", "&Polish", "&Polski"},
    {"MdiWindow", "&Previous window", "&Poprzednie"},
    {"MdiWindow", "&Record", "&Zapisuj"},
    {"MdiWindow", "&Show LCD display", "&Pokaż ekrany LCD"},
    {"MdiWindow", "&Show graph", "&Pokaż wykresy"},
    {"MdiWindow", "&Step", "&Krok"},
    {"MdiWindow", "&Tile", "&Kafelkowy"},
    {"MdiWindow", "&Window", "&Okno"},
    {"MdiWindow", "About this application", "Informacje o aplikacji"},
    {"MdiWindow", "Change graph attributes", "Zmień atrybuty wykresu"},
    {"MdiWindow", "Chose file to save samples", "Wybierz plik do zachowywania próbek"},
    {"MdiWindow", "Close this document", "Zamknij ten dokument"},
    {"MdiWindow", "Closing program ...", "Zamykanie programu ..."},
    {"MdiWindow", "Ctrl+Down", "Ctrl+Dół"},
    {"MdiWindow", "Ctrl+Left", "Ctrl+Lewy"},
    {"MdiWindow", "Ctrl+Right", "Ctrl+Prawy"},
    {"MdiWindow", "Ctrl+Up", "Ctrl+Góra"},
    {"MdiWindow", "Done", "Uruchamianie zakończone"},
    {"MdiWindow", "Export plot to file", "Eksportuj wykres do pliku"},
    {"MdiWindow", "Go", "Rozpocznij probkowanie"},
    {"MdiWindow", "KORVEN scale software ", "KORVEN program do obsługi wag"},
    {"MdiWindow", "KORVEN weighing software ", "KORVEN program do obsługi wag "},
    {"MdiWindow", "Maximize the windows", "Maksymalizuj okna"},
    {"MdiWindow", "Move to the next window", "Przejdź do kolejnego okna"},
    {"MdiWindow", "Move to the previous window", "Przejdź do poprzedniego okna"},
    {"MdiWindow", "Pause", "Zatrzymaj próbkowanie"},
    {"MdiWindow", "Quit the application", "Zamknij aplikację"},
    {"MdiWindow", "Record", "Zapisuje"},
    {"MdiWindow", "Set english language", "Ustaw język angielski"},
    {"MdiWindow", "Set fullscreen", "Ustaw tryb pełnego ekranu"},
    {"MdiWindow", "Set polish language", "Ustaw język polski"},
    {"MdiWindow", "Show LCD display", "Pokaż ekrany LCD"},
    {"MdiWindow", "Show graph image", "Pokaż wykresy"},
    {"MdiWindow", "Space", "Spacja"},
    {"MdiWindow", "Step", "Pobierz kolejną próbkę"},
    {"MdiWindow", "There are still opened devices.\nDo you want to save something before program is closed?", "Niektóre okna są wciąż otwarte. \nCzy chciałbyś coś zapisać przed zamknięciem programu?"},
    {"MdiWindow", "Tile the windows", "Kafelkowy układ okienek"},
    {"MdiWindow", "click to scan for new devices", "kliknij aby zeskanować porty"},
    {"MdiWindow", "set file path", "Ustaw ścieżkę pliku"},
    {"MdiWindow", "set sampling rate", "Ustaw częstotliwość próbkowania"},
    {"DocumentWindow", "Export Plot Name", "Eksportuj wykres do pliku"},
    {"DocumentWindow", "KORVEN WEIGHING SOFTWARE", "KORVEN program do obsługi wag"},
    {"DocumentWindow", "units: ", "jednostki: "},
    {"DeviceTask", "How to use graph:\nclick left & move - zoom in specific area\nclick center - zoom out one level\nclick right - zoom out completely", "Jak używać wyresu za pomocą przycisków myszy:\nlewy i ruch - powiększenie obszaru\nśrodkowy - pomniejszenie do poprzedniego widoku\nprawy - pomniejszenie początkowe"},
    {"GraphView", "Background", "Tło"},
    {"GraphView", "Colors", "Kolory"},
    {"GraphView", "Curve", "Linia"},
    {"GraphView", "Curve Style", "Styl linii"},
    {"GraphView", "Graph view", "Widok wykresu"},
    {"GraphView", "Grid", "Siatka"},
    {"GraphView", "Sample", "Próbka"},
    {"GraphView", "View example", "Przykład wykresu"},
    {"DescriptionWindow", "Graph description", "Opis wykresu"},
    {"DescriptionWindow", "Saving graph", "Zapisywanie wykresu"},
    {"DescriptionWindow", "max 99 chars", "maksymalnie 99 znaków"},
    {"AboutWindow", "About program", "O programie"},
};

// Texts the program shows beyond the list: what it tells the operator when a
// recording or an export fails, and how the recording file is chosen.
const Entry added[] = {
    {"MdiWindow",
     "Could not open the file",
     "Nie można otworzyć pliku"},
    {"MdiWindow",
     "Add readings to the end of:",
     "Dopisuj odczyty na końcu pliku:"},
    {"MdiWindow",
     "Append",
     "Dopisz"},
    {"MdiWindow",
     "The readings of %1 could not be written to the file\n%2\n(%3).\nRecording goes on: every new reading is tried again, and you will be told when records reach the file again. The records written before are kept in the file.",
     "Nie udało się zapisać odczytów z %1 do pliku\n%2\n(%3).\nZapis trwa dalej: program próbuje zapisać każdy kolejny odczyt i powiadomi, gdy rekordy znów trafią do pliku. Wcześniej zapisane rekordy pozostają w pliku."},
    {"MdiWindow",
     "The readings of %1 are written to the file\n%2\nagain.\nThe readings taken while they could not be written are not in it.",
     "Odczyty z %1 znów są zapisywane do pliku\n%2.\nOdczytów z czasu, gdy nie można było ich zapisać, w pliku nie ma."},
    {"MdiWindow",
     "The recording file\n%1\nof %2 was deleted while recording.\nRecording goes on in a new file of the same name; the records from before the deletion are not in it.",
     "Plik zapisu\n%1\nurządzenia %2 został usunięty podczas zapisu.\nZapis trwa dalej w nowym pliku o tej samej nazwie; rekordów sprzed usunięcia w nim nie ma."},
    {"DocumentWindow",
     "The plot was not exported: %1 does not end in .pdf, .svg, .ps or the suffix of an image type such as .png.",
     "Wykres nie został wyeksportowany: nazwa %1 nie kończy się na .pdf, .svg, .ps ani na rozszerzenie formatu obrazu, np. .png."},
    {"DocumentWindow",
     "The plot could not be rendered for %1.",
     "Nie udało się narysować wykresu dla %1."},
    {"DocumentWindow",
     "The plot was not exported: %1 is a folder, a device, a pipe or a socket (or a link to one), not a file.",
     "Wykres nie został wyeksportowany: %1 jest folderem, urządzeniem, potokiem lub gniazdem (albo dowiązaniem do nich), a nie plikiem."},
    {"DocumentWindow",
     "The plot could not be written to %1:\n%2",
     "Nie udało się zapisać wykresu do %1:\n%2"},
    {"DeviceTask", "The port cannot be opened: %1", "Nie można otworzyć portu: %1"},
    {"DeviceTask",
     "The port cannot be opened: %1.\nAnother program may be using it, or your user may not be in the dialout group (sudo adduser $USER dialout, then log in again).",
     "Nie można otworzyć portu: %1.\nMoże go używać inny program albo Twój użytkownik nie należy do grupy dialout (sudo adduser $USER dialout, potem zaloguj się ponownie)."},
    {"DeviceTask",
     "The scale names a unit that is not accepted: \"%1\" (accepted: kg, kg., szt, g).",
     "Waga podaje jednostkę, której program nie przyjmuje: „%1” (przyjmowane: kg, kg., szt, g)."},
    {"DeviceTask", "The scale's reply is not a reading: \"%1\".",
     "Odpowiedź wagi nie jest odczytem: „%1”."},
    {"DeviceTask",
     "No answer from the scale: check the cable, the port and that the scale is switched on.",
     "Brak odpowiedzi wagi: sprawdź kabel, port i czy waga jest włączona."},
};

const char *const images[] = {
    "korven", "media_playback_pause", "media_skip_forward", "media_playback_start",
    "button_black_rec", "view_fullscreen", "maximized", "large_tiles", "right_grey",
    "left_grey", "lcd", "chart_line", "picture_save",
};

} // namespace

class tst_Resources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyListedTextHasItsPolishTranslation();
    void catalogueHoldsTheListedEntriesOurMessagesAndTheOldAboutPage();
    void toolkitCatalogueSpeaksPolish();
    void everyImageTheWindowsUseLoads();
};

void tst_Resources::initTestCase()
{
    Q_INIT_RESOURCE(scaleacq);
}

void tst_Resources::everyListedTextHasItsPolishTranslation()
{
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/polish.qm")));
    QVector<Entry> all(std::begin(listed), std::end(listed));
    all.append(QVector<Entry>(std::begin(added), std::end(added)));
    for (const Entry &entry : all) {
        const QString found = translator.translate(entry.context, entry.source);
        QVERIFY2(found == QString::fromUtf8(entry.polish),
                 qPrintable(QStringLiteral("%1 \"%2\" gave \"%3\"")
                                .arg(QLatin1String(entry.context), QString::fromUtf8(entry.source), found)));
    }
    // Lookups are exact: without its trailing blank a source text is unknown.
    QVERIFY(translator.translate("MdiWindow", "KORVEN weighing software").isEmpty());
}

void tst_Resources::catalogueHoldsTheListedEntriesOurMessagesAndTheOldAboutPage()
{
    QSet<QPair<QString, QString>> expected;
    for (const Entry &entry : listed)
        expected.insert(qMakePair(QString::fromUtf8(entry.context), QString::fromUtf8(entry.source)));
    for (const Entry &entry : added)
        expected.insert(qMakePair(QString::fromUtf8(entry.context), QString::fromUtf8(entry.source)));

    QFile file(QStringLiteral(POLISH_TS));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString context;
    QStringList unlisted;
    int messages = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            ++messages;
            const QString source = xml.readElementText();
            if (!expected.contains(qMakePair(context, source)))
                unlisted << context + QLatin1Char(' ') + source.left(40);
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(messages, int(std::size(listed) + std::size(added)) + 1);
    QCOMPARE(unlisted.size(), 1);
    QVERIFY2(unlisted.first().startsWith(QLatin1String("AboutWindow <!DOCTYPE HTML")),
             qPrintable(unlisted.first()));
}

void tst_Resources::toolkitCatalogueSpeaksPolish()
{
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/polishApp.qm")));
    QCOMPARE(translator.translate("QPlatformTheme", "Cancel"), QStringLiteral("Anuluj"));
    QCOMPARE(translator.translate("QShortcut", "Space"), QStringLiteral("Spacja"));
}

void tst_Resources::everyImageTheWindowsUseLoads()
{
    for (const char *name : images) {
        const QString path = QStringLiteral(":/images/%1.png").arg(QLatin1String(name));
        QVERIFY2(!QImage(path).isNull(), qPrintable(path));
    }
}

QTEST_MAIN(tst_Resources)
#include "tst_resources.moc"
