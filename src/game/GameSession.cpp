#include "game/GameSession.h"

#include <algorithm>

namespace vellumi {

void GameSession::start(const Rnd& rnd)
{
    scrambleBoard(game, rnd);
    resetBoard(game);
    history.start(game);
    running = true;
    helped = false;
    clock.reset();
    clock.resume();
}

KeptGame GameSession::keep() const
{
    const int cells = game.cellCount();
    return {{},
            {},
            game.gridSize,
            std::vector<int>(game.startBoard.begin(), game.startBoard.begin() + cells),
            history.steps(),
            history.position(),
            clock.elapsed().count(),
            helped};
}

bool GameSession::resume(const KeptGame& kept)
{
    const int cells = kept.gridSize * kept.gridSize;
    if (kept.gridSize < minGridSize || kept.gridSize > maxGridSize || int(kept.startBoard.size()) != cells)
        return false;
    GameState played = game;
    played.gridSize = static_cast<std::int16_t>(kept.gridSize);
    std::copy(kept.startBoard.begin(), kept.startBoard.end(), played.startBoard.begin());
    played.startBlank = static_cast<std::int16_t>(std::find(kept.startBoard.begin(), kept.startBoard.end(), cells - 1) -
                                                  kept.startBoard.begin());
    resetBoard(played);
    History way;
    way.start(played);
    for (const int step : kept.steps) {
        const bool restart = step == History::restartStep;
        if (restart)
            resetBoard(played);
        else if (!pressCell(played, step).moved)
            return false;
        way.record(played, restart);
    }
    if (kept.position > kept.steps.size())
        return false;
    way.goTo(kept.position, played);
    game = played;
    history = std::move(way);
    running = true;
    helped = kept.helped;
    clock.reset(std::chrono::milliseconds(kept.milliseconds));
    return true;
}

void GameSession::setClockRunning(bool on)
{
    if (on && running)
        clock.resume();
    else
        clock.pause();
}

void GameSession::leave()
{
    running = false;
    clock.pause();
}

void GameSession::stopClockIfOver()
{
    if (!running)
        clock.pause();
}

PressResult GameSession::press(int cell)
{
    if (!running)
        return {};
    const PressResult result = pressCell(game, cell);
    if (result.moved)
        history.record(game);
    running = !result.solved;
    stopClockIfOver();
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
    stopClockIfOver();
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
    history.record(game, true);
    return true;
}

} // namespace vellumi
