#pragma once

#include "effects/PictureSurface.h"

#include <QImage>
#include <QWidget>

namespace vellumi {

// A picture box of the design: a sunken 2-pixel border around an interior that shows its
// picture unscaled at the top-left. Its drawing surface (the interior's pixels) is what gets
// painted: drawing on the box means changing surface() and calling update(). Setting a picture
// or changing the size lays the picture afresh on the back colour, dropping earlier drawing.
class PictureBox : public QWidget, public PictureSurface {
    Q_OBJECT
public:
    static constexpr int borderWidth = 2;

    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return pictureShown; }

    void setBackColor(const QColor& colour);

    QSize outerSize() const override { return size(); }
    void setOuterSize(QSize size) override { resize(size); }
    void surfaceChanged() override { update(); }

    int scaleWidth() const { return width() - 2 * borderWidth; }
    int scaleHeight() const { return height() - 2 * borderWidth; }

    QImage& surface() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage pictureShown;
    QImage pixels;
    QColor backColour;
    bool stale = true;
};

} // namespace vellumi
