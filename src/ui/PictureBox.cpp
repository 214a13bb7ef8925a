#include "ui/PictureBox.h"

#include "ui/DevicePixels.h"

#include <QPainter>

namespace vellumi {

PictureBox::PictureBox(QWidget* form)
    : QWidget(form)
    , backColour(palette().color(QPalette::Button))
{
}

void PictureBox::setDeviceGeometry(const QRect& rect, int line)
{
    placed = rect;
    this->line = line;
    setGeometry(devicePixels::covering(rect, *parentWidget()));
    update();
}

void PictureBox::setPicture(const QImage& picture)
{
    pictureShown = picture.convertToFormat(QImage::Format_RGB32);
    forgetDrawing();
}

void PictureBox::setBackColor(const QColor& colour)
{
    backColour = colour;
    forgetDrawing();
}

// Let go at once: at a high zoom a surface is tens of megabytes.
void PictureBox::forgetDrawing()
{
    pixels = QImage();
    stale = true;
    update();
}

// Rebuilt lazily, because a hidden box is resized without receiving resize events. A picture
// that fills the interior exactly is shared, not copied, until something draws on the box.
QImage& PictureBox::surface()
{
    const QSize interior(scaleWidth(), scaleHeight());
    if (!stale && pixels.size() == interior)
        return pixels;
    stale = false;
    if (pictureShown.size() == interior) {
        pixels = pictureShown;
    } else {
        pixels = QImage(interior, QImage::Format_RGB32);
        pixels.fill(backColour);
        QPainter painter(&pixels);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, pictureShown);
    }
    return pixels;
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    devicePixels::paintOnForm(painter, *this, *parentWidget());
    painter.translate(placed.topLeft());
    painter.drawImage(borderWidth(), borderWidth(), surface());
    // A sunken edge: dark outside top and left, light outside bottom and right, and a second
    // line within each. Filled rectangles of whole device pixels, never pens, which are centred
    // on pixel edges.
    const int w = placed.width(), h = placed.height(), t = line;
    const QPalette& pal = palette();
    painter.fillRect(0, 0, w - t, t, pal.color(QPalette::Dark));
    painter.fillRect(0, 0, t, h - t, pal.color(QPalette::Dark));
    painter.fillRect(t, t, w - 3 * t, t, pal.color(QPalette::Shadow));
    painter.fillRect(t, t, t, h - 3 * t, pal.color(QPalette::Shadow));
    painter.fillRect(0, h - t, w, t, pal.color(QPalette::Light));
    painter.fillRect(w - t, 0, t, h, pal.color(QPalette::Light));
    painter.fillRect(t, h - 2 * t, w - 2 * t, t, pal.color(QPalette::Midlight));
    painter.fillRect(w - 2 * t, t, t, h - 2 * t, pal.color(QPalette::Midlight));
}

} // namespace vellumi
