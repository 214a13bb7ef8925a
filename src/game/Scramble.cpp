#include "game/Scramble.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vellumi {

int scrambleBoard(GameState& s, const Rnd& rnd)
{
    const int n = s.gridSize;
    s.blankPos = s.blankTile();
    for (int k = 0; k < s.cellCount(); ++k)
        s.startBoard[k] = static_cast<std::int16_t>(k);

    int x = s.blankPos % n;
    int y = s.blankPos / n;
    const int moves = n * n * n * n;
    int draws = 0;
    for (int count = 0; count < moves;) {
        ++draws;
        // Clamped so that a generator stepping outside [0, 1) cannot invent a fifth direction.
        const int direction = std::clamp(static_cast<int>(std::floor(rnd() * 4.0f)), 0, 3);
        switch (direction) {
        case 0:
            if (x == 0)
                continue;
            --x;
            break;
        case 1:
            if (x == n - 1)
                continue;
            ++x;
            break;
        case 2:
            if (y == 0)
                continue;
            --y;
            break;
        default:
            if (y == n - 1)
                continue;
            ++y;
            break;
        }
        const int c = y * n + x;
        std::swap(s.startBoard[s.blankPos], s.startBoard[c]);
        s.blankPos = static_cast<std::int16_t>(c);
        ++count;
    }
    s.startBlank = s.blankPos;
    return draws;
}

} // namespace vellumi
