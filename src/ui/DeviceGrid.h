#pragma once

#include <QRect>
#include <QSize>

#include <vector>

namespace vellumi {

// Where the design's pixels land on the screen's own pixels at a scale factor: the zoom times
// the screen's device pixel ratio. The one place where positions are snapped. Each one-pixel
// line of the design stays line() whole device pixels thick, and each stretch between lines
// scales by the factor from its own start, rounded; so a picture spans exactly its size times
// the factor, a line keeps touching what it touched, and a separator is never doubled or lost.
// At the factor 1 every pixel stays where it is.
class DeviceGrid {
public:
    // The design pixels across and down that lines or borders fill.
    DeviceGrid(double factor, std::vector<int> linesAcross, std::vector<int> linesDown);

    // The design's 480 × 360 picture, in device pixels.
    static QSize pictureSize(double factor);
    // How many device pixels a one-pixel line of the design is at the factor.
    static int lineWidth(double factor);

    double factor() const { return scale; }
    int line() const { return lineWidth(scale); }
    // Where a design pixel's edge lies: the first device pixel of what starts there.
    int x(int designPixel) const { return across.at(designPixel); }
    int y(int designPixel) const { return down.at(designPixel); }
    // A rectangle of design pixels, edge by edge.
    QRect rect(const QRect& design) const;

private:
    class Axis {
    public:
        Axis(double factor, std::vector<int> lines);
        int at(int designPixel) const;

    private:
        double factor;
        std::vector<int> edges; // of design pixels 0, 1, 2 … as far as the last line and one more
    };

    double scale;
    Axis across;
    Axis down;
};

} // namespace vellumi
