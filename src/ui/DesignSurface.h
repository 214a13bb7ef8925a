#pragma once

#include "ui/Appearance.h"

#include <QWidget>

namespace vellumi {

// The main window's own surface: its background and the etched lines and frame of the design.
// Presses on it are left unhandled so that they reach the window.
class DesignSurface : public QWidget {
    Q_OBJECT
public:
    struct Line {
        int x1, y1, x2, y2; // twips
        SystemColour colour;
    };
    static const Line lines[8];

    explicit DesignSurface(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vellumi
