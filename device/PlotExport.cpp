#include "PlotExport.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QTemporaryDir>

#include <poppler-qt5.h>

#include <memory>

namespace {

constexpr double PointsPerMillimetre = 72.0 / 25.4;

} // namespace

PlotExport::PlotExport(const QSizeF &sizeMM, int dotsPerInch)
    : sizeMM(sizeMM)
    , dotsPerInch(dotsPerInch)
{
    // The document should look like the widget. Qwt 6.1 has no KeepFrames
    // flag any more: its default layout keeps the frames.
    renderer.setDiscardFlag(QwtPlotRenderer::DiscardBackground, false);
    renderer.setLayoutFlags(QwtPlotRenderer::DefaultLayout);
}

bool PlotExport::knowsFormat(const QString &suffix)
{
    return suffix == QLatin1String("pdf") || suffix == QLatin1String("svg")
           || suffix == QLatin1String("ps")
           || QImageWriter::supportedImageFormats().contains(suffix.toLatin1());
}

PlotExport::Result PlotExport::write(QwtPlot *plot, const QString &fileName)
{
    error.clear();
    const QString format = QFileInfo(fileName).suffix().toLower();
    if (!knowsFormat(format))
        return UnknownFormat;

    const QByteArray bytes = render(plot, format);
    if (bytes.isEmpty())
        return RenderFailed;

    // QSaveFile follows links and renames its copy over whatever they lead
    // to: a link's target, even a device node, would be replaced by a regular
    // file (run as root, that took /dev/full away). Checked after rendering,
    // as close to the write as it gets; a dangling link counts as a link.
    const QFileInfo target(fileName);
    if (target.isSymLink())
        return ALink;
    if (target.exists() && !target.isFile())
        return NotAFile;

    QSaveFile file(fileName);
    // A folder the operator may not create files in can still hold a file
    // they may overwrite.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = file.errorString();
        return WriteFailed;
    }
    return Written;
}

QByteArray PlotExport::render(QwtPlot *plot, const QString &format)
{
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        error = scratch.errorString();
        return QByteArray();
    }
    const bool postScript = format == QLatin1String("ps");
    const QString rendered = scratch.filePath(QStringLiteral("plot.")
                                              + (postScript ? QStringLiteral("pdf") : format));
    renderer.renderDocument(plot, rendered, sizeMM, dotsPerInch);
    if (postScript)
        return convertToPostScript(rendered);

    QFile file(rendered);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray PlotExport::convertToPostScript(const QString &pdfName)
{
    const std::unique_ptr<Poppler::Document> pdf(Poppler::Document::load(pdfName));
    if (!pdf || pdf->isLocked() || pdf->numPages() < 1)
        return QByteArray();
    const std::unique_ptr<Poppler::PSConverter> converter(pdf->psConverter());

    QBuffer out;
    out.open(QIODevice::WriteOnly);
    converter->setOutputDevice(&out);
    converter->setPageList({1});
    converter->setPaperWidth(qRound(sizeMM.width() * PointsPerMillimetre));
    converter->setPaperHeight(qRound(sizeMM.height() * PointsPerMillimetre));
    if (!converter->convert())
        return QByteArray();
    return out.data();
}
