#pragma once

#include "game/SolverBoard.h"

#include <cstdint>
#include <stop_token>
#include <vector>

// Boards larger than 4 × 4: a row and a column at a time, until a square small enough to search.
namespace vellumi::solver {

// What the tiles not yet locked still have to travel, at the least.
int restEstimate(const Board& b, std::uint64_t locked);
// Places the top row and the left column of the square from (offset, offset), then of the
// square inside it, until the square left is `size` wide; adds the presses to `presses`.
void reduce(Board& b, int offset, int size, std::vector<int>& presses, const std::stop_token& stop);
// The bottom-right square from (offset, offset) as a board of its own, relabelled so that its
// tiles' homes are its own cells.
Board corner(const Board& b, int offset);
// Presses made on that square, made on the whole board.
void pressInCorner(Board& b, int offset, const std::vector<int>& cornerPresses, std::vector<int>& presses);

} // namespace vellumi::solver
