#pragma once

#include <QImage>
#include <QWidget>

class QPainter;

namespace vellumi {

// An image control of the design: shows its picture unscaled and takes the picture's size
// (plus the border, if it has one). It lies on the form's device pixels (see DeviceGrid), so
// its picture, made for the screen's scale, shows pixel for pixel. It reports presses and
// releases of any mouse button; what they mean is for the window to decide. Locked by a
// setEnabled(false) of its own, it is drawn in the style's disabled look; a control disabled
// only with its window looks as usual.
class ImageControl : public QWidget {
    Q_OBJECT
public:
    // A child of the form, on whose device pixels it lies.
    explicit ImageControl(QWidget* form, bool bordered = false);

    // The scale of the form's device pixels to the design's: its border's thickness and its
    // caption's size follow it.
    void setScale(double factor);
    // Its top-left corner among the form's device pixels.
    void moveOnDevice(QPoint topLeft);
    const QRect& deviceGeometry() const { return placed; }
    int borderWidth() const;

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
    void place(const QRect& rect);

    QImage pictureShown;
    QString captionShown;
    QRect placed;
    double factor = 1;
    bool bordered;
};

} // namespace vellumi
