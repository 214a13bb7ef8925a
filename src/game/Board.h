#pragma once

#include "game/GameState.h"

#include <optional>

namespace vellumi {

// Puts the live board back to the arrangement the game started from (cells 0 … n² − 1 only).
void resetBoard(GameState& state);

// Slides the tile at `cell` into the blank if it is one of the blank's four neighbours: the
// same row and the next column, or the same column and the next row. (Cells whose numbers
// differ by one but lie in different rows are not neighbours.) Returns the cell the blank left,
// where the tile now is, or nothing when the tile may not move.
std::optional<int> slideTile(GameState& state, int cell);

// Every cell 0 … n² − 1 holds its own tile; what lies beyond the board does not count.
bool isSolved(const GameState& state);

} // namespace vellumi
