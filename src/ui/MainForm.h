#pragma once

#include "ui/DesignSurface.h"

class QLabel;

namespace vellumi {

class BoardView;
class ImageControl;
class PictureBox;

// The main window's form as the design lays it out: the display and the fade's two hidden
// boxes, the difficulty and picture buttons with their captions, and the board's tiles. It
// says which button was pressed and leaves what that means to the window.
class MainForm : public DesignSurface {
    Q_OBJECT
public:
    explicit MainForm(QWidget* parent = nullptr);

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

private:
    ImageControl* difficultyButton;
    QLabel* difficultyLabel;
    ImageControl* previousButton;
    ImageControl* nextButton;
};

} // namespace vellumi
