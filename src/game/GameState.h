#pragma once

#include <array>
#include <cstdint>

namespace vellumi {

// Entries past n² − 1 belong to no game: a smaller board after a larger one simply ignores
// what the larger one left there. 50 entries leave room beyond the 36 of a 6 × 6 board.
using BoardArray = std::array<std::int16_t, 50>;

constexpr std::int16_t minGridSize = 3;
constexpr std::int16_t maxGridSize = 6;

// The whole game as the design has it: the board and what the player chose. A game session
// keeps one, with the history and whether a game is running.
struct GameState {
    std::int16_t gridSize = 3;
    std::int16_t blankPos{};
    BoardArray startBoard{};
    BoardArray board{};
    std::int16_t picNo{};
    std::int16_t picCount{};
    std::int16_t startBlank{};

    int cellCount() const { return gridSize * gridSize; }
    std::int16_t blankTile() const { return static_cast<std::int16_t>(cellCount() - 1); }
};

inline int rowOf(int cell, int n)
{
    return cell / n;
}
inline int colOf(int cell, int n)
{
    return cell % n;
}

} // namespace vellumi
