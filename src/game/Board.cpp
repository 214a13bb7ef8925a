#include "game/Board.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace vellumi {

void resetBoard(GameState& s)
{
    s.blankPos = s.startBlank;
    std::copy_n(s.startBoard.begin(), s.cellCount(), s.board.begin());
}

std::optional<int> slideTile(GameState& s, int cell)
{
    const int n = s.gridSize;
    if (cell < 0 || cell >= s.cellCount())
        return std::nullopt;
    const int rowDistance = std::abs(rowOf(cell, n) - rowOf(s.blankPos, n));
    const int colDistance = std::abs(colOf(cell, n) - colOf(s.blankPos, n));
    if (rowDistance + colDistance != 1)
        return std::nullopt;
    const int from = s.blankPos;
    std::swap(s.board[from], s.board[cell]);
    s.blankPos = static_cast<std::int16_t>(cell);
    return from;
}

bool isSolved(const GameState& s)
{
    for (int k = 0; k < s.cellCount(); ++k)
        if (s.board[k] != k)
            return false;
    return true;
}

} // namespace vellumi
