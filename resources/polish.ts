<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>AboutWindow</name>
    <message>
        <source>About program</source>
        <translation>O programie</translation>
    </message>
    <message>
        <source>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;MS Shell Dlg 2&apos;; font-size:8.25pt; font-weight:400; font-style:normal;&quot;&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:12pt;&quot;&gt;Program do obsługi wag Korven v@VERSION@&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:10pt; color:#000000;&quot;&gt;Written by the Scale Acquisition Workshop, 2026&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;mailto:contact@scales.example&quot;&gt;&lt;span style=&quot; font-size:8pt; text-decoration: underline; color:#0000ff;&quot;&gt;contact@scales.example&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;justify&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:10pt; color:#000000;&quot;&gt;Program interface is able to work with up to 4 KORVEN scales connected to computer by RS232 or USB 2.0.&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;justify&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:10pt; color:#000000;&quot;&gt;Supported operating systems: Windows XP/Vista/7 (32 bit/64bit)&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;justify&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:10pt; color:#000000;&quot;&gt;The standard version of this program can be obtained free of charge from &lt;/span&gt;&lt;a href=&quot;https://downloads.scales.example/acquisition/&quot;&gt;&lt;span style=&quot; font-size:10pt; text-decoration: underline; color:#0000ff;&quot;&gt;downloads.scales.example&lt;/span&gt;&lt;/a&gt;&lt;span style=&quot; font-size:10pt; color:#000000;&quot;&gt;. It may not be sold, modified or redistributed without the written permission of the Scale Acquisition Workshop.&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;justify&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:10pt; color:#000000;&quot;&gt;THE PROGRAM IS PROVIDED AS IS, WITHOUT WARRANTY OF ANY KIND. The author is not liable for any damage, loss of data or loss of profit arising from the use of this program or from the inability to use it. The whole risk of using the program lies with the user.&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt; text-decoration: underline;&quot;&gt;Used tools:&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Qt 5.15 (64 bit) - https://www.qt.io&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Qwt 6.1, the plotting library, unchanged - https://qwt.sourceforge.io&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Qt Serial Port 5.15 - https://doc.qt.io/qt-5/qtserialport-index.html&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Tango Icon Library, public domain - http://tango.freedesktop.org&lt;/span&gt;&lt;/p&gt;
&lt;/body&gt;&lt;/html&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AsciiProtocol</name>
    <message>
        <source>%1 has a decimal point of its own, but decimal places are set</source>
        <translation>%1 ma własny przecinek dziesiętny, a ustawiono miejsca po przecinku</translation>
    </message>
    <message>
        <source>two numbers could be the weight: %1 and %2</source>
        <translation>dwie liczby mogą być masą: %1 i %2</translation>
    </message>
    <message>
        <source>the number %1 has an exponent, read only by a pattern that asks for one</source>
        <translation>liczba %1 ma wykładnik, czytany tylko przez wzorzec, który o niego prosi</translation>
    </message>
    <message>
        <source>the number is glued to other characters: %1</source>
        <translation>liczba jest sklejona z innymi znakami: %1</translation>
    </message>
    <message>
        <source>the number %1 has no unit after it, and no unit is set for the scale</source>
        <translation>po liczbie %1 nie ma jednostki, a dla wagi nie ustawiono żadnej</translation>
    </message>
    <message>
        <source>no number stands alone with a unit after it</source>
        <translation>żadna liczba nie stoi osobno z jednostką po niej</translation>
    </message>
    <message>
        <source>the pattern cannot be used</source>
        <translation>wzorca nie da się użyć</translation>
    </message>
    <message>
        <source>the pattern does not match</source>
        <translation>wzorzec nie pasuje</translation>
    </message>
    <message>
        <source>the pattern&apos;s value is not a number: %1</source>
        <translation>wartość wzorca nie jest liczbą: %1</translation>
    </message>
    <message>
        <source>the unit is not a word: %1</source>
        <translation>jednostka nie jest słowem: %1</translation>
    </message>
</context>
<context>
    <name>CaptureFilter</name>
    <message>
        <source>Only stable readings</source>
        <translation>Tylko stabilne odczyty</translation>
    </message>
    <message>
        <source>One record per load</source>
        <translation>Jeden rekord na ładunek</translation>
    </message>
    <message>
        <source>Every reading</source>
        <translation>Każdy odczyt</translation>
    </message>
</context>
<context>
    <name>DescriptionWindow</name>
    <message>
        <source>Saving graph</source>
        <translation>Zapisywanie wykresu</translation>
    </message>
    <message>
        <source>Graph description</source>
        <translation>Opis wykresu</translation>
    </message>
    <message>
        <source>max 99 chars</source>
        <translation>maksymalnie 99 znaków</translation>
    </message>
</context>
<context>
    <name>DeviceTask</name>
    <message>
        <source>network</source>
        <translation>sieć</translation>
    </message>
    <message>
        <source>The kind of scale this network port is read with; its line settings are made on the converter. Device → Port settings... changes the kind.</source>
        <translation>Rodzaj wagi, według którego odczytywany jest ten port sieciowy; parametry łącza ustawia się w konwerterze. Urządzenie → Ustawienia portu... zmienia rodzaj.</translation>
    </message>
    <message>
        <source>The scale is in motion and sends no weight until it settles.</source>
        <translation>Waga jest w ruchu i nie wysyła masy, dopóki się nie ustabilizuje.</translation>
    </message>
    <message>
        <source>The scale sent no weight: &quot;%1&quot;.</source>
        <translation>Waga nie wysłała masy: „%1”.</translation>
    </message>
    <message>
        <source>How to use graph:
click left &amp; move - zoom in specific area
click center - zoom out one level
click right - zoom out completely</source>
        <translation>Jak używać wyresu za pomocą przycisków myszy:
lewy i ruch - powiększenie obszaru
środkowy - pomniejszenie do poprzedniego widoku
prawy - pomniejszenie początkowe</translation>
    </message>
    <message>
        <source>Waiting for the scale&apos;s print key: each line the scale sends is a reading.</source>
        <translation>Czekam na klawisz drukowania wagi: każdy wiersz wysłany przez wagę jest odczytem.</translation>
    </message>
    <message>
        <source>The kind of scale and the line settings this port is read with. Device → Port settings... changes them.</source>
        <translation>Rodzaj wagi i parametry łącza, z jakimi czytany jest ten port. Zmienia je Urządzenie → Ustawienia portu...</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zeruj</translation>
    </message>
    <message>
        <source>Start the statistics again from the next reading taken</source>
        <translation>Zacznij statystykę od nowa od następnego pobranego odczytu</translation>
    </message>
    <message>
        <source>en_US</source>
        <comment>the locale of the numbers shown</comment>
        <translation>pl_PL</translation>
    </message>
    <message>
        <source>Only the readings the scale calls stable are recorded.</source>
        <translation>Zapisywane są tylko odczyty, które waga uznaje za stabilne.</translation>
    </message>
    <message>
        <source>One record per load (a change of more than %1 %2). Loads weighed: %3</source>
        <translation>Jeden rekord na ładunek (zmiana o więcej niż %1 %2). Zważone ładunki: %3</translation>
    </message>
    <message>
        <source>If the scale is of another kind or uses other line settings, choose them in Device → Port settings...</source>
        <translation>Jeśli waga jest innego rodzaju lub ma inne parametry łącza, ustaw je w Urządzenie → Ustawienia portu...</translation>
    </message>
    <message>
        <source>The port cannot be opened: %1</source>
        <translation>Nie można otworzyć portu: %1</translation>
    </message>
    <message>
        <source>The port cannot be opened: %1.
