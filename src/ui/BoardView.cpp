#include "ui/BoardView.h"

#include "ui/ImageControl.h"
#include "ui/Twips.h"

namespace vellumi {

BoardView::BoardView(QWidget* surface)
    : QObject(surface)
{
    for (int k = 0; k < tileCount; ++k) {
        auto* tile = new ImageControl(surface, true);
        tile->setObjectName(QStringLiteral("picbox(%1)").arg(k));
        tile->setGeometry(twips::rect(120, 6600, 615, 555));
        tile->hide();
        connect(tile, &ImageControl::mouseDown, this, [this, k](Qt::MouseButton b) { emit pressed(k, b); });
        tiles[k] = tile;
    }
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
    // Spacing follows the tile size, less the 20-twip overlap of neighbouring borders.
    const float w = static_cast<float>(twips::fromPixels(tiles[0]->width()));
    const float h = static_cast<float>(twips::fromPixels(tiles[0]->height()));
    for (int k = 0; k < n * n; ++k) {
        const QPoint place = twips::point((w - 20) * static_cast<float>(colOf(k, n)) + 120,
                                          (h - 20) * static_cast<float>(rowOf(k, n)) + 170);
        // Tiles stay put during a game; a move that changes nothing still costs a repaint.
        if (tiles[k]->pos() != place)
            tiles[k]->move(place);
    }
}

} // namespace vellumi
