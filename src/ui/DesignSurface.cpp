#include "ui/DesignSurface.h"

#include "ui/DevicePixels.h"
#include "ui/Twips.h"

#include <QPainter>

namespace vellumi {

const DesignSurface::Line DesignSurface::lines[8] = {
    {0, 0, 7500, 0, SystemColour::InactiveCaption},        // Line1(0)
    {0, 15, 7500, 15, SystemColour::Window},               // Line2(0)
    {105, 165, 7400, 165, SystemColour::WindowFrame},      // Line3(2)
    {105, 165, 105, 5640, SystemColour::WindowFrame},      // Line3(0)
    {7380, 180, 7380, 5655, SystemColour::Window},         // Line3(1)
    {105, 5655, 7385, 5655, SystemColour::Window},         // Line3(3)
    {60, 5760, 7440, 5760, SystemColour::InactiveCaption}, // Line1(1)
    {60, 5775, 7440, 5775, SystemColour::Window},          // Line2(4)
};

DesignSurface::DesignSurface(QWidget* parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, systemColour(SystemColour::Menu));
    // A disabled window or control of the design looks just as an enabled one does: the
    // controls on this surface keep their colours whatever their state.
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = static_cast<QPalette::ColorRole>(role);
        pal.setColor(QPalette::Disabled, r, pal.color(QPalette::Active, r));
    }
    setPalette(pal);
}

namespace {

// One pixel wide; like the design's line controls, the end point itself is not drawn.
QRect pixelsOf(const DesignSurface::Line& line)
{
    const QPoint from = twips::point(line.x1, line.y1);
    const QPoint to = twips::point(line.x2, line.y2);
    return line.y1 == line.y2 ? QRect(from.x(), from.y(), to.x() - from.x(), 1)
                              : QRect(from.x(), from.y(), 1, to.y() - from.y());
}

} // namespace

void DesignSurface::setGrid(double factor, const std::vector<QRect>& framedBoxes)
{
    std::vector<int> across, down;
    for (const Line& line : lines)
        line.y1 == line.y2 ? down.push_back(pixelsOf(line).top()) : across.push_back(pixelsOf(line).left());
    for (const QRect& twipsBox : framedBoxes) {
        const QRect box = twips::rect(twipsBox.x(), twipsBox.y(), twipsBox.width(), twipsBox.height());
        across.insert(across.end(), {box.left(), box.left() + 1, box.right() - 1, box.right()});
        down.insert(down.end(), {box.top(), box.top() + 1, box.bottom() - 1, box.bottom()});
    }
    deviceGrid = DeviceGrid(factor, std::move(across), std::move(down));
    update();
}

void DesignSurface::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    devicePixels::paintOnForm(painter, *this, *this);
    for (const Line& line : lines)
        painter.fillRect(deviceGrid.rect(pixelsOf(line)), systemColour(line.colour));
}

} // namespace vellumi