Another program may be using it, or your user may not be in the dialout group (sudo adduser $USER dialout, then log in again).</source>
        <translation>Nie można otworzyć portu: %1.
Może go używać inny program albo Twój użytkownik nie należy do grupy dialout (sudo adduser $USER dialout, potem zaloguj się ponownie).</translation>
    </message>
    <message>
        <source>The scale names a unit that is not accepted: &quot;%1&quot;.</source>
        <translation>Waga podaje nieakceptowaną jednostkę: &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>The scale names a unit that is not accepted: &quot;%1&quot; (accepted: kg, kg., szt, g).</source>
        <translation>Waga podaje jednostkę, której program nie przyjmuje: „%1” (przyjmowane: kg, kg., szt, g).</translation>
    </message>
    <message>
        <source>The scale is overloaded: the load is above its weighing range.</source>
        <translation>Waga jest przeciążona: obciążenie przekracza jej zakres ważenia.</translation>
    </message>
    <message>
        <source>The scale is underloaded: the load is below its weighing range.</source>
        <translation>Obciążenie wagi jest poniżej jej zakresu ważenia.</translation>
    </message>
    <message>
        <source>The scale is busy and sends no weight.</source>
        <translation>Waga jest zajęta i nie podaje masy.</translation>
    </message>
    <message>
        <source>The load is out of the scale&apos;s weighing range.</source>
        <translation>Obciążenie jest poza zakresem ważenia wagi.</translation>
    </message>
    <message>
        <source>The scale reports an error: &quot;%1&quot;.</source>
        <translation>Waga zgłasza błąd: „%1”.</translation>
    </message>
    <message>
        <source>The scale&apos;s reply is not a reading: &quot;%1&quot;.</source>
        <translation>Odpowiedź wagi nie jest odczytem: „%1”.</translation>
    </message>
    <message>
        <source>No answer from the scale: check the cable, the port and that the scale is switched on.</source>
        <translation>Brak odpowiedzi wagi: sprawdź kabel, port i czy waga jest włączona.</translation>
    </message>
    <message>
        <source>The scale does not call this reading stable yet.</source>
        <translation>Waga nie uznaje jeszcze tego odczytu za stabilny.</translation>
    </message>
    <message>
        <source>No tare command is set for this scale: type it in Device → Port settings...</source>
        <translation>Dla tej wagi nie ustawiono polecenia tarowania: wpisz je w Urządzenie → Ustawienia portu...</translation>
    </message>
    <message>
        <source>No zero command is set for this scale: type it in Device → Port settings...</source>
        <translation>Dla tej wagi nie ustawiono polecenia zerowania: wpisz je w Urządzenie → Ustawienia portu...</translation>
    </message>
    <message>
        <source>This kind of scale takes no tare command from the program.</source>
        <translation>Ten rodzaj wagi nie przyjmuje od programu polecenia tarowania.</translation>
    </message>
    <message>
        <source>This kind of scale takes no zero command from the program.</source>
        <translation>Ten rodzaj wagi nie przyjmuje od programu polecenia zerowania.</translation>
    </message>
    <message>
        <source>Tare sent; this kind of scale does not confirm it.</source>
        <translation>Tarowanie wysłane; ten rodzaj wagi go nie potwierdza.</translation>
    </message>
    <message>
        <source>Zero sent; this kind of scale does not confirm it.</source>
        <translation>Zerowanie wysłane; ten rodzaj wagi go nie potwierdza.</translation>
    </message>
    <message>
        <source>Tare done (the scale answered &quot;%1&quot;).</source>
        <translation>Tarowanie wykonane (waga odpowiedziała „%1”).</translation>
    </message>
    <message>
        <source>Zero done (the scale answered &quot;%1&quot;).</source>
        <translation>Zerowanie wykonane (waga odpowiedziała „%1”).</translation>
    </message>
    <message>
        <source>No answer from the scale to the tare command.</source>
        <translation>Waga nie odpowiedziała na polecenie tarowania.</translation>
    </message>
    <message>
        <source>No answer from the scale to the zero command.</source>
        <translation>Waga nie odpowiedziała na polecenie zerowania.</translation>
    </message>
    <message>
        <source>The scale refused tare: %1</source>
        <translation>Waga odmówiła tarowania: %1</translation>
    </message>
    <message>
        <source>The scale refused zero: %1</source>
        <translation>Waga odmówiła zerowania: %1</translation>
    </message>
</context>
<context>
    <name>DocumentWindow</name>
    <message>
        <source>Export Plot Name</source>
        <translation>Eksportuj wykres do pliku</translation>
    </message>
    <message>
        <source>units: </source>
        <translation>jednostki: </translation>
    </message>
    <message>
        <source>KORVEN WEIGHING SOFTWARE</source>
        <translation>KORVEN program do obsługi wag</translation>
    </message>
    <message>
        <source>The plot was not exported: %1 does not end in .pdf, .svg, .ps or the suffix of an image type such as .png.</source>
        <translation>Wykres nie został wyeksportowany: nazwa %1 nie kończy się na .pdf, .svg, .ps ani na rozszerzenie formatu obrazu, np. .png.</translation>
    </message>
    <message>
        <source>The plot could not be rendered for %1.</source>
        <translation>Nie udało się narysować wykresu dla %1.</translation>
    </message>
    <message>
        <source>The plot was not exported: %1 is a folder, a device, a pipe or a socket, not a file.</source>
        <translation>Wykres nie został wyeksportowany: %1 jest folderem, urządzeniem, potokiem lub gniazdem, a nie plikiem.</translation>
    </message>
    <message>
        <source>The plot was not exported: %1 is a symbolic link. A plot is written only to a regular file or under a new name, never through a link.</source>
        <translation>Wykres nie został wyeksportowany: %1 jest dowiązaniem symbolicznym. Wykres zapisuje się tylko do zwykłego pliku albo pod nową nazwą, nigdy przez dowiązanie.</translation>
    </message>
    <message>
        <source>The plot could not be written to %1:
%2</source>
        <translation>Nie udało się zapisać wykresu do %1:
%2</translation>
    </message>
</context>
<context>
    <name>EditMenu</name>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Edycja</translation>
    </message>
    <message>
        <source>&amp;Copy reading</source>
        <translation>&amp;Kopiuj odczyt</translation>
    </message>
    <message>
        <source>Copy each &amp;stable reading</source>
        <translation>Kopiuj każdy &amp;stabilny odczyt</translation>
    </message>
    <message>
        <source>Nothing copied: the window shows no reading.</source>
        <translation>Nic nie skopiowano: okno nie pokazuje odczytu.</translation>
    </message>
    <message>
        <source>Copied: %1</source>
        <translation>Skopiowano: %1</translation>
    </message>
