#pragma once

#include "game/GameState.h"

#include <cstddef>
#include <vector>

namespace vellumi {

// The boards a game has passed through and where the player stands among them. Undo and redo
// step along it; a move or a restart made after an undo forgets the boards that lay ahead.
// A restart is one more board, so one undo takes it back. Each board knows how many moves led
// to it: one more than the board before, or none after a restart.
class History {
public:
    // A new game: its first board is all there is.
    void start(const GameState& state);
    // The board as it is after a move or a restart.
    void record(const GameState& state, bool restart = false);

    bool canUndo() const { return at > 0; }
    bool canRedo() const { return at + 1 < boards.size(); }
    // Puts the board and the blank back as they were one step earlier or later; false, with
    // the state untouched, when there is no such step.
    bool undo(GameState& state);
    bool redo(GameState& state);

    // The length of the way that led to the board on show.
    int moves() const { return boards.empty() ? 0 : boards[at].moves; }
    // The way as a list of steps from the first board, each the cell pressed or restartStep,
    // and how many of them lead to the board on show: enough to play the history again.
    static constexpr int restartStep = -1;
    std::vector<int> steps() const;
    std::size_t position() const { return at; }
    // Back or forward to the board after `position` steps (at most steps().size()).
    void goTo(std::size_t position, GameState& state);

private:
    struct Board {
        BoardArray tiles;
        std::int16_t blankPos;
        int moves;
    };
    void restore(GameState& state) const;

    std::vector<Board> boards;
    std::size_t at = 0;
};

} // namespace vellumi
