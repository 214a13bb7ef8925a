#include "ui/ImageControl.h"

#include "ui/DeviceGrid.h"
#include "ui/DevicePixels.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>

#include <cmath>
#include <mutex>

namespace vellumi {

namespace {

// To a screen reader every image control is a button it can press: the picture buttons and
// the tiles alike.
class ImageControlAccessible : public QAccessibleWidget {
public:
    explicit ImageControlAccessible(ImageControl* control)
        : QAccessibleWidget(control, QAccessible::Button)
    {
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && widget()->isEnabled() && widget()->isVisible())
            static_cast<ImageControl*>(widget())->click();
    }
};

QAccessibleInterface* accessibleImageControl(const QString& className, QObject* object)
{
    if (className != QLatin1String(ImageControl::staticMetaObject.className()) || !object->isWidgetType())
        return nullptr;
    return new ImageControlAccessible(static_cast<ImageControl*>(object));
}

} // namespace

ImageControl::ImageControl(QWidget* form, bool bordered)
    : QWidget(form)
    , bordered(bordered)
{
    static std::once_flag factoryInstalled;
    std::call_once(factoryInstalled, [] { QAccessible::installFactory(accessibleImageControl); });
}

int ImageControl::borderWidth() const
{
    return bordered ? DeviceGrid::lineWidth(factor) : 0;
}

void ImageControl::setScale(double factor)
{
    this->factor = factor;
    place(QRect(placed.topLeft(), pictureShown.size() + QSize(2 * borderWidth(), 2 * borderWidth())));
}

void ImageControl::moveOnDevice(QPoint topLeft)
{
    // Tiles stay put during a game; a move that changes nothing still costs a repaint.
    if (topLeft != placed.topLeft())
        place(QRect(topLeft, placed.size()));
}

void ImageControl::place(const QRect& rect)
{
    placed = rect;
    setGeometry(devicePixels::covering(rect, *parentWidget()));
    update();
}

void ImageControl::setPicture(const QImage& picture)
{
    // The board is brought into line after every move; only tiles whose picture changed repaint.
    if (picture.cacheKey() == pictureShown.cacheKey())
        return;
    pictureShown = picture;
    place(QRect(placed.topLeft(), picture.size() + QSize(2 * borderWidth(), 2 * borderWidth())));
}

void ImageControl::setCaption(const QString& caption)
{
    if (caption == captionShown)
        return;
    captionShown = caption;
    update();
}

void ImageControl::click()
{
    emit mouseDown(Qt::LeftButton);
    emit mouseUp(Qt::LeftButton);
}

void ImageControl::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->button());
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseUp(event->button());
}

// Drawn at the form's scale in device pixels, so the number is as sharp as the picture.
void ImageControl::paintCaption(QPainter& painter)
{
    QFont font = this->font();
    font.setPixelSize(static_cast<int>(std::lround(13 * factor)));
    font.setBold(true);
    QPainterPath text;
    const int inside = borderWidth();
    text.addText(QPointF(inside + 3 * factor, inside + 3 * factor + QFontMetricsF(font).ascent()), font, captionShown);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(text, QPen(QColor(0, 0, 0, 190), 2.5 * factor, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(text, Qt::white);
}

void ImageControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    devicePixels::paintOnForm(painter, *this, *parentWidget());
    painter.translate(placed.topLeft());
    const int border = borderWidth();
    if (border > 0) {
        const QColor colour = palette().color(QPalette::WindowText);
        const int w = placed.width(), h = placed.height();
        painter.fillRect(0, 0, w, border, colour);
        painter.fillRect(0, h - border, w, border, colour);
        painter.fillRect(0, border, border, h - 2 * border, colour);
        painter.fillRect(w - border, border, border, h - 2 * border, colour);
    }
    if (!testAttribute(Qt::WA_ForceDisabled)) {
        painter.drawImage(border, border, pictureShown);
        if (!captionShown.isEmpty())
            paintCaption(painter);
        return;
    }
    QStyleOption option;
    option.initFrom(this);
    painter.drawPixmap(border, border,
                       style()->generatedIconPixmap(QIcon::Disabled, QPixmap::fromImage(pictureShown), &option));
}

} // namespace vellumi
