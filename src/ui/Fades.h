#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QTimer;
class QWidget;

namespace vellumi {

class InputHold;
class PatternFade;
class PictureBox;

// The design's fades, one at a time, between the display and its source: the opening fade in,
// a second after start-up and once only, and the fades out that start and end a game. While a
// fade out runs the player's input waits, and then acts, in order, on the finished command.
class Fades : public QObject {
    Q_OBJECT
public:
    Fades(QWidget& window, PictureBox& source, PictureBox& work, PictureBox& display);
    ~Fades() override;

    // The pause after each of the 20 steps: 100 ms in the game.
    void setStepTime(int milliseconds) { stepTime = milliseconds; }
    bool isRunning() const;
    // The pattern's cell in device pixels, from the next step on.
    void setPixelSize(int pixels);
    void startOpening(std::function<void()> opened);
    void fadeOutThen(std::function<void()> rest);

private:
    QWidget& window;
    PictureBox& source;
    PictureBox& work;
    PictureBox& display;
    QTimer* openingTimer;
    std::unique_ptr<PatternFade> fade;
    std::unique_ptr<InputHold> inputHold;
    int stepTime = 100;
    int pixelSize = 1;
};

} // namespace vellumi
