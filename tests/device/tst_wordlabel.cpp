#include <QtTest>
#include <QtWidgets>
#include "WordLabel.h"

// A line of figures rewritten at every reading, drawn from an image of each
// character straight into the window's pixels: what the window shows after
// a run of texts is what a fresh paint of the last one shows, the text is
// there and as wide as the font makes it, in the palette's colours, and
// nothing is written over a widget above it.
class tst_WordLabel : public QObject
{
    Q_OBJECT

    QWidget *window = nullptr;
    WordLabel *label = nullptr;

    // The label's pixels as the window shows them.
    QImage shown() const
    {
        const QImage all = window->screen()->grabWindow(window->winId()).toImage();
        return all.copy(QRect(label->mapTo(window, QPoint()), label->size())).convertToFormat(QImage::Format_RGB32);
    }
    QImage painted() const { return label->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // The columns holding a pixel not of the background, as first..last; -1..-1 for none.
    static QPair<int, int> inkColumns(const QImage &image, QRgb background)
    {
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (image.pixel(x, y) != background) {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
        return {first, last};
    }

    void showTexts(const QStringList &texts)
    {
        for (const QString &text : texts) {
            label->setText(text);
            QCoreApplication::processEvents(); // each text painted before the next
        }
    }

private slots:
    void init()
    {
        window = new QWidget;
        window->resize(700, 80);
        label = new WordLabel(window);
        label->setGeometry(10, 10, 680, 60);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    void cleanup() { delete window; }

    void repaintsAreAFreshPaint_data()
    {
        QTest::addColumn<bool>("italic");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("italic letters that lean over their neighbours")
            << true << QStringList{"Mean: 10.168 g ffff", "fff jjj Mean: 10.168 g f", "ff jj f"};
        QTest::newRow("figures change in place")
            << false << QStringList{"Count: 7   Mean: 10.168 g   SD: 0.003 g", "Count: 8   Mean: 10.170 g   SD: 0.003 g",
                           "Count: 9   Mean: 10.201 g   SD: 0.015 g"};
        QTest::newRow("words move, shrink and go")
            << false << QStringList{"Count: 9   Mean: 10.168 g   SD: 0.003 g   Min: 10.1 g", "Count: 10   Mean: 10.1 g",
                           "Count: 100", "Count: 1000000   Max: 12.4 g"};
        QTest::newRow("Polish letters and units")
            << false << QStringList{"Liczba: 38   Średnia: 12,3548 kg   Odch. std.: 0,0130 kg",
                           "Liczba: 39   Średnia: 12,3 µg   Maks: 12,387 kg"};
        QTest::newRow("a character no image is made of")
            << false << QStringList{"Mean → 10.168 g", "Mean 10.168 g   ≈ 10 g", "Mean 10.170 g"};
        QTest::newRow("emptied") << false << QStringList{"Count: 7   Mean: 10.168 g", ""};
    }
    void repaintsAreAFreshPaint()
    {
        QFETCH(bool, italic);
        QFETCH(QStringList, texts);
        QFont font = label->font();
        if (italic) {
            font.setItalic(true);
            font.setPointSize(28); // its glyphs reach a few pixels past their advances
        }
        label->setFont(font);
        showTexts(texts);
        QTRY_COMPARE(shown(), painted());

        // The text is there, reaching as far each way as the painter draws it.
        const QRgb background = label->palette().color(QPalette::Window).rgb();
        QImage drawn(label->size(), QImage::Format_RGB32);
        drawn.setDotsPerMeterX(qRound(label->logicalDpiX() / 0.0254)); // the screen's, not the test's 96
        drawn.setDotsPerMeterY(qRound(label->logicalDpiY() / 0.0254));
        drawn.fill(background);
        QPainter painter(&drawn);
        painter.setFont(font);
        painter.setPen(label->palette().color(QPalette::WindowText));
        painter.drawText(QPoint(0, 40), texts.last());
        painter.end();
        const QPair<int, int> ink = inkColumns(painted(), background), expected = inkColumns(drawn, background);
        QVERIFY2(qAbs(ink.first - expected.first) <= 1 && qAbs(ink.second - expected.second) <= 1,
                 qPrintable(QStringLiteral("%1..%2 against %3..%4")
                                .arg(ink.first).arg(ink.second).arg(expected.first).arg(expected.second)));
    }

    // Figures that lose digits keep the room they had, so the windows around are not laid out again at each
    // reading; the texts of another language get their own.
    void asksForTheRoomOfItsWidestText()
    {
        const QFontMetrics metrics(label->font());
        const QString wide = QStringLiteral("Count: 1000   Mean: 10.1685 g"), narrow = QStringLiteral("Count: 1   Mean: 9 g");
        showTexts({wide, narrow});
        QVERIFY(qAbs(label->sizeHint().width() - metrics.horizontalAdvance(wide)) <= 1);
        QEvent languageChange(QEvent::LanguageChange);
        QCoreApplication::sendEvent(label, &languageChange);
        QVERIFY(qAbs(label->sizeHint().width() - metrics.horizontalAdvance(narrow)) <= 1);
    }

    // A widget above the line, over part of its words: a new text leaves its pixels as they are.
    void aWidgetAboveKeepsItsPixels()
    {
        auto *above = new QWidget(window);
        above->setAutoFillBackground(true);
        QPalette red;
        red.setColor(QPalette::Window, Qt::red);
        above->setPalette(red);
        above->setGeometry(40, 25, 60, 30); // across the figures of the count and the mean
        above->show();
        above->raise();
        showTexts({"Count: 7   Mean: 10.168 g", "Count: 88888   Mean: 88.888 g"});
        const QImage all = window->screen()->grabWindow(window->winId()).toImage().convertToFormat(QImage::Format_RGB32);
        for (int y = 25; y < 55; ++y)
            for (int x = 40; x < 100; ++x)
                QCOMPARE(QColor(all.pixel(x, y)), QColor(Qt::red));
    }

    // Light text on a dark palette, and dark again when the palette changes back.
    void takesThePalettesColours()
    {
        const QString text = QStringLiteral("Count: 7   Mean: 10.168 g");
        for (const bool dark : {true, false}) {
            QPalette palette;
            if (dark) {
                palette.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
                palette.setColor(QPalette::WindowText, QColor(0xf0, 0xf0, 0xf0));
            }
            label->setPalette(palette);
            showTexts({text, text + " "});
            QTRY_COMPARE(shown(), painted());
            int lightest = 0, darkest = 255;
            const QImage image = painted();
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    lightest = qMax(lightest, qGray(image.pixel(x, y)));
                    darkest = qMin(darkest, qGray(image.pixel(x, y)));
                }
            if (dark)
                QVERIFY2(lightest > 200 && darkest == 0x20, qPrintable(QString("%1 %2").arg(lightest).arg(darkest)));
            else
                QVERIFY2(darkest < 80 && lightest > 200, qPrintable(QString("%1 %2").arg(lightest).arg(darkest)));
        }
    }
};

QTEST_MAIN(tst_WordLabel)
#include "tst_wordlabel.moc"
