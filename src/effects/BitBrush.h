#pragma once

#include "effects/PictureSurface.h"

#include <QRgb>

#include <array>
#include <cstdint>
#include <string_view>

namespace vellumi {

// An 8 × 8 two-colour pattern made from eight rows of "0"/"1" text. The rows keep the layout
// the fade's table was drawn for: character j of row k sets bit 2^(j−1) of that row's byte, the
// byte's top bit is the leftmost pixel, and row 1 is the bottom row. On screen the cell is
// therefore the text turned by 180°.
//
// A built brush fills one box once and is then released; filling again needs a new build().
class BitBrush {
public:
    // Row 1 … 8 becomes text cut or blank-padded to 8 characters; only a '1' sets its bit. Any
    // other row is refused, and no row changes.
    bool setRow(int row, std::string_view text);
    // The colours of the 0 bits and of the 1 bits; opaque, as the surfaces are RGB32.
    void setColours(QRgb zero, QRgb one);
    void build();
    // Covers the whole interior of the box, repeating every 8 cells from its top-left corner;
    // a cell is pixelSize × pixelSize pixels, so that on a scaled screen the pattern keeps its
    // look in whole device pixels.
    void fill(PictureSurface& box, int pixelSize = 1);

private:
    std::array<std::uint8_t, 8> rowBits{}; // row 1 first
    std::array<QRgb, 2> colours{};
    // The cell as it appears on screen, from the top row down.
    std::array<std::array<QRgb, 8>, 8> cell{};
    bool built = false;
};

} // namespace vellumi
