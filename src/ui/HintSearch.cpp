#include "ui/HintSearch.h"

#include "game/Solver.h"

namespace vellumi {

HintSearch::~HintSearch() = default;

void HintSearch::prepare(int gridSize)
{
    builder = std::jthread([gridSize](std::stop_token stop) { vellumi::prepare(gridSize, stop); });
}

void HintSearch::ask(const GameState& state)
{
    Puzzle puzzle{state.gridSize, std::vector<std::int8_t>(state.board.begin(), state.board.begin() + state.cellCount())};
    // Assigning stops the search before, which gives up within a few thousand nodes.
    searcher = std::jthread([this, puzzle = std::move(puzzle), board = state.board](std::stop_token stop) {
        const std::optional<int> cell = nextPress(puzzle, stop);
        if (cell && !stop.stop_requested())
            // Posted, never called from here: a search being destroyed takes its posted calls
            // with it, and it waits for this thread before it goes.
            QMetaObject::invokeMethod(this, [this, board, cell = *cell] { emit found(board, cell); }, Qt::QueuedConnection);
    });
}

void HintSearch::cancel()
{
    searcher.request_stop();
}

} // namespace vellumi
