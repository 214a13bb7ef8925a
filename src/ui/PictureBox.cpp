#include "ui/PictureBox.h"

#include <QPainter>

namespace vellumi {

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent)
    , m_backColor(palette().color(QPalette::Button))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setPicture(const QImage& picture)
{
    m_picture = picture.convertToFormat(QImage::Format_RGB32);
    m_stale = true;
    update();
}

void PictureBox::setBackColor(const QColor& colour)
{
    m_backColor = colour;
    m_stale = true;
    update();
}

// Rebuilt lazily, because a hidden box is resized without receiving resize events.
QImage& PictureBox::surface()
{
    const QSize interior(scaleWidth(), scaleHeight());
    if (m_stale || m_surface.size() != interior) {
        m_surface = QImage(interior, QImage::Format_RGB32);
        m_surface.fill(m_backColor);
        QPainter painter(&m_surface);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, m_picture);
        m_stale = false;
    }
    return m_surface;
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(borderWidth, borderWidth, surface());
    // A two-pixel sunken edge: dark outside top and left, light inside bottom and right.
    const QRect r = rect();
    const QPalette& pal = palette();
    painter.setPen(pal.color(QPalette::Dark));
    painter.drawLine(r.left(), r.top(), r.right() - 1, r.top());
    painter.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
    painter.setPen(pal.color(QPalette::Shadow));
    painter.drawLine(r.left() + 1, r.top() + 1, r.right() - 2, r.top() + 1);
    painter.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 2);
    painter.setPen(pal.color(QPalette::Light));
    painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
    painter.setPen(pal.color(QPalette::Midlight));
    painter.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
    painter.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
}

} // namespace vellumi