</context>
<context>
    <name>GraphView</name>
    <message>
        <source>Graph view</source>
        <translation>Widok wykresu</translation>
    </message>
    <message>
        <source>View example</source>
        <translation>Przykład wykresu</translation>
    </message>
    <message>
        <source>Curve Style</source>
        <translation>Styl linii</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Kolory</translation>
    </message>
    <message>
        <source>Background</source>
        <translation>Tło</translation>
    </message>
    <message>
        <source>Curve</source>
        <translation>Linia</translation>
    </message>
    <message>
        <source>Grid</source>
        <translation>Siatka</translation>
    </message>
    <message>
        <source>Sample</source>
        <translation>Próbka</translation>
    </message>
</context>
<context>
    <name>LimitsDialog</name>
    <message>
        <source>Limits of %1</source>
        <translation>Limity dla %1</translation>
    </message>
    <message>
        <source>&amp;Low limit:</source>
        <translation>&amp;Dolny limit:</translation>
    </message>
    <message>
        <source>&amp;High limit:</source>
        <translation>&amp;Górny limit:</translation>
    </message>
    <message>
        <source>&amp;Unit:</source>
        <translation>&amp;Jednostka:</translation>
    </message>
    <message>
        <source>&amp;Beep when a reading turns under or over</source>
        <translation>&amp;Sygnał dźwiękowy, gdy odczyt spadnie poniżej limitu lub go przekroczy</translation>
    </message>
    <message>
        <source>Leave a limit empty for none. A reading equal to a limit is OK; only readings in this unit get a verdict.</source>
        <translation>Pozostaw limit pusty, jeśli ma go nie być. Odczyt równy limitowi jest OK; ocenę dostają tylko odczyty w tej jednostce.</translation>
    </message>
    <message>
        <source>A limit is a number, such as %1, or empty for none.</source>
        <translation>Limit to liczba, np. %1, albo puste pole, jeśli limitu nie ma.</translation>
    </message>
    <message>
        <source>The low limit is above the high limit.</source>
        <translation>Dolny limit jest wyższy niż górny.</translation>
    </message>
    <message>
        <source>Name the unit the limits are in, as the scale writes it (g, kg, ...).</source>
        <translation>Podaj jednostkę limitów tak, jak zapisuje ją waga (g, kg, ...).</translation>
    </message>
</context>
<context>
    <name>LineMonitor</name>
    <message>
        <source>Line monitor: %1</source>
        <translation>Monitor łącza: %1</translation>
    </message>
    <message>
        <source>&amp;Hex</source>
        <translation>&amp;Szesnastkowo</translation>
    </message>
    <message>
        <source>Show the bytes as hexadecimal numbers</source>
        <translation>Pokaż bajty jako liczby szesnastkowe</translation>
    </message>
    <message>
        <source>Co&amp;py</source>
        <translation>&amp;Kopiuj</translation>
    </message>
    <message>
        <source>C&amp;lear</source>
        <translation>&amp;Wyczyść</translation>
    </message>
    <message>
        <source>sent</source>
        <translation>wysłano</translation>
    </message>
    <message>
        <source>received</source>
        <translation>odebrano</translation>
    </message>
</context>
<context>
    <name>LotField</name>
    <message>
        <source>Lot</source>
        <translation>Partia</translation>
    </message>
    <message>
        <source>The lot or batch of the active window&apos;s readings</source>
        <translation>Partia lub seria odczytów aktywnego okna</translation>
    </message>
</context>
<context>
    <name>MdiWindow</name>
    <message>
        <source>Another copy of this program is running and keeps the shift.
This one opens no port of the last shift, and the ports opened in it are not kept for the next start.</source>
        <translation>Działa już inna kopia tego programu i to ona prowadzi zmianę roboczą.
Ta kopia nie otwiera żadnego portu z ostatniej zmiany, a otwarte w niej porty nie zostaną zapamiętane na następne uruchomienie.</translation>
    </message>
    <message>
        <source>Shift</source>
        <translation>Zmiana robocza</translation>
    </message>
    <message>
        <source>KORVEN scale software </source>
        <translation>KORVEN program do obsługi wag</translation>
    </message>
    <message>
        <source>set file path</source>
        <translation>Ustaw ścieżkę pliku</translation>
    </message>
    <message>
        <source>set sampling rate</source>
        <translation>Ustaw częstotliwość próbkowania</translation>
    </message>
    <message>
        <source>click to scan for new devices</source>
        <translation>kliknij aby zeskanować porty</translation>
    </message>
    <message>
        <source>Choose the kind of scale and the line settings of a port</source>
        <translation>Wybierz rodzaj wagi i parametry łącza portu</translation>
    </message>
    <message>
        <source>Line &amp;monitor...</source>
        <translation>&amp;Monitor łącza...</translation>
    </message>
    <message>
        <source>Show the bytes the active window exchanges with its scale</source>
        <translation>Pokaż bajty, które aktywne okno wymienia ze swoją wagą</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Zamknij</translation>
    </message>
    <message>
        <source>Close this document</source>
        <translation>Zamknij ten dokument</translation>
    </message>
    <message>
        <source>Quit the application</source>
        <translation>Zamknij aplikację</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Pauza</translation>
    </message>
    <message>
        <source>&amp;Step</source>
        <translation>&amp;Krok</translation>
    </message>
    <message>
        <source>&amp;Record</source>
        <translation>&amp;Zapisuj</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Zapisuje</translation>
    </message>
    <message>
        <source>Set fullscreen</source>
        <translation>Ustaw tryb pełnego ekranu</translation>
    </message>
    <message>
        <source>&amp;Maximize</source>
        <translation>&amp;Maksymalizuj</translation>
    </message>
    <message>
        <source>Maximize the windows</source>
        <translation>Maksymalizuj okna</translation>
    </message>
    <message>
        <source>Ctrl+Up</source>
        <translation>Ctrl+Góra</translation>
    </message>
    <message>
        <source>&amp;Tile</source>
        <translation>&amp;Kafelkowy</translation>
    </message>
    <message>
        <source>Tile the windows</source>
        <translation>Kafelkowy układ okienek</translation>
    </message>
    <message>
        <source>Ctrl+Down</source>
        <translation>Ctrl+Dół</translation>
    </message>
    <message>
        <source>&amp;Next window</source>
        <translation>&amp;Następne</translation>
    </message>
    <message>
        <source>Move to the next window</source>
        <translation>Przejdź do kolejnego okna</translation>
    </message>
    <message>
        <source>Ctrl+Right</source>
        <translation>Ctrl+Prawy</translation>
    </message>
    <message>
        <source>&amp;Previous window</source>
        <translation>&amp;Poprzednie</translation>
    </message>
    <message>
        <source>Move to the previous window</source>
        <translation>Przejdź do poprzedniego okna</translation>
    </message>
    <message>
        <source>Ctrl+Left</source>
        <translation>Ctrl+Lewy</translation>
    </message>
    <message>
        <source>Show LCD display</source>
        <translation>Pokaż ekrany LCD</translation>
    </message>
    <message>
        <source>Show graph image</source>
        <translation>Pokaż wykresy</translation>
    </message>
    <message>
        <source>Follow &amp;readings</source>
        <translation>Śledź &amp;odczyty</translation>
    </message>
    <message>
        <source>Fit each plot&apos;s value axis to the readings in its window</source>
        <translation>Dopasuj oś wartości każdego wykresu do odczytów w jego oknie</translation>
    </message>
    <message>
        <source>Show the statistics of the readings taken under the read-out</source>
        <translation>Pokaż pod odczytem statystykę pobranych odczytów</translation>
    </message>
    <message>
        <source>&amp;Graph View</source>
        <translation>&amp;Widok wykresu</translation>
    </message>
    <message>
        <source>Change graph attributes</source>
        <translation>Zmień atrybuty wykresu</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;O programie</translation>
    </message>
    <message>
        <source>About this application</source>
        <translation>Informacje o aplikacji</translation>
    </message>
    <message>
        <source>&amp;Export</source>
        <translation>&amp;Eksportuj wykres</translation>
    </message>
    <message>
        <source>Export plot to file</source>
        <translation>Eksportuj wykres do pliku</translation>
    </message>
    <message>
        <source>&amp;Polish</source>
        <translation>&amp;Polski</translation>
    </message>
    <message>
        <source>Set polish language</source>
        <translation>Ustaw język polski</translation>
    </message>
    <message>
        <source>&amp;English</source>
        <translation>&amp;Angielski</translation>
    </message>
    <message>
        <source>Set english language</source>
        <translation>Ustaw język angielski</translation>
    </message>
    <message>
        <source>&amp;Device</source>
        <translation>&amp;Urządzenie</translation>
    </message>
    <message>
        <source>&amp;Mode</source>
        <translation>&amp;Tryb</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Opcje</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Pomoc</translation>
    </message>
    <message>
        <source>Closing program ...</source>
        <translation>Zamykanie programu ...</translation>
    </message>
    <message>
        <source>KORVEN weighing software </source>
        <translation>KORVEN program do obsługi wag </translation>
    </message>
    <message>
        <source> - demo with simulated scales</source>
        <translation> - pokaz z symulowanymi wagami</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Język</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>Spacja</translation>
    </message>
    <message>
        <source>The stored settings of %1 hold values that cannot be used: %2.
