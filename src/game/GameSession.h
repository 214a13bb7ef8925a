#pragma once

#include "game/Board.h"
#include "game/GameState.h"
#include "game/History.h"
#include "game/KeptGame.h"
#include "game/PlayClock.h"
#include "game/Scramble.h"

namespace vellumi {

// A game from its start to its end: the board, the way it has come, and whether it is still
// being played. Between games it holds what the player has chosen: the picture and the
// difficulty. Every command says what it changed, and none acts unless a game is running.
// It counts the moves of the way taken and the time played, which stop when the picture is
// whole.
class GameSession {
public:
    explicit GameSession(PlayClock::Now now = std::chrono::steady_clock::now)
        : clock(std::move(now))
    {
    }

    const GameState& state() const { return game; }
    bool isRunning() const { return running; }
    int moves() const { return history.moves(); }
    std::chrono::milliseconds playTime() const { return clock.elapsed(); }
    // Whether a hint or self-play has made a move of this game.
    bool isHelped() const { return helped; }
    void markHelped() { helped = helped || running; }
    // The clock runs only while a game is being played and the player can see it.
    void setClockRunning(bool on);
    bool isClockRunning() const { return clock.isRunning(); }

    // Between games: what the next one is played with.
    void setPictureCount(std::int16_t count) { game.picCount = count; }
    void choosePicture(std::int16_t number) { game.picNo = number; }
    void chooseGridSize(std::int16_t size) { game.gridSize = size; }

    // A new game on the chosen size, scrambled by a random walk of the blank; its clock starts.
    void start(const Rnd& rnd);
    // The running game as it is kept between runs, but for its picture.
    KeptGame keep() const;
    // A kept game, played on where it was left, on the kept grid size, its clock paused. False,
    // with nothing changed, when its steps cannot be played from its board.
    bool resume(const KeptGame& kept);
    // A press on a cell, whose tile slides if it is beside the blank. A whole picture ends the
    // game.
    PressResult press(int cell);
    // A step back or forward along the way taken; the picture made whole by one ends the game.
    PressResult undo();
    PressResult redo();
    // The board as the game started, as one more step that undo takes back. False when it is
    // so already.
    bool restart();
    // Ends the game unfinished.
    void leave();

private:
    PressResult stepped(bool moved);
    // The clock stops with the game.
    void stopClockIfOver();

    GameState game;
    History history;
    PlayClock clock;
    bool running = false;
    bool helped = false;
};

} // namespace vellumi
