#include "RasterTarget.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>

#include <cmath>

RasterTarget::RasterTarget(QPainter *painter)
{
    QPaintEngine *engine = painter->paintEngine();
    // A widget's painter is redirected into its window's backing store: the
    // engine's device is that image.
    QPaintDevice *device = engine ? engine->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image || engine->type() != QPaintEngine::Raster)
        return;
    auto *image = static_cast<QImage *>(device);
    const QImage::Format format = image->format();
    // A shared image would be copied by the first write, away from the painter.
    if ((format != QImage::Format_RGB32 && format != QImage::Format_ARGB32
         && format != QImage::Format_ARGB32_Premultiplied)
        || !image->isDetached() || image->devicePixelRatioF() != 1.0
        || painter->compositionMode() != QPainter::CompositionMode_SourceOver
        || painter->opacity() != 1.0)
        return;
    const QTransform transform = painter->deviceTransform();
    if (transform.type() > QTransform::TxTranslate || transform.dx() != std::trunc(transform.dx())
        || transform.dy() != std::trunc(transform.dy()))
        return;
    const QPoint offset(int(transform.dx()), int(transform.dy()));
    QRegion allowedHere(image->rect());
    const QRegion system = engine->systemClip();
    if (!system.isEmpty())
        allowedHere &= system;
    if (painter->hasClipping()) {
        // A rectangle of whole pixels only: the painter blends the edges of
        // any other clip.
        const QRegion clip = painter->clipRegion();
        if (clip.rectCount() > 1 || QRectF(clip.boundingRect()) != painter->clipBoundingRect())
            return;
        allowedHere &= clip.translated(offset);
    }
    target = image;
    shift = offset;
    allowed = allowedHere;
}
