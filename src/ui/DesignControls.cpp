#include "ui/DesignControls.h"

#include "ui/ImageControl.h"
#include "ui/PictureBox.h"
#include "ui/Twips.h"

#include <QLabel>

#include <algorithm>

namespace vellumi::design {

namespace {

template <typename Widget>
Widget* control(QWidget* parent, const char* name, double left, double top)
{
    auto* made = new Widget(parent);
    made->setObjectName(QLatin1String(name));
    made->move(twips::point(left, top));
    return made;
}

} // namespace

QString difficultyCaption(int gridSize)
{
    static const char* const levels[] = {"初级", "中级", "高级", "特级"};
    return QStringLiteral("难易度:") + QString::fromUtf8(levels[std::clamp(gridSize, 3, 6) - 3]);
}

QLabel* label(QWidget* parent, const char* name, double left, double top, const QString& text)
{
    auto* made = control<QLabel>(parent, name, left, top);
    made->setText(text);
    made->adjustSize();
    made->setAttribute(Qt::WA_NoMousePropagation);
    return made;
}

QLabel* fixedLabel(QWidget* parent, const char* name, double left, double top, double width, double height,
                   const QString& text)
{
    QLabel* made = label(parent, name, left, top, text);
    made->setFixedSize(twips::size(width, height));
    made->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return made;
}

PictureBox* pictureBox(QWidget* parent, const char* name, double left, double top, double width, double height)
{
    auto* box = control<PictureBox>(parent, name, left, top);
    box->resize(twips::size(width, height));
    return box;
}

ImageControl* pictureButton(QWidget* parent, const char* name, QPoint rest, QPoint pressed, const QImage& picture,
                            const QString& caption, const QString& keys, std::function<void()> action)
{
    auto* button = control<ImageControl>(parent, name, rest.x(), rest.y());
    button->setPicture(picture);
    button->setToolTip(QStringLiteral("%1（%2）").arg(caption, keys));
    button->setAccessibleName(caption);
    QObject::connect(button, &ImageControl::mouseDown, button, [button, pressed, action = std::move(action)] {
        button->move(twips::point(pressed.x(), pressed.y()));
        action();
    });
    QObject::connect(button, &ImageControl::mouseUp, button,
                     [button, rest] { button->move(twips::point(rest.x(), rest.y())); });
    return button;
}

} // namespace vellumi::design