The port is read with the usual settings of its kind of scale instead; Device → Port settings... shows them and stores new ones.</source>
        <translation>Zapisane ustawienia portu %1 zawierają wartości, których nie można użyć: %2.
Port jest odczytywany ze zwykłymi ustawieniami tego rodzaju wagi; Urządzenie → Ustawienia portu... pokazuje je i zapisuje nowe.</translation>
    </message>
    <message>
        <source>Recording stays off.</source>
        <translation>Zapisywanie pozostaje wyłączone.</translation>
    </message>
    <message>
        <source>Readings are recorded only into a regular file or under a new name;
%1
is a folder, a device, a pipe, a socket or a link.</source>
        <translation>Odczyty zapisuje się tylko do zwykłego pliku albo pod nową nazwą;
%1
to folder, urządzenie, potok, gniazdo albo dowiązanie.</translation>
    </message>
    <message>
        <source>The window of %1 is already recording into the file
%2
Each window records into a file of its own.</source>
        <translation>Okno %1 już zapisuje odczyty do pliku
%2
Każde okno zapisuje do własnego pliku.</translation>
    </message>
    <message>
        <source>Add readings to the end of:</source>
        <translation>Dopisuj odczyty na końcu pliku:</translation>
    </message>
    <message>
        <source>Append</source>
        <translation>Dopisz</translation>
    </message>
    <message>
        <source>The file chosen before is kept.</source>
        <translation>Pozostaje plik wybrany wcześniej.</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Gotowy</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>Four ports are open</source>
        <translation>Otwarte są cztery porty</translation>
    </message>
    <message>
        <source>You cannot open more than 4 ports: close a window to open another.</source>
        <translation>Nie można otworzyć więcej niż 4 portów: zamknij okno, aby otworzyć inny.</translation>
    </message>
    <message>
        <source>Port settings</source>
        <translation>Ustawienia portu</translation>
    </message>
    <message numerus="yes">
        <source>%n window(s) still record readings. Every record taken so far is in its file; closing stops the readings. Close the program?</source>
        <translation>
            <numerusform>%n okno wciąż zapisuje odczyty. Każdy dotąd pobrany odczyt jest już w pliku; zamknięcie zatrzymuje odczyty. Zamknąć program?</numerusform>
            <numerusform>%n okna wciąż zapisują odczyty. Każdy dotąd pobrany odczyt jest już w pliku; zamknięcie zatrzymuje odczyty. Zamknąć program?</numerusform>
            <numerusform>%n okien wciąż zapisuje odczyty. Każdy dotąd pobrany odczyt jest już w pliku; zamknięcie zatrzymuje odczyty. Zamknąć program?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n scale window(s) are open. Close the program?</source>
        <translation>
            <numerusform>Otwarte jest %n okno wagi. Zamknąć program?</numerusform>
            <numerusform>Otwarte są %n okna wag. Zamknąć program?</numerusform>
            <numerusform>Otwartych jest %n okien wag. Zamknąć program?</numerusform>
        </translation>
    </message>
    <message>
        <source>Text records (*.txt)</source>
        <translation>Zapisy tekstowe (*.txt)</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Pliki CSV (*.csv)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Wszystkie pliki (*)</translation>
    </message>
    <message>
        <source>Choose the file to record readings in</source>
        <translation>Wybierz plik, do którego trafią odczyty</translation>
    </message>
    <message>
        <source>Stop taking readings</source>
        <translation>Zatrzymaj pobieranie odczytów</translation>
    </message>
    <message>
        <source>Take the next reading</source>
        <translation>Pobierz kolejny odczyt</translation>
    </message>
    <message>
        <source>Take readings at the sampling interval</source>
        <translation>Pobieraj odczyty co okres próbkowania</translation>
    </message>
    <message>
        <source>Record the readings taken into the chosen file</source>
        <translation>Zapisuj pobrane odczyty do wybranego pliku</translation>
    </message>
    <message>
        <source>&amp;Port settings...</source>
        <translation>&amp;Ustawienia portu...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Wyjdź</translation>
    </message>
    <message>
        <source>Show &amp;LCD display</source>
        <translation>Pokaż ekrany &amp;LCD</translation>
    </message>
    <message>
        <source>Show &amp;graph</source>
        <translation>Pokaż &amp;wykresy</translation>
    </message>
    <message>
        <source>Show stat&amp;istics</source>
        <translation>Pokaż s&amp;tatystykę</translation>
    </message>
    <message>
        <source>&amp;Go</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>O&amp;kno</translation>
    </message>
    <message>
        <source>&amp;Fullscreen</source>
        <translation>Pełny &amp;ekran</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Przywróć</translation>
    </message>
    <message>
        <source>&amp;Move</source>
        <translation>Prze&amp;nieś</translation>
    </message>
    <message>
        <source>&amp;Size</source>
        <translation>&amp;Rozmiar</translation>
    </message>
    <message>
        <source>Mi&amp;nimize</source>
        <translation>Z&amp;minimalizuj</translation>
    </message>
    <message>
        <source>Ma&amp;ximize</source>
        <translation>Zma&amp;ksymalizuj</translation>
    </message>
    <message>
        <source>Stay on &amp;Top</source>
        <translation>Pozostaw na &amp;wierzchu</translation>
    </message>
    <message>
        <source>&amp;Limits...</source>
        <translation>&amp;Limity...</translation>
    </message>
    <message>
        <source>Set the low and high limit of the active window&apos;s readings</source>
        <translation>Ustaw dolny i górny limit odczytów aktywnego okna</translation>
    </message>
    <message>
        <source>&amp;Tare</source>
        <translation>&amp;Taruj</translation>
    </message>
    <message>
        <source>Have the active window&apos;s scale take the load on it off as tare</source>
        <translation>Wytaruj wagę aktywnego okna: obciążenie na niej staje się tarą</translation>
    </message>
    <message>
        <source>Have the active window&apos;s scale set its zero</source>
        <translation>Wyzeruj wagę aktywnego okna</translation>
    </message>
    <message>
        <source>&amp;Zero</source>
        <translation>Zeru&amp;j</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Switch windows</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;%1 %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PortSettingsDialog</name>
    <message>
        <source>Unit the scale &amp;leaves out:</source>
        <translation>&amp;Jednostka pomijana przez wagę:</translation>
    </message>
    <message>
        <source>e.g. kg</source>
        <translation>np. kg</translation>
    </message>
    <message>
        <source>For a scale whose replies name no unit: its readings are shown and recorded in this one.</source>
        <translation>Dla wagi, której odpowiedzi nie podają jednostki: jej odczyty są pokazywane i zapisywane w tej jednostce.</translation>
    </message>
    <message>
        <source>Other byte</source>
        <translation>Inny bajt</translation>
    </message>
    <message>
        <source>e.g. \x04</source>
        <translation>np. \x04</translation>
    </message>
    <message>
        <source>With Other byte: the byte that ends a reply, typed as the request is: a character such as #, or \xHH for any byte.</source>
        <translation>Przy „Inny bajt”: bajt kończący odpowiedź, wpisany jak zapytanie: znak, np. #, albo \xHH dla dowolnego bajtu.</translation>
    </message>
    <message>
        <source>the one number standing alone with a unit after it</source>
        <translation>jedyna liczba stojąca osobno z jednostką po niej</translation>
    </message>
    <message>
        <source>No wei&amp;ght when it holds:</source>
        <translation>Brak &amp;masy, gdy zawiera:</translation>
    </message>
    <message>
        <source>e.g. Err or ----</source>
        <translation>np. Err lub ----</translation>
    </message>
    <message>
        <source>A line that holds this text carries no weight: it is told at once, and the scale asked again.</source>
        <translation>Wiersz zawierający ten tekst nie niesie masy: jest to zgłaszane od razu, a waga pytana ponownie.</translation>
    </message>
    <message>
        <source>as sent</source>
        <translation>jak wysłano</translation>
    </message>
    <message>
        <source>For a scale that sends its digits without a point: how many of them follow the point it leaves out (01250 with 3 places is 1.250).</source>
        <translation>Dla wagi wysyłającej cyfry bez przecinka: ile z nich stoi po pominiętym przecinku (01250 z 3 miejscami to 1.250).</translation>
    </message>
    <message>
        <source>De&amp;cimal places:</source>
        <translation>Miejsca po prze&amp;cinku:</translation>
    </message>
    <message>
        <source>The scale sends a line only when its weight changes: a quiet line is no fault, and the last reading holds.</source>
        <translation>Waga wysyła wiersz tylko wtedy, gdy zmienia się masa: cisza na linii nie jest błędem, a ostatni odczyt obowiązuje.</translation>
    </message>
    <message>
        <source>The byte that ends a reply must be one byte, typed as a character such as # or as \xHH, and not a digit.</source>
        <translation>Bajt kończący odpowiedź musi być jednym bajtem, wpisanym jako znak, np. #, albo jako \xHH, i nie cyfrą.</translation>
    </message>
    <message>
        <source>The unit the scale leaves out must be a short word, such as kg or lb.</source>
        <translation>Jednostka, której waga nie podaje, musi być krótkim słowem, np. kg lub lb.</translation>
    </message>
    <message>
        <source>Reads no weight: the line holds the no-weight text.</source>
        <translation>Brak masy: wiersz zawiera tekst braku masy.</translation>
    </message>
    <message>
        <source>Reads no weight: %1.</source>
        <translation>Brak masy: %1.</translation>
    </message>
    <message>
        <source>No known kind answered, but the scale sends text lines at %1 that read as an other ASCII scale. Check what the preview reads from them; OK keeps these settings.</source>
        <translation>Żaden znany rodzaj nie odpowiedział, ale waga wysyła przy %1 wiersze tekstu, które da się czytać jako inną wagę ASCII. Sprawdź, co podgląd z nich odczytuje; OK zachowuje te ustawienia.</translation>
    </message>
    <message>
        <source>Port settings</source>
        <translation>Ustawienia portu</translation>
    </message>
    <message>
        <source>&amp;Port:</source>
        <translation>&amp;Port:</translation>
    </message>
    <message>
        <source>e.g. Packing line 2</source>
        <translation>np. Linia pakowania 2</translation>
    </message>
    <message>
        <source>Shown in the window title, written in CSV records and in export titles</source>
        <translation>Widoczna w tytule okna, zapisywana w rekordach CSV i w tytułach eksportowanych wykresów</translation>
    </message>
    <message>
        <source>Scale &amp;name:</source>
        <translation>&amp;Nazwa wagi:</translation>
    </message>
    <message>
        <source>Scale &amp;type:</source>
        <translation>&amp;Rodzaj wagi:</translation>
    </message>
    <message>
        <source>&amp;Baud rate:</source>
        <translation>Prędkość (&amp;bod):</translation>
    </message>
    <message>
        <source>&amp;Data bits:</source>
        <translation>Bity &amp;danych:</translation>
    </message>
    <message>
        <source>P&amp;arity:</source>
        <translation>P&amp;arzystość:</translation>
    </message>
    <message>
        <source>&amp;Stop bits:</source>
        <translation>Bity &amp;stopu:</translation>
    </message>
    <message>
        <source>&amp;Flow control:</source>
        <translation>S&amp;terowanie przepływem:</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Brak</translation>
    </message>
    <message>
        <source>Even</source>
        <translation>Parzysta</translation>
    </message>
    <message>
        <source>Odd</source>
        <translation>Nieparzysta</translation>
    </message>
    <message>
        <source>XON/XOFF</source>
        <translation>XON/XOFF</translation>
    </message>
    <message>
        <source>RTS/CTS</source>
        <translation>RTS/CTS</translation>
    </message>
    <message>
        <source>Defaults for this type</source>
        <translation>Domyślne dla tego rodzaju</translation>
    </message>
    <message>
        <source>Sends only on its print &amp;key</source>
        <translation>Wysyła tylko po naciśnięciu &amp;klawisza drukowania</translation>
    </message>
    <message>
        <source>The scale sends one line when its PRINT key is pressed: a quiet line is no fault, and each line is a reading at once.</source>
        <translation>Waga wysyła jeden wiersz po naciśnięciu klawisza PRINT: cisza na linii nie jest błędem, a każdy wiersz od razu staje się odczytem.</translation>
    </message>
    <message>
        <source>Other ASCII scale</source>
        <translation>Inna waga ASCII</translation>
    </message>
    <message>
        <source>&amp;Request:</source>
        <translation>&amp;Zapytanie:</translation>
    </message>
    <message>
        <source>nothing: the scale sends unasked</source>
        <translation>nic: waga wysyła sama</translation>
    </message>
    <message>
        <source>Sent for each reading; \r, \n, \t and \x1b stand for CR, LF, TAB and ESC.</source>
        <translation>Wysyłane przed każdym odczytem; \r, \n, \t i \x1b oznaczają CR, LF, TAB i ESC.</translation>
    </message>
    <message>
        <source>Quiet time</source>
        <translation>Czas ciszy</translation>
    </message>
    <message>
        <source>A regular expression with the named parts (?&lt;value&gt;...) and optionally (?&lt;unit&gt;...) and (?&lt;stable&gt;...).</source>
        <translation>Wyrażenie regularne z nazwaną częścią (?&lt;value&gt;...) i opcjonalnie (?&lt;unit&gt;...) oraz (?&lt;stable&gt;...).</translation>
    </message>
    <message>
        <source>Find the scale</source>
        <translation>Znajdź wagę</translation>
    </message>
    <message>
        <source>Trying %1 (%2 of %3)...</source>
        <translation>Próbuję: %1 (%2 z %3)...</translation>
    </message>
    <message>
        <source>Found: %1. OK keeps these settings.</source>
        <translation>Znaleziono: %1. OK zachowuje te ustawienia.</translation>
    </message>
    <message>
        <source>No scale answered on %1 at any setting tried.</source>
        <translation>Na porcie %1 nie odpowiedziała żadna waga przy żadnym z wypróbowanych ustawień.</translation>
    </message>
    <message>
        <source>The port cannot be opened: %1</source>
        <translation>Nie można otworzyć portu: %1</translation>
    </message>
    <message>
        <source>%1 at %2</source>
        <translation>%1 przy %2</translation>
    </message>
    <message>
        <source>The request holds a character or an escape that cannot be sent: use printable characters and \r, \n, \t, \xHH or \\.</source>
        <translation>Zapytanie zawiera znak lub sekwencję, których nie można wysłać: użyj znaków drukowalnych oraz \r, \n, \t, \xHH lub \\.</translation>
    </message>
    <message>
        <source>The regular expression cannot be used: it must be valid and have a part named value, as in (?&lt;value&gt;[0-9.]+).</source>
        <translation>Nie można użyć tego wyrażenia regularnego: musi być poprawne i mieć część o nazwie value, np. (?&lt;value&gt;[0-9.]+).</translation>
    </message>
    <message>
        <source>The port settings cannot be saved in %1. They are used until the program ends and are lost then.</source>
        <translation>Nie można zapisać ustawień portu w %1. Obowiązują do zamknięcia programu, a potem przepadną.</translation>
    </message>
    <message>
        <source>A network port&apos;s line settings are made on its serial-to-Ethernet converter.</source>
        <translation>Ustawienia linii portu sieciowego ustawia się w jego konwerterze szeregowo-Ethernet.</translation>
    </message>
    <message>
        <source>Not used from %1: %2. The usual settings of this kind of scale are shown instead; OK keeps what is shown.</source>
        <translation>Nie użyto wartości zapisanych w %1: %2. W ich miejsce pokazano typowe ustawienia tego rodzaju wagi; OK zachowa to, co widać.</translation>
    </message>
    <message>
        <source>Nothing received yet: the last line comes here while the port is open in a window.</source>
        <translation>Jeszcze nic nie odebrano: ostatni wiersz pojawi się tutaj, gdy port jest otwarty w oknie.</translation>
    </message>
    <message>
        <source>Last line received: %1</source>
        <translation>Ostatni odebrany wiersz: %1</translation>
    </message>
    <message>
        <source>Reads nothing: the regular expression is not usable.</source>
        <translation>Nic nie odczytano: wyrażenie regularne jest nieużyteczne.</translation>
    </message>
    <message>
        <source>Reads %1 %2, stable.</source>
        <translation>Odczyt: %1 %2, stabilny.</translation>
    </message>
    <message>
        <source>Reads %1 %2, not stable.</source>
        <translation>Odczyt: %1 %2, niestabilny.</translation>
    </message>
    <message>
        <source>Reads an overload.</source>
        <translation>Odczyt: przeciążenie.</translation>
    </message>
    <message>
        <source>Search stopped.</source>
        <translation>Szukanie przerwane.</translation>
    </message>
    <message>
        <source>%1 is open in a window. Close that window to search on its port: a port is read by one link at a time.</source>
        <translation>Port %1 jest otwarty w oknie. Zamknij to okno, aby szukać wagi na tym porcie: z portu może naraz czytać tylko jedno połączenie.</translation>
    </message>
    <message>
        <source>Stop searching</source>
        <translation>Przerwij szukanie</translation>
    </message>
    <message>
        <source>Tare co&amp;mmand:</source>
        <translation>Polecenie tar&amp;owania:</translation>
    </message>
    <message>
        <source>&amp;Zero command:</source>
        <translation>Polecenie z&amp;erowania:</translation>
    </message>
    <message>
        <source>none</source>
        <translation>brak</translation>
    </message>
    <message>
        <source>Sent between two readings when Tare or Zero is chosen, typed as the request is; what the scale answers to it is not read.</source>
        <translation>Wysyłane między dwoma odczytami po wybraniu Taruj lub Zeruj, wpisywane tak jak zapytanie; odpowiedź wagi nie jest odczytywana.</translation>
    </message>
    <message>
        <source>The tare or zero command holds a character or an escape that cannot be sent: use printable characters and \r, \n, \t, \xHH or \\.</source>
        <translation>Polecenie tarowania lub zerowania zawiera znak lub sekwencję, których nie można wysłać: użyj znaków drukowalnych oraz \r, \n, \t, \xHH lub \\.</translation>
    </message>
    <message>
        <source>Keeps &amp;quiet while the weight does not change</source>
        <translation>Milczy, gdy masa się nie zmien&amp;ia</translation>
    </message>
    <message>
        <source>Reply &amp;ends with:</source>
        <translation>Koniec odpo&amp;wiedzi:</translation>
    </message>
    <message>
        <source>&amp;Weight found by:</source>
        <translation>Masa odczyt&amp;ywana przez:</translation>
    </message>
    <message>
        <source>&amp;Unstable when it holds:</source>
        <translation>Niestabi&amp;lny, gdy zawiera:</translation>
    </message>
    <message>
        <source>&amp;Overload when it holds:</source>
        <translation>Przeciążenie, &amp;gdy zawiera:</translation>
    </message>
