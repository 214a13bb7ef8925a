#include "ui/Artwork.h"

#include <QPainter>

namespace vellumi::artwork {

namespace {

const QRgb ground = qRgb(192, 192, 192);
const QRgb ink = qRgb(0, 0, 0);
const QRgb shadow = qRgb(128, 128, 128);

QImage blank(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(ground);
    return image;
}

// Each shape is drawn twice: once offset in dark grey as its shadow, then in black on top.
template <typename Shape>
QImage shadowed(int width, int height, QPoint shadowOffset, Shape&& shape)
{
    QImage image = blank(width, height);
    shape([&](int x, int y) { image.setPixel(x + shadowOffset.x(), y + shadowOffset.y(), shadow); });
    shape([&](int x, int y) { image.setPixel(x, y, ink); });
    return image;
}

// A wedge with its tip at column tipX, widening by a pixel up and down per column;
// step +1 makes it point left, −1 right.
QImage wedge(int tipX, int step)
{
    return shadowed(12, 12, {0, 1}, [&](auto plot) {
        for (int h = 0; h < 4; ++h)
            for (int y = 5 - h; y <= 6 + h; ++y)
                plot(tipX + step * h, y);
    });
}

} // namespace

QImage difficultyButton()
{
    return shadowed(14, 12, {1, 1}, [](auto plot) {
        for (int row = 0; row < 5; ++row)
            for (int x = 2 + row; x <= 11 - row; ++x)
                plot(x, 3 + row);
    });
}

QImage previousButton()
{
    return wedge(4, +1);
}
QImage nextButton()
{
    return wedge(7, -1);
}

QImage windowIcon()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Outer to inner; each band has a darker rim on its outside edge for shading.
    const struct {
        QColor light, dark;
    } bands[] = {
        {QColor(255, 0, 0), QColor(128, 0, 0)},
        {QColor(255, 255, 0), QColor(128, 128, 0)},
        {QColor(0, 255, 0), QColor(0, 128, 0)},
        {QColor(0, 0, 255), QColor(0, 0, 128)},
    };
    const QPointF centre(16, 27);
    double radius = 15;
    for (const auto& band : bands) {
        painter.setPen(QPen(band.dark, 4, Qt::SolidLine, Qt::FlatCap));
        painter.drawArc(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 0, 180 * 16);
        painter.setPen(QPen(band.light, 2, Qt::SolidLine, Qt::FlatCap));
        painter.drawArc(QRectF(centre.x() - radius + 1, centre.y() - radius + 1, 2 * radius - 2, 2 * radius - 2), 0,
                        180 * 16);
        radius -= 3.5;
    }
    return image;
}

} // namespace vellumi::artwork
