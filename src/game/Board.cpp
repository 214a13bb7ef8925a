#include "game/Board.h"

#include <algorithm>

namespace vellumi {

void resetBoard(GameState& s)
{
    s.blankPos = s.startBlank;
    std::copy_n(s.startBoard.begin(), s.cellCount(), s.board.begin());
}

} // namespace vellumi
