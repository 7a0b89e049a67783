// Export time per format: a device plot with a full window of readings
// written through the program's export at the size and resolution the
// document window uses, several times per format; prints the median and the
// size of the file.
//
//   bench_export [runs=9]

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cmath>

#include "PlotExport.h"
#include "RandomPlot.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    qSetMessagePattern(QStringLiteral("%{if-warning}%{message}%{endif}"));
    const int runs = app.arguments().value(1, QStringLiteral("9")).toInt();

    RandomPlot plot;
    plot.resize(780, 520);
    for (int i = 0; i < RandomPlot::WindowSize; ++i)
        plot.appendMyPoint(i, 12.0 + std::sin(i * 0.05) + (i % 7) * 0.01);
    plot.show();
    QApplication::processEvents();

    QTemporaryDir dir;
    QTextStream out(stdout);
    out << "export of a full plot (" << RandomPlot::WindowSize << " points), 300 x 200 mm at 85 dpi, median of "
        << runs << "\n";
    for (const QString &format : {QStringLiteral("pdf"), QStringLiteral("svg"), QStringLiteral("ps"),
                                  QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("bmp")}) {
        std::vector<double> ms;
        const QString fileName = dir.filePath(QStringLiteral("plot.") + format);
        for (int i = 0; i < runs; ++i) {
            PlotExport exporter(QSizeF(300, 200), 85);
            QElapsedTimer clock;
            clock.start();
            if (exporter.write(&plot, fileName) != PlotExport::Written) {
                out << format << ": " << exporter.errorString() << "\n";
                break;
            }
            ms.push_back(clock.nsecsElapsed() / 1e6);
        }
        if (ms.empty())
            continue;
        std::sort(ms.begin(), ms.end());
        out << qSetFieldWidth(5) << format << qSetFieldWidth(0) << " " << ms[ms.size() / 2]
            << " ms, " << QFileInfo(fileName).size() / 1024 << " KiB\n";
    }
    return 0;
}
