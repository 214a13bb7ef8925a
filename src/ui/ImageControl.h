#pragma once

#include <QFrame>
#include <QImage>

class QPainter;

namespace vellumi {

// An image control of the design: shows its picture unscaled and takes the picture's size
// (plus the border, if it has one). It reports presses and releases of any mouse button;
// what they mean is for the window to decide. Locked by a setEnabled(false) of its own, it is
// drawn in the style's disabled look; a control disabled only with its window looks as usual.
class ImageControl : public QFrame {
    Q_OBJECT
public:
    explicit ImageControl(QWidget* parent = nullptr, bool bordered = false);

    void setPicture(const QImage& picture);
    QImage picture() const { return pictureShown; }
    // A small number in the top-left corner, drawn light on a dark outline so that it reads on
    // any picture; empty for none.
    void setCaption(const QString& caption);
    QString caption() const { return captionShown; }
    // What a press of the left button does, for a screen reader's press action.
    void click();

signals:
    void mouseDown(Qt::MouseButton button);
    void mouseUp(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void paintCaption(QPainter& painter);

    QImage pictureShown;
    QString captionShown;
};

} // namespace vellumi
