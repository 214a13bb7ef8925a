#include "effects/BitBrush.h"

#include "effects/EffectError.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vellumi {

void BitBrush::DispPict(PictureSurface* Acontrol)
{
    pict = Acontrol;
}

void BitBrush::SetuBitmap(int r1, int g1, int b1, int r2, int g2, int b2)
{
    for (int component : {r1, g1, b1, r2, g2, b2})
        if (component < 0 || component > 255)
            throw EffectError("BitBrush::SetuBitmap: a colour component lies outside 0 … 255");
    bmpHeader = BitmapInfoHeader{};
    const auto byte = [](int v) { return static_cast<std::uint8_t>(v); };
    bmpInfo.bmiColors[0] = {byte(b1), byte(g1), byte(r1), 0};
    bmpInfo.bmiColors[1] = {byte(b2), byte(g2), byte(r2), 0};
}

PictureSurface& BitBrush::surfaceOrThrow(const char* member) const
{
    if (!pict)
        throw EffectError(std::string("BitBrush::") + member + ": no picture box set (DispPict)");
    return *pict;
}

void BitBrush::BuildBitmap()
{
    surfaceOrThrow("BuildBitmap");
    for (int k = 1; k <= 8; ++k) {
        int sum = 0;
        for (int j = 1; j <= 8; ++j)
            if (pattern[k][j - 1] == '1')
                sum += 1 << (j - 1);
        bits[4 * (k - 1)] = static_cast<std::uint8_t>(sum);
    }
    bmpInfo.bmiHeader = bmpHeader;

    // Read the cell back out of the bitmap as its format defines it: rows bottom-up, the top
    // bit of each byte leftmost, each bit choosing a palette entry.
    const auto colour = [this](int entry) {
        const RgbQuad& q = bmpInfo.bmiColors[entry];
        return qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
    };
    for (int y = 0; y < 8; ++y) {
        const std::uint8_t row = bits[4 * (7 - y)];
        for (int x = 0; x < 8; ++x)
            hBrush[y][x] = colour((row >> (7 - x)) & 1);
    }
    brushState = BrushState::Built;
}

void BitBrush::SelectBrush()
{
    surfaceOrThrow("SelectBrush");
    if (brushState != BrushState::Built)
        throw EffectError("BitBrush::SelectBrush: no built brush to select");
    brushState = BrushState::Selected;
}

void BitBrush::DeleteBrush()
{
    surfaceOrThrow("DeleteBrush");
    if (brushState != BrushState::Selected)
        throw EffectError("BitBrush::DeleteBrush: the brush is not selected");
    brushState = BrushState::Released;
}

void BitBrush::ShowPattern()
{
    PictureSurface& box = surfaceOrThrow("ShowPattern");
    if (brushState != BrushState::Built)
        throw EffectError("BitBrush::ShowPattern: the brush was never built or is already released");

    QImage& image = box.surface();
    const int width = image.width();
    // One full-width strip per pattern row, so each row of the box is a single copy.
    std::vector<QRgb> strips(static_cast<std::size_t>(8 * width));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < width; ++x)
            strips[static_cast<std::size_t>(y * width + x)] = hBrush[y][x & 7];
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), &strips[static_cast<std::size_t>((y & 7) * width)],
                    static_cast<std::size_t>(width) * sizeof(QRgb));
    box.surfaceChanged();
    brushState = BrushState::Released;
}

void BitBrush::SetPattern(std::string_view s, int Index)
{
    if (Index < 0 || Index > 8)
        throw EffectError("BitBrush::SetPattern: row index outside 0 … 8");
    std::string row(s.substr(0, 8));
    row.resize(8, ' ');
    pattern[static_cast<std::size_t>(Index)] = row;
}

} // namespace vellumi
