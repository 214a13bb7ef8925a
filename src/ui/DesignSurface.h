#pragma once

#include "ui/Appearance.h"
#include "ui/DeviceGrid.h"

#include <QWidget>

namespace vellumi {

// The main window's own surface: its background and the etched lines and frame of the design,
// drawn on the grid of device pixels that everything on it shares. Presses on it are left
// unhandled so that they reach the window.
class DesignSurface : public QWidget {
    Q_OBJECT
public:
    struct Line {
        int x1, y1, x2, y2; // twips
        SystemColour colour;
    };
    static const Line lines[8];

    explicit DesignSurface(QWidget* parent = nullptr);

    const DeviceGrid& grid() const { return deviceGrid; }

protected:
    // The grid at a scale factor, its lines those of the surface and the borders of the given
    // boxes (in twips, each border two lines thick).
    void setGrid(double factor, const std::vector<QRect>& framedBoxes);
    void paintEvent(QPaintEvent* event) override;

private:
    DeviceGrid deviceGrid{1, {}, {}};
};

} // namespace vellumi
