#pragma once

#include <QLabel>

namespace vellumi {

// An image control of the design: shows its picture unscaled and takes the picture's size
// (plus the border, if it has one). It reports presses and releases of any mouse button;
// what they mean is for the window to decide.
class ImageControl : public QLabel {
    Q_OBJECT
public:
    explicit ImageControl(QWidget* parent = nullptr, bool bordered = false);

    void setPicture(const QImage& picture);
    QImage picture() const { return m_picture; }

signals:
    void mouseDown(Qt::MouseButton button);
    void mouseUp(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
};

} // namespace vellumi
