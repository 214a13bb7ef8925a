#include "ui/DesignControls.h"

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

} // namespace vellumi::design
