#include "ui/ImageControl.h"

#include <QMouseEvent>

namespace vellumi {

ImageControl::ImageControl(QWidget* parent, bool bordered)
    : QLabel(parent)
{
    if (bordered) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    }
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void ImageControl::setPicture(const QImage& picture)
{
    m_picture = picture;
    setPixmap(QPixmap::fromImage(picture));
    const int frame = frameWidth();
    setFixedSize(picture.size() + QSize(2 * frame, 2 * frame));
}

void ImageControl::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->button());
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseUp(event->button());
}

} // namespace vellumi