</context>
<context>
    <name>ReadingStatistics</name>
    <message>
        <source>Statistics: no reading taken yet</source>
        <translation>Statystyka: nie pobrano jeszcze żadnego odczytu</translation>
    </message>
    <message>
        <source>Count: %1   Mean: %2   Std. dev.: %3   Min: %4   Max: %5</source>
        <translation>Liczba: %1   Średnia: %2   Odch. std.: %3   Min: %4   Maks: %5</translation>
    </message>
</context>
<context>
    <name>RecordFormat</name>
    <message>
        <source>CSV, comma and decimal point</source>
        <translation>CSV, przecinek i kropka dziesiętna</translation>
    </message>
    <message>
        <source>CSV, semicolon and decimal comma</source>
        <translation>CSV, średnik i przecinek dziesiętny</translation>
    </message>
    <message>
        <source>Classic (tab-separated)</source>
        <translation>Klasyczny (rozdzielany tabulatorami)</translation>
    </message>
</context>
<context>
    <name>RecordMenu</name>
    <message>
        <source>Recording &amp;options</source>
        <translation>&amp;Opcje zapisu</translation>
    </message>
    <message>
        <source>Record format</source>
        <translation>Format zapisu</translation>
    </message>
    <message>
        <source>CSV</source>
        <translation>CSV</translation>
    </message>
    <message>
        <source>Comma and decimal point</source>
        <translation>Przecinek i kropka dziesiętna</translation>
    </message>
    <message>
        <source>Semicolon and decimal comma</source>
        <translation>Średnik i przecinek dziesiętny</translation>
    </message>
    <message>
        <source>What to record</source>
        <translation>Co zapisywać</translation>
    </message>
    <message>
        <source>Load threshold...</source>
        <translation>Próg ładunku...</translation>
    </message>
    <message>
        <source>Switch Record off to change the format</source>
        <translation>Wyłącz zapisywanie, aby zmienić format</translation>
    </message>
    <message>
        <source>Load threshold</source>
        <translation>Próg ładunku</translation>
    </message>
    <message>
        <source>With one record per load, a new load is recorded when the settled weight
