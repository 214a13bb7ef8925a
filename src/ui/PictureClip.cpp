#include "ui/PictureClip.h"

namespace vellumi {

QImage PictureClip::cell(int i) const
{
    Q_ASSERT(i >= 0 && i < m_rows * m_cols);
    const QSize size = cellSize();
    return m_picture.copy(i % m_cols * size.width(), i / m_cols * size.height(), size.width(), size.height());
}

} // namespace vellumi
