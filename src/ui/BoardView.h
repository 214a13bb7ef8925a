#pragma once

#include "game/GameState.h"
#include "ui/PictureClip.h"

#include <QImage>
#include <QObject>
#include <QPoint>

#include <array>
#include <vector>

class QWidget;

namespace vellumi {

class DeviceGrid;
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

    // The form's device grid, and the device pixel where the board's top-left tile begins: the
    // display's left edge and the line above it.
    void setScale(const DeviceGrid& grid, QPoint origin);
    // Cuts a game's picture, read for the form's scale, into its pieces.
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
    double factor = 1;
    QPoint origin;
    std::vector<QImage> pieces;
};

} // namespace vellumi
