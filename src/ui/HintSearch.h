#pragma once

#include "game/GameState.h"

#include <QObject>

#include <thread>

namespace vellumi {

// Looks for the next press on the way home off the window's thread, so that the window answers
// throughout however long a search takes. A new question stops the search before it; the
// answer names the board it was found for, so that one for a board no longer on show can be
// told and dropped.
class HintSearch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Stops the search, which a stop makes short, and waits for it.
    ~HintSearch() override;

    // Builds the tables a board of this size needs, so that the first hint is quick.
    void prepare(int gridSize);
    void ask(const GameState& state);
    void cancel();

signals:
    void found(const BoardArray& board, int cell);

private:
    // Tables are built apart from the searches, so that a question never stops a build.
    std::jthread builder;
    std::jthread searcher;
};

} // namespace vellumi
