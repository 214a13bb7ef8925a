#include "play/HintSearch.h"

namespace vellumi {

void HintSearch::prepare(int gridSize)
{
    tables.run([gridSize](std::stop_token stop) {
        vellumi::prepare(gridSize, stop);
        return std::function<void()>();
    });
}

void HintSearch::ask(const GameState& state)
{
    const Puzzle puzzle{state.gridSize,
                        std::vector<std::int8_t>(state.board.begin(), state.board.begin() + state.cellCount())};
    search.run([this, puzzle, board = state.board](std::stop_token stop) -> std::function<void()> {
        const std::optional<int> cell = nextPress(puzzle, stop);
        if (!cell)
            return {};
        return [this, board, cell = *cell] { emit found(board, cell); };
    });
}

void HintSearch::cancel()
{
    search.cancel();
}

} // namespace vellumi
