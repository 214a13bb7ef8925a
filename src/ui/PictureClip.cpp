#include "ui/PictureClip.h"

namespace vellumi {

void PictureClip::setPicture(const QImage& picture)
{
    whole = picture.convertToFormat(QImage::Format_RGB32);
}

// A window onto the whole picture's pixels rather than a copy: at a high zoom the cells of one
// picture are tens of megabytes. Each cell holds the picture it was cut from, so it stays valid
// after the clip has moved on to another.
QImage PictureClip::cell(int i) const
{
    Q_ASSERT(i >= 0 && i < rows * cols);
    const QSize size = cellSize();
    if (size.isEmpty())
        return {};
    auto* source = new QImage(whole);
    const uchar* corner = source->constScanLine(i / cols * size.height()) + i % cols * size.width() * sizeof(QRgb);
    return QImage(
        corner, size.width(), size.height(), source->bytesPerLine(), source->format(),
        [](void* picture) { delete static_cast<QImage*>(picture); }, source);
}

} // namespace vellumi
