#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cmath>

// The window is designed in twips, 15 to a pixel at 96 dots per inch. Design constants stay in
// twips so they can be checked against the design; this is the one place they become pixels.
namespace vellumi::twips {

constexpr int perPixel = 15;

inline int toPixels(double twips)
{
    return static_cast<int>(std::lround(twips / perPixel));
}

inline QPoint point(double left, double top)
{
    return {toPixels(left), toPixels(top)};
}
inline QSize size(double width, double height)
{
    return {toPixels(width), toPixels(height)};
}
inline QRect rect(double left, double top, double width, double height)
{
    return {point(left, top), size(width, height)};
}

} // namespace vellumi::twips
