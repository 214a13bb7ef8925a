#pragma once

#include "effects/PictureSurface.h"

#include <QImage>
#include <QWidget>

namespace vellumi {

// A picture box of the design: a sunken border, two lines thick, around an interior that shows
// its picture unscaled at the top-left. It lies on the form's device pixels (see DeviceGrid),
// so a picture of the interior's size shows pixel for pixel at any screen ratio. Its drawing
// surface (the interior's pixels) is what gets painted: drawing on the box means changing
// surface() and calling update(). Setting a picture or changing the size lays the picture
// afresh on the back colour, dropping earlier drawing.
class PictureBox : public QWidget, public PictureSurface {
    Q_OBJECT
public:
    // A child of the form, on whose device pixels it lies.
    explicit PictureBox(QWidget* form);

    // Where it lies among the form's device pixels, and how thick one line of its border is.
    void setDeviceGeometry(const QRect& rect, int line);
    const QRect& deviceGeometry() const { return placed; }
    int borderWidth() const { return 2 * line; }

    void setPicture(const QImage& picture);
    const QImage& picture() const { return pictureShown; }

    void setBackColor(const QColor& colour);
    // Drops what was drawn on the box and the memory it took; the picture shows again.
    void forgetDrawing();

    QSize outerSize() const override { return placed.size(); }
    void setOuterSize(QSize size) override { setDeviceGeometry(QRect(placed.topLeft(), size), line); }
    void surfaceChanged() override { update(); }

    int scaleWidth() const { return placed.width() - 2 * borderWidth(); }
    int scaleHeight() const { return placed.height() - 2 * borderWidth(); }

    QImage& surface() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage pictureShown;
    QImage pixels;
    QColor backColour;
    QRect placed;
    int line = 1;
    bool stale = true;
};

} // namespace vellumi
