#pragma once

#include "game/GameState.h"

#include <optional>

namespace vellumi {

// Puts the live board back to the arrangement the game started from (cells 0 … n² − 1 only).
void resetBoard(GameState& state);

// What one press on a cell did: whether its tile slid into the blank, leaving the blank where
// it was, and whether the picture is whole afterwards. Completion is judged after every press,
// whether a tile moved or not.
struct PressResult {
    bool moved{};
    bool solved{};
};

// A tile moves only if it is one of the blank's four neighbours: the same row and the next
// column, or the same column and the next row. (Cells whose numbers differ by one but lie in
// different rows are not neighbours.)
PressResult pressCell(GameState& state, int cell);

enum class Direction { Left, Right, Up, Down };

// The cell whose tile slides into the blank moving in `direction`: for Left the one right of
// the blank, and so on. Nothing when the blank lies on that edge of the board.
std::optional<int> cellSliding(const GameState& state, Direction direction);

// Every cell 0 … n² − 1 holds its own tile; what lies beyond the board does not count.
bool isSolved(const GameState& state);

} // namespace vellumi
