#pragma once

#include "effects/PictureSurface.h"

#include <QList>

// A picture box without a widget: an outer size with a 2-pixel border, an interior image, and a
// copy of the interior each time it is told it changed, so a test can look at every fade step.
class RecordingSurface : public vellumi::PictureSurface {
public:
    explicit RecordingSurface(QSize outer = {484, 364}) { setOuterSize(outer); }

    QSize outerSize() const override { return m_outer; }
    void setOuterSize(QSize size) override
    {
        m_outer = size;
        m_image = QImage(size - QSize(4, 4), QImage::Format_RGB32);
        m_image.fill(qRgb(1, 2, 3));
    }
    void setAutoRedraw(bool on) override { autoRedraw = on; }
    QImage& surface() override { return m_image; }
    void surfaceChanged() override { frames.append(m_image.copy()); }

    bool autoRedraw = false;
    QList<QImage> frames;

private:
    QSize m_outer;
    QImage m_image;
};
