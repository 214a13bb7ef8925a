#pragma once

#include "game/GameState.h"
#include "game/Solver.h"
#include "system/LatestTask.h"

#include <QObject>

namespace vellumi {

// Looks for the next press on the way home off the window's thread, so that the window answers
// throughout however long a search takes, even one waiting on tables still being built. Only
// the newest question counts. The answer names the board it was found for, so that one for a
// board no longer on show can be told and dropped.
class HintSearch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Builds the tables a board of this size needs, so that the first hint is quick.
    void prepare(int gridSize);
    void ask(const GameState& state);
    void cancel();

signals:
    void found(const BoardArray& board, int cell);

private:
    LatestTask search;
    // Declared last, so stopped first: a search may be waiting on the tables.
    LatestTask tables;
};

} // namespace vellumi
