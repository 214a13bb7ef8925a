#pragma once

#include "effects/PictureSurface.h"

#include <QRgb>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vellumi {

// An 8 × 8 two-colour pattern made from eight rows of "0"/"1" text, laid out the way a 1-bit
// bottom-up bitmap stores it: character j of row k sets bit 2^(j−1) of that row's byte, the
// byte's top bit is the leftmost pixel, and row 1 is the bottom row. On screen the cell is
// therefore the text turned by 180°.
//
// Use: DispPict once; then per use SetPattern for rows 1 … 8, SetuBitmap, BuildBitmap and
// ShowPattern. A built brush is shown once and then released; using it again needs a new
// BuildBitmap. Misuse raises EffectError and changes nothing.
class BitBrush {
public:
    // The box the brush is made for and fills. Not owned: it must outlive the brush's use.
    void DispPict(PictureSurface* Acontrol);
    // Colour 0 (bits that are 0) and colour 1 (bits that are 1), each component 0 … 255.
    void SetuBitmap(int r1, int g1, int b1, int r2, int g2, int b2);
    void BuildBitmap();
    void DeleteBrush();
    void SelectBrush();
    // Covers the whole interior of the box with the pattern, repeating every 8 pixels from its
    // top-left corner, then releases the brush.
    void ShowPattern();
    // Row Index (0 … 8; row 0 is kept but never drawn) becomes s cut or blank-padded to 8.
    void SetPattern(std::string_view s, int Index);

    const std::string& patternRow(int Index) const { return pattern.at(static_cast<std::size_t>(Index)); }

private:
    struct BitmapInfoHeader {
        std::int32_t biSize = 40;
        std::int32_t biWidth = 8;
        std::int32_t biHeight = 8; // positive: bottom-up
        std::int16_t biPlanes = 1;
        std::int16_t biBitCount = 1;
        std::int32_t biCompression = 0;
        std::int32_t biSizeImage = 0;
        std::int32_t biXPelsPerMeter = 0;
        std::int32_t biYPelsPerMeter = 0;
        std::int32_t biClrUsed = 2;
        std::int32_t biClrImportant = 0;
    };
    struct RgbQuad {
        std::uint8_t rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
    };
    struct BitmapInfo {
        BitmapInfoHeader bmiHeader;
        RgbQuad bmiColors[2];
    };
    enum class BrushState { None, Built, Selected, Released };

    PictureSurface& surfaceOrThrow(const char* member) const;

    BitmapInfoHeader bmpHeader;
    BitmapInfo bmpInfo;
    // Each of the 8 rows takes 4 bytes, as bitmap rows are 32-bit aligned; only the first
    // byte of a row is ever written.
    std::array<std::uint8_t, 33> bits{};
    // The built brush: the 8 × 8 cell as it appears on screen, row by row from the top.
    std::array<std::array<QRgb, 8>, 8> hBrush{};
    BrushState brushState = BrushState::None;
    PictureSurface* pict = nullptr;
    std::array<std::string, 9> pattern{"        ", "        ", "        ", "        ", "        ",
                                       "        ", "        ", "        ", "        "};
};

} // namespace vellumi
