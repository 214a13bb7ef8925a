#pragma once

#include <QImage>
#include <QSize>

namespace vellumi {

// What the effects need of a picture box: its outer size, which the fade lines up, and its
// interior pixels, which they draw on. Drawing means changing surface() and then calling
// surfaceChanged() so that a box on screen shows the new pixels.
class PictureSurface {
public:
    virtual ~PictureSurface() = default;

    virtual QSize outerSize() const = 0;
    virtual void setOuterSize(QSize size) = 0;
    virtual QImage& surface() = 0;
    virtual void surfaceChanged() = 0;
};

} // namespace vellumi
