#pragma once

#include "ui/DesignSurface.h"

#include <QImage>

#include <array>
#include <functional>

class QLabel;

namespace vellumi {

class BoardView;
class ImageControl;
class PictureBox;

// The main window's form as the design lays it out: the display and the fade's two hidden
// boxes, the difficulty and picture buttons with their captions, and the board's tiles. It
// says which button was pressed and leaves what that means to the window. Everything on it
// scales together with the zoom, on the device pixels of the screen it is on.
class MainForm : public DesignSurface {
    Q_OBJECT
public:
    explicit MainForm(QWidget* parent = nullptr);

    // 1 is the design's size.
    void setZoom(double zoom);
    double zoom() const { return zoomFactor; }
    // Lays everything out afresh on the device pixels of the screen the form is on now.
    void relayout();
    // The size a picture is read at to show pixel for pixel.
    QSize pictureSize() const;

    // The picture and difficulty buttons answer only between games.
    void setBrowsing(bool on);
    void showDifficulty(int gridSize);
    // What a screen reader says of the picture on show, and that a picture has come whole.
    void describe(int pictureNumber, int gridSize);
    void tellWhole();

    PictureBox* const work;
    PictureBox* const source;
    PictureBox* const display;
    // Made after the buttons, as the design stacks them.
    BoardView* board;

signals:
    void stepPicture(bool forward);
    void cycleDifficulty(bool forward);
    // The layout changed: a new zoom or another screen.
    void rescaled();

protected:
    void moveEvent(QMoveEvent* event) override;

private:
    // A picture button sinks from `rest` to `pressed` (design pixels) while any mouse button
    // holds it down, and acts on the press; the release only lifts it back.
    struct Button {
        ImageControl* control;
        QImage art;
        QPoint rest;
        QPoint pressed;
    };
    ImageControl* addButton(const char* name, const QImage& art, QPoint rest, QPoint pressed, const QString& caption,
                            const QString& keys, std::function<void()> action);
    void placeButton(const Button& button, bool down);
    void placeLabel(QLabel* label, QPoint at);

    double zoomFactor = 1;
    std::vector<Button> buttons;
    ImageControl* difficultyButton;
    QLabel* difficultyLabel;
    QLabel* pickLabel;
    ImageControl* previousButton;
    ImageControl* nextButton;
};

} // namespace vellumi
