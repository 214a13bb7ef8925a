#include "ui/PictureClip.h"

namespace vellumi {

QSize PictureClip::cellSize() const
{
    if (m_picture.isNull() || m_rows < 1 || m_cols < 1)
        return {};
    return {m_picture.width() / m_cols, m_picture.height() / m_rows};
}

QImage PictureClip::cell(int i) const
{
    const QSize size = cellSize();
    if (size.isEmpty() || i < 0 || i >= m_rows * m_cols)
        return {};
    return m_picture.copy(i % m_cols * size.width(), i / m_cols * size.height(), size.width(), size.height());
}

} // namespace vellumi
