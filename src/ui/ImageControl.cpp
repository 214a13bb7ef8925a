#include "ui/ImageControl.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>

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

ImageControl::ImageControl(QWidget* parent, bool bordered)
    : QFrame(parent)
{
    static std::once_flag factoryInstalled;
    std::call_once(factoryInstalled, [] { QAccessible::installFactory(accessibleImageControl); });
    if (bordered) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    }
}

void ImageControl::setPicture(const QImage& picture)
{
    // The board is brought into line after every move; only tiles whose picture changed repaint.
    if (picture.cacheKey() == pictureShown.cacheKey())
        return;
    pictureShown = picture;
    update();
    const int frame = frameWidth();
    setFixedSize(picture.size() + QSize(2 * frame, 2 * frame));
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

void ImageControl::paintCaption(QPainter& painter)
{
    QFont font = this->font();
    font.setPixelSize(13);
    font.setBold(true);
    QPainterPath text;
    text.addText(contentsRect().topLeft() + QPointF(3, 3 + QFontMetricsF(font).ascent()), font, captionShown);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(text, QPen(QColor(0, 0, 0, 190), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(text, Qt::white);
}

void ImageControl::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    if (!testAttribute(Qt::WA_ForceDisabled)) {
        painter.drawImage(contentsRect().topLeft(), pictureShown);
        if (!captionShown.isEmpty())
            paintCaption(painter);
        return;
    }
    QStyleOption option;
    option.initFrom(this);
    painter.drawPixmap(contentsRect().topLeft(),
                       style()->generatedIconPixmap(QIcon::Disabled, QPixmap::fromImage(pictureShown), &option));
}

} // namespace vellumi
