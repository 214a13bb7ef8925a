#pragma once

#include "game/GameState.h"
#include "game/Solver.h"

#include <QObject>

#include <optional>
#include <thread>

namespace vellumi {

// Looks for the next press on the way home off the window's thread, so that the window answers
// throughout however long a search takes. One search runs at a time: a new question stops the
// one running and is taken up as soon as it has given up, so the window never waits for a
// search, not even for one waiting on tables still being built. The answer names the board it
// was found for, so that one for a board no longer on show can be told and dropped.
class HintSearch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Stops the table building first, which a search may be waiting on, then the search.
    ~HintSearch() override;

    // Builds the tables a board of this size needs, so that the first hint is quick.
    void prepare(int gridSize);
    void ask(const GameState& state);
    void cancel();

signals:
    void found(const BoardArray& board, int cell);

private:
    struct Question {
        Puzzle puzzle;
        BoardArray board;
    };
    void searchNext();

    std::jthread builder;
    std::jthread searcher;
    bool searching = false;
    std::optional<Question> waiting;
};

} // namespace vellumi
