#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stop_token>
#include <vector>

namespace vellumi {

// A board as the solver sees it: n and the tile at each cell (the blank is tile n² − 1).
struct Puzzle {
    int n = 3;
    std::vector<std::int8_t> tiles;
};

// The cells to press, in order, to bring the board home. `shortest` says no shorter way exists:
// always so on 3 × 3, on 4 × 4 unless the search ran out of time and a quicker, longer way was
// given instead, never on larger boards.
struct Way {
    std::vector<int> presses;
    bool shortest = false;
};

// How long the searches on a 4 × 4 board may run in all before the row-by-row way is taken, and
// the same for the 4 × 4 corner left over from a 5 × 5 or 6 × 6 board, where the search is only
// one step of a hint.
inline constexpr std::chrono::milliseconds fourByFourBudget{1000};
inline constexpr std::chrono::milliseconds cornerBudget{200};

// Builds the tables that boards of size n need (3 × 3: every arrangement's distance; 4 × 4 and
// larger: the pattern databases). Safe from any thread; the tables are built once, however many
// threads ask. False if `stop` ended the build, which a later call then starts again.
bool prepare(int n, std::stop_token stop = {});

// The bytes the tables built so far take.
std::size_t tableBytes();

// The way home for a valid, solvable board (throws std::invalid_argument otherwise); std::nullopt
// only if `stop` was requested. `budget` replaces the search's time limit (see above).
std::optional<Way> findWay(const Puzzle& puzzle, std::stop_token stop = {},
                           std::optional<std::chrono::milliseconds> budget = std::nullopt);

// The cell to press next. The last way found is remembered, so from any board along it the hint
// continues that way rather than starting a new one: hints followed one by one always end home.
// std::nullopt when the board is home or `stop` was requested.
std::optional<int> nextPress(const Puzzle& puzzle, std::stop_token stop = {},
                             std::optional<std::chrono::milliseconds> budget = std::nullopt);

// The sum of every tile's row and column distance from home: a lower bound on any way's length.
// Throws std::invalid_argument for a board that is not 3 × 3 to 6 × 6.
int manhattan(const Puzzle& puzzle);

} // namespace vellumi
