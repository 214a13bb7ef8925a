#include "game/History.h"

#include <algorithm>

namespace vellumi {

void History::start(const GameState& state)
{
    boards.clear();
    at = 0;
    boards.push_back({state.board, state.blankPos, 0});
}

void History::record(const GameState& state, bool restart)
{
    boards.resize(at + 1);
    boards.push_back({state.board, state.blankPos, restart ? 0 : boards[at].moves + 1});
    ++at;
}

std::vector<int> History::steps() const
{
    std::vector<int> way;
    for (std::size_t i = 1; i < boards.size(); ++i)
        way.push_back(boards[i].moves == 0 ? restartStep : boards[i].blankPos);
    return way;
}

void History::goTo(std::size_t position, GameState& state)
{
    at = std::min(position, boards.size() - 1);
    restore(state);
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
