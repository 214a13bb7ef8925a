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

PressResult pressCell(GameState& s, int cell)
{
    const int n = s.gridSize;
    PressResult result;
    const bool onBoard = cell >= 0 && cell < s.cellCount();
    if (onBoard && std::abs(rowOf(cell, n) - rowOf(s.blankPos, n)) + std::abs(colOf(cell, n) - colOf(s.blankPos, n)) == 1) {
        result.move = TileMove{cell, s.blankPos};
        std::swap(s.board[s.blankPos], s.board[cell]);
        s.blankPos = static_cast<std::int16_t>(cell);
    }
    result.solved = isSolved(s);
    return result;
}

bool isSolved(const GameState& s)
{
    for (int k = 0; k < s.cellCount(); ++k)
        if (s.board[k] != k)
            return false;
    return true;
}

} // namespace vellumi
