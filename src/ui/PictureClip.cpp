#include "ui/PictureClip.h"

namespace vellumi {

QImage PictureClip::cell(int i) const
{
    Q_ASSERT(i >= 0 && i < rows * cols);
    const QSize size = cellSize();
    return whole.copy(i % cols * size.width(), i / cols * size.height(), size.width(), size.height());
}

} // namespace vellumi
