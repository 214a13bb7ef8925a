#pragma once

#include "game/GameState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellumi {

// An unfinished game as it is kept between runs: enough to play it on exactly where it was left,
// with its undo and redo, its moves and its time.
struct KeptGame {
    std::string picture; // the picture file's path
    std::string content; // the fingerprint of what the file held
    int gridSize = 3;
    std::vector<int> startBoard; // n² tiles, the blank being n² − 1
    std::vector<int> steps;      // as History::steps() gives them
    std::size_t position = 0;    // how many steps lead to the board on show
    std::int64_t milliseconds = 0;
    bool helped = false; // a hint has been taken

    bool operator==(const KeptGame&) const = default;
};

// The kept game as a few lines of text, and back. Reading checks every field and the board, but
// not whether the steps can be played: that is the game session's to find out.
std::string formatKeptGame(const KeptGame& game);
std::optional<KeptGame> parseKeptGame(std::string_view file);

} // namespace vellumi
