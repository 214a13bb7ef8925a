#pragma once

#include "game/GameState.h"

#include <functional>

namespace vellumi {

// A uniform draw in [0, 1). The window passes its one clock-seeded generator; tests pass a script.
using Rnd = std::function<float()>;

// Makes a new starting arrangement by walking the blank at random from the solved board for
// exactly n⁴ moves. Every step is a legal slide, so the result can always be solved. Draws that
// point off the board are drawn again and not counted. Writes startBoard (cells 0 … n² − 1 only),
// startBlank and blankPos; leaves the live board alone. Returns the number of draws taken.
int scrambleBoard(GameState& state, const Rnd& rnd);

} // namespace vellumi
