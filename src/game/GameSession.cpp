#include "game/GameSession.h"

namespace vellumi {

void GameSession::start(const Rnd& rnd)
{
    scrambleBoard(game, rnd);
    resetBoard(game);
    history.start(game);
    running = true;
}

PressResult GameSession::press(int cell)
{
    if (!running)
        return {};
    const PressResult result = pressCell(game, cell);
    if (result.moved)
        history.record(game);
    running = !result.solved;
    return result;
}

PressResult GameSession::undo()
{
    return stepped(running && history.undo(game));
}

PressResult GameSession::redo()
{
    return stepped(running && history.redo(game));
}

PressResult GameSession::stepped(bool moved)
{
    if (!moved)
        return {};
    running = !isSolved(game);
    return {true, !running};
}

bool GameSession::restart()
{
    const BoardArray before = game.board;
    if (!running)
        return false;
    resetBoard(game);
    if (game.board == before)
        return false;
    history.record(game);
    return true;
}

} // namespace vellumi
