#include "play/HintSearch.h"

namespace vellumi {

HintSearch::~HintSearch()
{
    builder.request_stop();
    searcher.request_stop();
}

void HintSearch::prepare(int gridSize)
{
    builder = std::jthread([gridSize](std::stop_token stop) { vellumi::prepare(gridSize, stop); });
}

void HintSearch::ask(const GameState& state)
{
    waiting = Question{{state.gridSize, std::vector<std::int8_t>(state.board.begin(), state.board.begin() + state.cellCount())},
                       state.board};
    if (searching)
        searcher.request_stop();
    else
        searchNext();
}

void HintSearch::cancel()
{
    waiting.reset();
    searcher.request_stop();
}

void HintSearch::searchNext()
{
    if (!waiting)
        return;
    // The search before has posted its end, so it has all but returned.
    if (searcher.joinable())
        searcher.join();
    searching = true;
    searcher = std::jthread([this, question = *std::exchange(waiting, std::nullopt)](std::stop_token stop) {
        const std::optional<int> cell = nextPress(question.puzzle, stop);
        // Posted, never called from here: a search being destroyed takes its posted calls
        // with it, and it waits for this thread before it goes. Whether it is still wanted is
        // asked on arrival, so that a cancel between the post and the arrival holds as well.
        QMetaObject::invokeMethod(this, [this, board = question.board, cell, stop] {
            searching = false;
            if (cell && !stop.stop_requested())
                emit found(board, *cell);
            searchNext();
        }, Qt::QueuedConnection);
    });
}

} // namespace vellumi
