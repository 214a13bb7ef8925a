#include "game/SolverBoard.h"

#include <stdexcept>

namespace vellumi::solver {

void checkSize(const Puzzle& p)
{
    if (p.n < 3 || p.n > 6 || p.tiles.size() != static_cast<std::size_t>(p.n * p.n))
        throw std::invalid_argument("not a board of 3 × 3 to 6 × 6");
}

Board boardOf(const Puzzle& p)
{
    checkSize(p);
    Board b;
    b.n = p.n;
    std::array<bool, 36> present{};
    for (int cell = 0; cell < b.cells(); ++cell) {
        const int tile = p.tiles[static_cast<std::size_t>(cell)];
        if (tile < 0 || tile >= b.cells() || present[static_cast<std::size_t>(tile)])
            throw std::invalid_argument("the tiles are not each of 0 … n² − 1 once");
        present[static_cast<std::size_t>(tile)] = true;
        b.tiles[static_cast<std::size_t>(cell)] = static_cast<std::int8_t>(tile);
        if (tile == b.cells() - 1)
            b.blank = cell;
    }
    // Every move is one transposition and moves the blank one step, so the permutation's parity
    // and that of the blank's distance from home change together; home has both even. The
    // distance's parity is that of the blank's row plus its column, as the home corner's is even.
    int transpositions = 0;
    std::array<bool, 36> done{};
    for (int start = 0; start < b.cells(); ++start)
        for (int cell = start; !done[static_cast<std::size_t>(cell)]; cell = b.tiles[static_cast<std::size_t>(cell)]) {
            done[static_cast<std::size_t>(cell)] = true;
            transpositions += cell != start;
        }
    const int blankParity = (b.blank / b.n ^ b.blank % b.n) & 1;
    if (transpositions % 2 != blankParity)
        throw std::invalid_argument("no sequence of moves brings this board home");
    return b;
}

} // namespace vellumi::solver
