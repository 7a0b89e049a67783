#ifndef RASTERTARGET_H
#define RASTERTARGET_H

#include <QPoint>
#include <QRegion>

class QImage;
class QPainter;

// The image a raster painter paints on, for code that writes its pixels
// itself: found only where such writes give the pixels the painter would
// (no scaling, whole-pixel translation, plain source-over, full opacity),
// with the translation from the painter's coordinates into the image and
// the pixels the painter may change (the image less the painter's clip and
// the widget's paint region).
class RasterTarget
{
public:
    explicit RasterTarget(QPainter *painter);

    bool isValid() const { return target != nullptr; }
    QImage *image() const { return target; }
    QPoint offset() const { return shift; }
    // In the image's pixels.
    const QRegion &clip() const { return allowed; }

private:
    QImage *target = nullptr;
    QPoint shift;
    QRegion allowed;
};

#endif // RASTERTARGET_H
