#include "game/History.h"

namespace vellumi {

void History::start(const GameState& state)
{
    boards.clear();
    at = 0;
    boards.push_back({state.board, state.blankPos});
}

void History::record(const GameState& state)
{
    boards.resize(at + 1);
    boards.push_back({state.board, state.blankPos});
    ++at;
}

bool History::undo(GameState& state)
{
    if (!canUndo())
        return false;
    --at;
    restore(state);
    return true;
}

bool History::redo(GameState& state)
{
    if (!canRedo())
        return false;
    ++at;
    restore(state);
    return true;
}

void History::restore(GameState& state) const
{
    state.board = boards[at].tiles;
    state.blankPos = boards[at].blankPos;
}

} // namespace vellumi
