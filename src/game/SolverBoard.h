#pragma once

#include "game/PatternDatabase.h"
#include "game/Solver.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <utility>

// What the solver's searches share: the board as they move it, and its neighbours.
namespace vellumi::solver {

using Clock = std::chrono::steady_clock;
// Thrown when a stop token ends a search or the build of a table.
using Stopped = PatternDatabase::Stopped;

struct Board {
    int n = 3;
    std::array<std::int8_t, 36> tiles{};
    int blank = 0;

    int cells() const { return n * n; }
    void press(int cell)
    {
        std::swap(tiles[static_cast<std::size_t>(blank)], tiles[static_cast<std::size_t>(cell)]);
        blank = cell;
    }
    bool operator==(const Board&) const = default;
};

// The blank's neighbours in a fixed order (up, left, right, down), so that every way found is
// the same each time it is asked for.
template <class Visit>
inline void forEachNeighbour(int cell, int n, Visit visit)
{
    const int row = cell / n;
    const int col = cell % n;
    if (row > 0)
        visit(cell - n);
    if (col > 0)
        visit(cell - 1);
    if (col < n - 1)
        visit(cell + 1);
    if (row < n - 1)
        visit(cell + n);
}

// Throws std::invalid_argument for a board that is not 3 × 3 to 6 × 6.
void checkSize(const Puzzle& p);
// Also for one whose tiles are not each there once, or that no moves bring home.
Board boardOf(const Puzzle& p);

} // namespace vellumi::solver
