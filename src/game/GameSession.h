#pragma once

#include "game/Board.h"
#include "game/GameState.h"
#include "game/History.h"
#include "game/Scramble.h"

namespace vellumi {

// A game from its start to its end: the board, the way it has come, and whether it is still
// being played. Between games it holds what the player has chosen: the picture and the
// difficulty. Every command says what it changed, and none acts unless a game is running.
class GameSession {
public:
    const GameState& state() const { return game; }
    bool isRunning() const { return running; }

    // Between games: what the next one is played with.
    void setPictureCount(std::int16_t count) { game.picCount = count; }
    void choosePicture(std::int16_t number) { game.picNo = number; }
    void chooseGridSize(std::int16_t size) { game.gridSize = size; }

    // A new game on the chosen size, scrambled by a random walk of the blank.
    void start(const Rnd& rnd);
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
    void leave() { running = false; }

private:
    PressResult stepped(bool moved);

    GameState game;
    History history;
    bool running = false;
};

} // namespace vellumi
