#pragma once

#include <QImage>

namespace vellumi {

// Cuts one picture into rows × columns cells of equal size, numbered row by row from the top
// left. Where the counts do not divide the picture, the spare pixels at the right and bottom
// edges belong to no cell, so that every cell is the same size and the tiles line up.
class PictureClip {
public:
    void setPicture(const QImage& picture) { m_picture = picture; }
    void setRows(int rows) { m_rows = rows; }
    void setCols(int cols) { m_cols = cols; }

    QSize cellSize() const { return {m_picture.width() / m_cols, m_picture.height() / m_rows}; }
    // Cell i, 0 … rows × columns − 1, of the current division.
    QImage cell(int i) const;

private:
    QImage m_picture;
    int m_rows = 1;
    int m_cols = 1;
};

} // namespace vellumi