differs from the last one by more than (in the scale&apos;s unit):</source>
        <translation>Przy jednym rekordzie na ładunek nowy ładunek jest zapisywany, gdy ustalona masa
różni się od poprzedniej o więcej niż (w jednostce wagi):</translation>
    </message>
</context>
<context>
    <name>RecordingNotices</name>
    <message>
        <source>Could not open the file
%1
(%2).</source>
        <translation>Nie można otworzyć pliku
%1
(%2).</translation>
    </message>
    <message>
        <source>The recording file
%1
of %2 ended in a record or a header cut short, as a power cut leaves one. So that no part of a record is read as a whole one, these bytes were taken off:
%3
The readings are added after the last whole record.</source>
        <translation>Plik zapisu
%1
urządzenia %2 kończył się uciętym zapisem lub nagłówkiem, jaki zostawia zanik zasilania. Aby żadna część zapisu nie została odczytana jako cały zapis, usunięto te bajty:
%3
Odczyty są dopisywane po ostatnim całym zapisie.</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Zapisuje</translation>
    </message>
    <message>
        <source>Readings are not added to the file
%1
</source>
        <translation>Odczyty nie są dopisywane do pliku
%1
</translation>
    </message>
    <message>
        <source>The readings of %1 could not be written to the file
%2
(%3).
Recording goes on: every new reading is tried again, and you will be told when records reach the file again. The records written before are kept in the file.</source>
        <translation>Nie udało się zapisać odczytów z %1 do pliku
