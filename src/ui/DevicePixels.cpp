#include "ui/DevicePixels.h"

#include <QPainter>
#include <QWidget>

#include <cmath>

namespace vellumi::devicePixels {

namespace {

// The device pixel a logical position falls in: a pixel belongs to whatever covers its centre,
// as Qt's raster painting decides it.
int snapped(double devicePosition)
{
    return static_cast<int>(std::ceil(devicePosition - 0.5));
}

// Quotients such as 15 / 1.25 come out a hair off a whole number.
constexpr double slack = 1e-6;

} // namespace

void paintOnForm(QPainter& painter, const QWidget& widget, const QWidget& form)
{
    const QTransform toDevice = painter.deviceTransform();
    const QPointF formOrigin = toDevice.map(QPointF(-widget.mapTo(&form, QPoint())));
    const QTransform onForm =
        QTransform::fromTranslate(snapped(formOrigin.x()), snapped(formOrigin.y())) * toDevice.inverted();
    painter.setWorldTransform(onForm);
}

QRect covering(const QRect& deviceRect, const QWidget& form)
{
    const double r = ratio(form);
    const QPoint formAt = form.mapTo(form.window(), QPoint());
    const int originX = snapped(formAt.x() * r), originY = snapped(formAt.y() * r);
    const auto start = [r](int device, int origin, int formLogical) {
        return static_cast<int>(std::floor((device + origin) / r + slack)) - formLogical;
    };
    const auto end = [r](int device, int origin, int formLogical) {
        return static_cast<int>(std::ceil((device + origin) / r - slack)) - formLogical;
    };
    const int left = start(deviceRect.left(), originX, formAt.x());
    const int top = start(deviceRect.top(), originY, formAt.y());
    return QRect(left, top, end(deviceRect.left() + deviceRect.width(), originX, formAt.x()) - left,
                 end(deviceRect.top() + deviceRect.height(), originY, formAt.y()) - top);
}

double ratio(const QWidget& form)
{
    return form.devicePixelRatioF();
}

} // namespace vellumi::devicePixels
