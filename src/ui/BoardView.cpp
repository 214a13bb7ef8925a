#include "ui/BoardView.h"

#include "ui/DeviceGrid.h"
#include "ui/ImageControl.h"
#include "ui/Twips.h"

#include <cmath>

namespace vellumi {

BoardView::BoardView(QWidget* surface)
    : QObject(surface)
{
    for (int k = 0; k < tileCount; ++k) {
        auto* tile = new ImageControl(surface, true);
        tile->setObjectName(QStringLiteral("picbox(%1)").arg(k));
        tile->hide();
        connect(tile, &ImageControl::mouseDown, this, [this, k](Qt::MouseButton b) { emit pressed(k, b); });
        tiles[k] = tile;
    }
}

void BoardView::setScale(const DeviceGrid& grid, QPoint origin)
{
    factor = grid.factor();
    this->origin = origin;
    for (ImageControl* tile : tiles)
        tile->setScale(factor);
}

void BoardView::deal(const QImage& picture, int gridSize)
{
    clip.setPicture(picture);
    clip.setRows(gridSize);
    clip.setCols(gridSize);
    pieces.clear();
    for (int t = 0; t < gridSize * gridSize; ++t)
        pieces.push_back(clip.cell(t));
}

void BoardView::show(const GameState& game, bool playing, bool numbers)
{
    const int n = game.gridSize;
    for (int k = 0; k < tileCount; ++k) {
        const bool onBoard = playing && k < n * n;
        // The blank's widget holds the blank's own piece, never shown, so that every tile on
        // the board has the same size.
        if (onBoard) {
            tiles[k]->setPicture(pieces[k == game.blankPos ? game.blankTile() : game.board[k]]);
            // A piece is numbered from 1 by its home cell, as the numbers on the tiles show it.
            const int piece = game.board[k] + 1;
            tiles[k]->setCaption(numbers ? QString::number(piece) : QString());
            tiles[k]->setAccessibleName(
                QStringLiteral("第%1行第%2列，第%3块").arg(rowOf(k, n) + 1).arg(colOf(k, n) + 1).arg(piece));
            tiles[k]->setAccessibleDescription(game.board[k] == k ? QStringLiteral("在原位")
                                                                  : QStringLiteral("不在原位"));
        }
        tiles[k]->setVisible(onBoard && k != game.blankPos);
    }
    if (!playing)
        return;
    // Spacing follows the tile size, less the 20-twip overlap of neighbouring borders, so that
    // a tile's border always lies over its neighbour's and every separator is one line thick.
    // The design's rows start 170 twips down, a third of a pixel below the line above the
    // display: kept, so that at the design's size every tile lands where the design puts it.
    const double overlap = 20.0 / twips::perPixel * factor;
    const double across = tiles[0]->deviceGeometry().width() - overlap;
    const double down = tiles[0]->deviceGeometry().height() - overlap;
    for (int k = 0; k < n * n; ++k)
        tiles[k]->moveOnDevice(origin + QPoint(static_cast<int>(std::lround(across * colOf(k, n))),
                                               static_cast<int>(std::lround(1.0 / 3 + down * rowOf(k, n)))));
}

} // namespace vellumi