%2
(%3).
Zapis trwa dalej: program próbuje zapisać każdy kolejny odczyt i powiadomi, gdy rekordy znów trafią do pliku. Wcześniej zapisane rekordy pozostają w pliku.</translation>
    </message>
    <message>
        <source>The readings of %1 are written to the file
%2
again.
The readings taken while they could not be written are not in it.</source>
        <translation>Odczyty z %1 znów są zapisywane do pliku
%2.
Odczytów z czasu, gdy nie można było ich zapisać, w pliku nie ma.</translation>
    </message>
    <message>
        <source>The recording file
%1
of %2 was deleted while recording.
Recording goes on in a new file of the same name; the records from before the deletion are not in it.</source>
        <translation>Plik zapisu
%1
urządzenia %2 został usunięty podczas zapisu.
Zapis trwa dalej w nowym pliku o tej samej nazwie; rekordów sprzed usunięcia w nim nie ma.</translation>
    </message>
</context>
<context>
    <name>SaveSamples</name>
    <message>
        <source>it holds records in the format &quot;%1&quot;</source>
        <translation>zawiera zapisy w formacie „%1”</translation>
    </message>
    <message>
        <source>It holds records in the format &quot;%1&quot;; records in the format &quot;%2&quot; are not added to it, so that the file keeps one format. Choose another file, or the file&apos;s own format in the Record button&apos;s menu.</source>
        <translation>Zawiera rekordy w formacie „%1”; rekordy w formacie „%2” nie są do niego dopisywane, aby plik zachował jeden format. Wybierz inny plik albo format tego pliku w menu przycisku Zapisuj.</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>to nie jest zwykły plik</translation>
    </message>
    <message>
        <source>It holds records in an older column layout: rows with today&apos;s columns are not added under its header. Choose a new file for the recording.</source>
        <translation>Zawiera zapisy w starszym układzie kolumn: wiersze z obecnymi kolumnami nie są dopisywane pod jego nagłówkiem. Wybierz nowy plik do zapisu.</translation>
    </message>
    <message>
        <source>it holds records in an older column layout</source>
        <translation>zawiera zapisy w starszym układzie kolumn</translation>
    </message>
