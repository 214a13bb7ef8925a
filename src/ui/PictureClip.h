#pragma once

#include <QImage>

namespace vellumi {

// Cuts one picture into rows × columns cells of equal size, numbered row by row from the top
// left. Where the counts do not divide the picture, the spare pixels at the right and bottom
// edges belong to no cell, so that every cell is the same size and the tiles line up.
class PictureClip {
public:
    void setPicture(const QImage& picture);
    void setRows(int count) { rows = count; }
    void setCols(int count) { cols = count; }

    QSize cellSize() const { return {whole.width() / cols, whole.height() / rows}; }
    // Cell i, 0 … rows × columns − 1, of the current division.
    QImage cell(int i) const;

private:
    QImage whole;
    int rows = 1;
    int cols = 1;
};

} // namespace vellumi
