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
    if (onBoard &&
        std::abs(rowOf(cell, n) - rowOf(s.blankPos, n)) + std::abs(colOf(cell, n) - colOf(s.blankPos, n)) == 1) {
        result.moved = true;
        std::swap(s.board[s.blankPos], s.board[cell]);
        s.blankPos = static_cast<std::int16_t>(cell);
    }
    result.solved = isSolved(s);
    return result;
}

std::optional<int> cellSliding(const GameState& s, Direction direction)
{
    const int n = s.gridSize;
    const int row = rowOf(s.blankPos, n);
    const int col = colOf(s.blankPos, n);
    switch (direction) {
    case Direction::Left: return col < n - 1 ? std::optional(s.blankPos + 1) : std::nullopt;
    case Direction::Right: return col > 0 ? std::optional(s.blankPos - 1) : std::nullopt;
    case Direction::Up: return row < n - 1 ? std::optional(s.blankPos + n) : std::nullopt;
    case Direction::Down: return row > 0 ? std::optional(s.blankPos - n) : std::nullopt;
    }
    return std::nullopt;
}

// The board holds each tile once, and the only such board in order is every tile at home.
bool isSolved(const GameState& s)
{
    return std::is_sorted(s.board.begin(), s.board.begin() + s.cellCount());
}

} // namespace vellumi
