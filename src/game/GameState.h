#pragma once

#include <array>
#include <cstdint>

namespace vellumi {

// Entries past n² − 1 belong to no game: a smaller board after a larger one simply ignores
// what the larger one left there. 50 entries leave room beyond the 36 of a 6 × 6 board.
using BoardArray = std::array<std::int16_t, 50>;

constexpr std::int16_t minGridSize = 3;
constexpr std::int16_t maxGridSize = 6;
constexpr int tileControlCount = maxGridSize * maxGridSize;

// The whole game: the window keeps one of these and every command reads and writes it.
// Whether a game is running is deliberately not stored here; the window reads it from
// the enabled state of its start-game command.
struct GameState {
    bool firstFade{};
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

inline int rowOf(int cell, int n) { return cell / n; }
inline int colOf(int cell, int n) { return cell % n; }

} // namespace vellumi
