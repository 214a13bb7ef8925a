#pragma once

#include "game/SolverBoard.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// 3 × 3: every one of the 9! arrangements' distance home, found once by a breadth-first search
// from home, so that the shortest way is read straight off the table.
namespace vellumi::solver {

// Built on the first call, from whichever thread; every later call waits for it.
const std::vector<std::uint8_t>& homeDistances();
std::size_t homeDistanceBytes();
// Down the table from a 3 × 3 board: a shortest way home.
std::vector<int> tableWay(Board b);

} // namespace vellumi::solver
