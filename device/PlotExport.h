#ifndef PLOTEXPORT_H
#define PLOTEXPORT_H

#include <QByteArray>
#include <QSizeF>
#include <QString>

#include <qwt_plot_renderer.h>

class QwtPlot;

// Writes a plot to a file whose suffix names the format: PDF, SVG and the
// image formats come from the plot renderer, PostScript from a rendered PDF
// that Poppler converts (Qwt built for Qt 5 writes no PostScript itself).
// The picture is rendered into a private temporary folder first and then
// saved over the chosen file, so that the renderer's silent failures are
// noticed and a failed export leaves an existing file as it was. Only a
// regular file, or a name under which nothing exists yet, is written to;
// never a link, not even one to a regular file.
class PlotExport
{
public:
    // NotAFile: the name is a folder, a device, a pipe or a socket; ALink: it
    // is a symbolic link. Either is left as it was.
    enum Result { Written, UnknownFormat, RenderFailed, WriteFailed, NotAFile, ALink };

    PlotExport(const QSizeF &sizeMM, int dotsPerInch);

    Result write(QwtPlot *plot, const QString &fileName);

    // Why the last write failed, in the system's words; empty otherwise.
    QString errorString() const { return error; }

    // Lower-case suffixes the export can write.
    static bool knowsFormat(const QString &suffix);

private:
    QByteArray render(QwtPlot *plot, const QString &format);
    QByteArray convertToPostScript(const QString &pdfName);

    QwtPlotRenderer renderer;
    QSizeF sizeMM;
    int dotsPerInch;
    QString error;
};

#endif // PLOTEXPORT_H
