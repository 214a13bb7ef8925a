#include "ui/PictureBox.h"

#include <QPainter>

namespace vellumi {

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent)
    , backColour(palette().color(QPalette::Button))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setPicture(const QImage& picture)
{
    pictureShown = picture.convertToFormat(QImage::Format_RGB32);
    stale = true;
    update();
}

void PictureBox::setBackColor(const QColor& colour)
{
    backColour = colour;
    stale = true;
    update();
}

// Rebuilt lazily, because a hidden box is resized without receiving resize events.
QImage& PictureBox::surface()
{
    const QSize interior(scaleWidth(), scaleHeight());
    if (stale || pixels.size() != interior) {
        pixels = QImage(interior, QImage::Format_RGB32);
        pixels.fill(backColour);
        QPainter painter(&pixels);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, pictureShown);
        stale = false;
    }
    return pixels;
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(borderWidth, borderWidth, surface());
    // A two-pixel sunken edge: dark outside top and left, light inside bottom and right. Drawn
    // as filled one-pixel rectangles, not lines: a pen is centred on the pixel's edge, which at a
    // scale factor of 2 puts every line half a pixel up and left, over the picture's last column
    // and row, and leaves a strip of the box unpainted.
    const QRect r = rect();
    const QPalette& pal = palette();
    const auto edge = [&painter](int x1, int y1, int x2, int y2, const QColor& colour) {
        painter.fillRect(QRect(QPoint(x1, y1), QPoint(x2, y2)), colour);
    };
    edge(r.left(), r.top(), r.right() - 1, r.top(), pal.color(QPalette::Dark));
    edge(r.left(), r.top(), r.left(), r.bottom() - 1, pal.color(QPalette::Dark));
    edge(r.left() + 1, r.top() + 1, r.right() - 2, r.top() + 1, pal.color(QPalette::Shadow));
    edge(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 2, pal.color(QPalette::Shadow));
    edge(r.left(), r.bottom(), r.right(), r.bottom(), pal.color(QPalette::Light));
    edge(r.right(), r.top(), r.right(), r.bottom(), pal.color(QPalette::Light));
    edge(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1, pal.color(QPalette::Midlight));
    edge(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1, pal.color(QPalette::Midlight));
}

} // namespace vellumi
