#pragma once

#include "game/GameState.h"
#include "ui/PictureClip.h"

#include <QImage>
#include <QObject>

#include <array>
#include <vector>

class QWidget;

namespace vellumi {

class ImageControl;

// The board as the player sees it: a bordered tile control for each of the up to 36 cells,
// tile k always standing for cell k. It shows what a game state holds and nothing of its own,
// so it cannot drift from the game.
class BoardView : public QObject {
    Q_OBJECT
public:
    static constexpr int tileCount = maxGridSize * maxGridSize;

    // The tiles are made on `surface`, hidden below its visible part until a board is shown.
    explicit BoardView(QWidget* surface);

    // Cuts a game's picture into its pieces.
    void deal(const QImage& picture, int gridSize);
    // Brings every tile into line with the board: picture, number, place and what a screen
    // reader says of it. Between games no tile shows.
    void show(const GameState& game, bool playing, bool numbers);

signals:
    // Any mouse button's press on the tile of a cell.
    void pressed(int cell, Qt::MouseButton button);

private:
    std::array<ImageControl*, tileCount> tiles{};
    PictureClip clip;
    std::vector<QImage> pieces;
};

} // namespace vellumi
