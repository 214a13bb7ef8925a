#include "effects/BitBrush.h"

#include <QtGlobal>

#include <algorithm>
#include <cstring>
#include <vector>

namespace vellumi {

bool BitBrush::setRow(int row, std::string_view text)
{
    if (row < 1 || row > 8)
        return false;
    std::uint8_t bits = 0;
    for (std::size_t j = 0; j < std::min<std::size_t>(text.size(), 8); ++j)
        if (text[j] == '1')
            bits |= static_cast<std::uint8_t>(1u << j);
    rowBits[static_cast<std::size_t>(row - 1)] = bits;
    return true;
}

void BitBrush::setColours(QRgb zero, QRgb one)
{
    colours = {zero, one};
}

void BitBrush::build()
{
    for (int y = 0; y < 8; ++y) {
        const std::uint8_t bits = rowBits[static_cast<std::size_t>(7 - y)];
        for (int x = 0; x < 8; ++x)
            cell[y][x] = colours[(bits >> (7 - x)) & 1];
    }
    built = true;
}

void BitBrush::fill(PictureSurface& box, int pixelSize)
{
    Q_ASSERT(built && pixelSize >= 1);
    QImage& image = box.surface();
    const int width = image.width();
    // One full-width strip per pattern row, so each row of the box is a single copy.
    // Cells are counted off rather than divided out: a division a pixel would cost more than
    // the whole fill.
    std::vector<QRgb> strips(static_cast<std::size_t>(8 * width));
    for (int y = 0; y < 8; ++y)
        for (int x = 0, column = 0, within = 0; x < width; ++x) {
            strips[static_cast<std::size_t>(y * width + x)] = cell[y][column];
            if (++within == pixelSize)
                within = 0, column = (column + 1) & 7;
        }
    for (int y = 0, row = 0, within = 0; y < image.height(); ++y) {
        std::memcpy(image.scanLine(y), &strips[static_cast<std::size_t>(row * width)],
                    static_cast<std::size_t>(width) * sizeof(QRgb));
        if (++within == pixelSize)
            within = 0, row = (row + 1) & 7;
    }
    box.surfaceChanged();
    built = false;
}

} // namespace vellumi
