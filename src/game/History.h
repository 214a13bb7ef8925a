#pragma once

#include "game/GameState.h"

#include <cstddef>
#include <vector>

namespace vellumi {

// The boards a game has passed through and where the player stands among them. Undo and redo
// step along it; a move or a restart made after an undo forgets the boards that lay ahead.
// A restart is one more board, so one undo takes it back.
class History {
public:
    // A new game: its first board is all there is.
    void start(const GameState& state);
    // The board as it is after a move or a restart.
    void record(const GameState& state);

    bool canUndo() const { return at > 0; }
    bool canRedo() const { return at + 1 < boards.size(); }
    // Puts the board and the blank back as they were one step earlier or later; false, with
    // the state untouched, when there is no such step.
    bool undo(GameState& state);
    bool redo(GameState& state);

private:
    struct Board {
        BoardArray tiles;
        std::int16_t blankPos;
    };
    void restore(GameState& state) const;

    std::vector<Board> boards;
    std::size_t at = 0;
};

} // namespace vellumi