</context>
<context>
    <name>ScaleProtocol</name>
    <message>
        <source>Continuous output with status bytes (STX)</source>
        <translation>Ciągłe wyjście z bajtami stanu (STX)</translation>
    </message>
    <message>
        <source>SMA level 1 (LF W CR)</source>
        <translation>SMA poziom 1 (LF W CR)</translation>
    </message>
    <message>
        <source>Retail scale asked with W (STX ... CR)</source>
        <translation>Waga sklepowa pytana przez W (STX ... CR)</translation>
    </message>
    <message>
        <source>Two-line replies ending in ETX (W CR)</source>
        <translation>Odpowiedzi dwuwierszowe zakończone ETX (W CR)</translation>
    </message>
    <message>
        <source>Polled with ENQ, implied decimals (STX ... ETX)</source>
        <translation>Pytana przez ENQ, domyślne miejsca dziesiętne (STX ... ETX)</translation>
    </message>
    <message>
        <source>SICS-style commands (SI)</source>
        <translation>Polecenia w stylu SICS (SI)</translation>
    </message>
    <message>
        <source>SICS-style with stability mark (SI ?)</source>
        <translation>Styl SICS ze znacznikiem stabilności (SI ?)</translation>
    </message>
    <message>
        <source>Header and comma frames (Q, ST,...)</source>
        <translation>Ramki z nagłówkiem i przecinkiem (Q, ST,...)</translation>
    </message>
    <message>
        <source>Print frames (ESC P)</source>
        <translation>Ramki wydruku (ESC P)</translation>
    </message>
    <message>
        <source>Immediate print (IP)</source>
        <translation>Wydruk natychmiastowy (IP)</translation>
    </message>
    <message>
        <source>Continuous output (no request)</source>
        <translation>Wysyłanie ciągłe (bez zapytania)</translation>
    </message>
    <message>
        <source>Other ASCII scale</source>
        <translation>Inna waga ASCII</translation>
    </message>
    <message>
        <source>Built-in protocol (Z, A)</source>
        <translation>Protokół wbudowany (Z, A)</translation>
    </message>
</context>
<context>
    <name>Scaner</name>
    <message>
        <source>Type a network port as tcp://host:port, for example tcp://192.168.1.50:4001, and press Enter.</source>
        <translation>Port sieciowy wpisz jako tcp://host:port, na przykład tcp://192.168.1.50:4001, i naciśnij Enter.</translation>
    </message>
    <message>
        <source>%1 is open in a window already.</source>
        <translation>%1 jest już otwarty w jednym z okien.</translation>
    </message>
</context>
<context>
    <name>SerialPort</name>
    <message>
        <source>%1 is not a network address of the form tcp://host:port</source>
        <translation>%1 nie jest adresem sieciowym w postaci tcp://host:port</translation>
    </message>
</context>
<context>
    <name>ShiftRestorer</name>
    <message>
        <source>The window of %1 is open again, but recording stays off: the file
%2
could not be opened (%3).</source>
        <translation>Okno %1 jest znów otwarte, ale zapis pozostaje wyłączony: pliku
%2
nie można otworzyć (%3).</translation>
    </message>
    <message>
        <source>The shift could not be saved in
%1
(%2).
It is kept until the program ends; should the program end now, the next start cannot reopen the ports as they are.</source>
        <translation>Nie udało się zapisać zmiany roboczej w pliku
%1
(%2).
Jest zachowana do końca działania programu; jeśli program zakończy się teraz, przy następnym starcie nie otworzy portów w obecnym stanie.</translation>
    </message>
    <message>
        <source>not a network address of the form tcp://host:port</source>
        <translation>to nie jest adres sieciowy w postaci tcp://host:port</translation>
    </message>
    <message>
        <source>Reopen the last ports at start without asking</source>
        <translation>Przy starcie otwieraj ostatnie porty bez pytania</translation>
    </message>
    <message>
        <source>At start, open the ports that were open when the program last ended, as they were, without asking first</source>
        <translation>Przy starcie otwieraj bez pytania porty otwarte przy ostatnim zakończeniu programu, w takim stanie, w jakim były</translation>
    </message>
    <message>
        <source>Resume the shift</source>
        <translation>Wznowienie zmiany roboczej</translation>
    </message>
    <message>
        <source>These ports were open when the program last ended:
%1
Open them again as they were (kind of scale, interval, record file, Go and Record)?</source>
        <translation>Przy ostatnim zakończeniu programu były otwarte te porty:
%1
Otworzyć je ponownie tak, jak były (rodzaj wagi, interwał, plik zapisu, Krocz i Zapisuj)?</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>not connected (the system has no such port)</source>
        <translation>niepodłączony (w systemie nie ma takiego portu)</translation>
    </message>
    <message>
        <source>not offered as a serial port any more</source>
        <translation>nie jest już dostępny jako port szeregowy</translation>
    </message>
    <message>
        <source>These ports of the last shift were not opened again and are dropped from it:
%1</source>
        <translation>Tych portów z ostatniej zmiany roboczej nie otwarto ponownie i usunięto je z niej:
%1</translation>
    </message>
    <message>
        <source>Shift</source>
        <translation>Zmiana robocza</translation>
    </message>
</context>
<context>
    <name>ShiftStore</name>
    <message>
        <source>it cannot be written</source>
        <translation>nie można go zapisać</translation>
    </message>
</context>
<context>
    <name>TrafficView</name>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopiuj</translation>
    </message>
    <message>
        <source>Select &amp;all</source>
        <translation>Zaznacz &amp;wszystko</translation>
    </message>
</context>
<context>
    <name>WeightLimits</name>
    <message>
        <source>UNDER</source>
        <translation>ZA MAŁO</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>OVER</source>
        <translation>ZA DUŻO</translation>
    </message>
    <message>
        <source>limits are in %1</source>
        <translation>limity są w %1</translation>
    </message>
</context>
<context>
    <name>WritableFile</name>
    <message>
        <source>it is a symbolic link, and the program writes through none</source>
        <translation>to dowiązanie symboliczne, a program nie zapisuje przez dowiązania</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>to folder</translation>
    </message>
    <message>
        <source>it is a device, a pipe or a socket, not a regular file</source>
        <translation>to urządzenie, potok lub gniazdo, a nie zwykły plik</translation>
    </message>
    <message>
        <source>its folder %1 is a symbolic link, and the program writes through none</source>
        <translation>jego folder %1 to dowiązanie symboliczne, a program nie zapisuje przez dowiązania</translation>
    </message>
    <message>
        <source>its folder %1 is not a folder</source>
        <translation>jego folder %1 nie jest folderem</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Reads up to four weighing scales over serial lines, shows and plots their readings and records them to files.</source>
        <translation>Odczytuje do czterech wag przez łącza szeregowe, pokazuje ich odczyty na wyświetlaczu i wykresie oraz zapisuje je do plików.</translation>
    </message>
    <message>
        <source>Adds four simulated scales of different kinds to the ports on offer. Nothing is stored: neither the shift nor port settings.</source>
        <translation>Dodaje do listy portów cztery symulowane wagi różnych rodzajów. Nic nie jest zapamiętywane: ani zmiana robocza, ani ustawienia portów.</translation>
    </message>
    <message>
        <source>Starts with no port open and forgets the shift of the last run.</source>
        <translation>Uruchamia program bez otwartych portów i zapomina zmianę roboczą z poprzedniego uruchomienia.</translation>
    </message>
    <message>
        <source>Displays help on commandline options.</source>
        <translation>Wyświetla pomoc dotyczącą opcji wiersza poleceń.</translation>
    </message>
    <message>
        <source>Displays version information.</source>
        <translation>Wyświetla numer wersji.</translation>
    </message>
    <message>
        <source>See %1 for the options.</source>
        <translation>Listę opcji wyświetla %1.</translation>
    </message>
</context>
</TS>
