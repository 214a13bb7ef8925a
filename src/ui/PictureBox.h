#pragma once

#include <QImage>
#include <QWidget>

namespace vellumi {

// A picture box of the design: a sunken 2-pixel border around an interior that shows its
// picture unscaled at the top-left. Its drawing surface (the interior's pixels) is what gets
// painted: drawing on the box means changing surface() and calling update(). Setting a picture
// or changing the size lays the picture afresh on the back colour, dropping earlier drawing.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int borderWidth = 2;

    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }

    void setBackColor(const QColor& colour);

    // The design's AutoRedraw: the box keeps a persistent image. Every box here keeps one;
    // the flag is recorded because the fade sets it, and tests check that it did.
    void setAutoRedraw(bool on) { m_autoRedraw = on; }
    bool autoRedraw() const { return m_autoRedraw; }

    int scaleWidth() const { return qMax(0, width() - 2 * borderWidth); }
    int scaleHeight() const { return qMax(0, height() - 2 * borderWidth); }

    QImage& surface();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
    QImage m_surface;
    QColor m_backColor;
    bool m_autoRedraw = false;
    bool m_stale = true;
};

} // namespace vellumi
