#pragma once

#include "game/GameSession.h"
#include "play/HintSearch.h"

#include <QObject>

namespace vellumi {

// Hints for a game session: one press on the way home when asked, or the rest of the game
// played by itself, a press every 150 ms, until stopped or the picture is whole. A hint is
// pressed only if the board is still the one it was found for: a move made meanwhile has made
// it no hint at all.
class HintPlayer : public QObject {
    Q_OBJECT
public:
    explicit HintPlayer(const GameSession& session, QObject* parent = nullptr);

    // Builds what hints on a board of this size need, so that the first is quick.
    void prepare(int gridSize) { search.prepare(gridSize); }
    void hint();
    void playToTheEnd();
    // Self-play ends, and the press it was looking for with it.
    void stopPlaying();
    bool isPlaying() const { return playing; }
    // A hint being looked for is of no more use: the board has changed.
    void dropHint() { search.cancel(); }

signals:
    void press(int cell);

private:
    void onFound(const BoardArray& board, int cell);

    const GameSession& session;
    HintSearch search;
    bool playing = false;
};

} // namespace vellumi
