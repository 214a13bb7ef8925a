#include "ui/DeviceGrid.h"

#include <algorithm>
#include <cmath>

namespace vellumi {

namespace {

int rounded(double value)
{
    return static_cast<int>(std::lround(value));
}

} // namespace

DeviceGrid::Axis::Axis(double factor, std::vector<int> lines)
    : factor(factor)
{
    std::sort(lines.begin(), lines.end());
    const int last = lines.empty() ? 0 : std::max(0, lines.back() + 1);
    const int thickness = lineWidth(factor);
    edges.assign(static_cast<std::size_t>(last) + 1, 0);
    int stretchStart = 0; // the design pixel where the current stretch between lines began
    for (int p = 0; p < last; ++p) {
        const auto at = static_cast<std::size_t>(p);
        if (std::binary_search(lines.begin(), lines.end(), p)) {
            edges[at + 1] = edges[at] + thickness;
            stretchStart = p + 1;
        } else {
            const auto start = static_cast<std::size_t>(stretchStart);
            edges[at + 1] = edges[start] + rounded((p + 1 - stretchStart) * factor);
        }
    }
}

int DeviceGrid::Axis::at(int designPixel) const
{
    // Beyond the lines on either side, the plain scale from the nearest edge.
    const int within = std::clamp(designPixel, 0, static_cast<int>(edges.size()) - 1);
    return edges[static_cast<std::size_t>(within)] + rounded((designPixel - within) * factor);
}

DeviceGrid::DeviceGrid(double factor, std::vector<int> linesAcross, std::vector<int> linesDown)
    : scale(factor)
    , across(factor, std::move(linesAcross))
    , down(factor, std::move(linesDown))
{
}

QSize DeviceGrid::pictureSize(double factor)
{
    return {rounded(480 * factor), rounded(360 * factor)};
}

int DeviceGrid::lineWidth(double factor)
{
    return std::max(1, rounded(factor));
}

QRect DeviceGrid::rect(const QRect& design) const
{
    return QRect(QPoint(x(design.left()), y(design.top())),
                 QPoint(x(design.right() + 1) - 1, y(design.bottom() + 1) - 1));
}

} // namespace vellumi
