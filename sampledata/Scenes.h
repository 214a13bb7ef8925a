#pragma once

#include "Random.h"

#include <QImage>

#include <iterator>

namespace mksamples {

// Each scene draws one whole picture from its own random sequence.
QImage lake(Rng& rng);
QImage city(Rng& rng);
QImage tulips(Rng& rng);
QImage balloons(Rng& rng);
QImage mosaic(Rng& rng);
QImage shapes(Rng& rng);
QImage quilt(Rng& rng);
QImage underwater(Rng& rng);
QImage stainedGlass(Rng& rng);
QImage space(Rng& rng);

// Listed in the order the player meets them.
using Scene = QImage (*)(Rng&);
inline constexpr Scene pictures[] = {lake,   mosaic,       shapes,   city,  underwater,
                                     tulips, stainedGlass, balloons, quilt, space};
static_assert(std::size(pictures) == MKSAMPLES_PICTURE_COUNT, "update VELLUMI_SAMPLE_PICTURES in CMakeLists.txt");

} // namespace mksamples
