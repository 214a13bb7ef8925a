#pragma once

#include "effects/BitBrush.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <functional>

namespace vellumi {

// Fades a picture in from black, or out to black, in 20 steps through a screen of 8 × 8 dot
// patterns, one step per tick of a precise timer. The caller goes on at once; what should
// follow the fade is passed as `then`. Holding back the player's input meanwhile is the
// window's business, not the fade's.
class PatternFade : public QObject {
    Q_OBJECT
public:
    // source holds the whole picture, work is the surface the masks are drawn on, target the
    // visible box. None is owned; all must outlive the fade. The source and work boxes are
    // given the target's outer size here.
    PatternFade(PictureSurface& source, PictureSurface& work, PictureSurface& target, QObject* parent = nullptr);
    ~PatternFade() override;

    // The first step is drawn before these return, each further one stepMs later, and `then`
    // runs stepMs after the last, so a fade lasts stepCount × stepMs. One fade at a time.
    void fadeIn(int stepMs, std::function<void()> then = {});
    void fadeOut(int stepMs, std::function<void()> then = {});
    // The pattern's cells in pixels of the surfaces: the screen's scale, rounded, so that each
    // is a whole number of device pixels. 1 until set.
    void setPixelSize(int pixels) { pixelSize = pixels; }
    // True from the start of a fade until just before its `then` runs.
    bool isRunning() const { return stepsDrawn > 0; }

    static constexpr int stepCount = 20;
    // The eight pattern rows of a step, row 1 first, as text of "0" (picture) and "1" (black).
    static const std::array<std::array<const char*, 8>, stepCount + 1> steps;

private:
    friend class FadeBenchmark;
    enum class Direction { In, Out };
    void start(Direction direction, int stepMs, std::function<void()> then);
    void buildBrushes();
    void tick();
    void drawStep(int k);
    void scheduleNextTick();

    PictureSurface& source;
    PictureSurface& work;
    PictureSurface& target;
    std::array<BitBrush, stepCount + 1> brushes; // brushes[k] draws step k
    QTimer timer;
    // Ticks are due at whole multiples of stepMs from the start, so a late tick does not delay
    // the rest of the fade.
    QElapsedTimer clock;
    Direction direction = Direction::In;
    int stepMs{};
    int stepsDrawn{};
    int pixelSize = 1;
    std::function<void()> whenDone;
};

} // namespace vellumi
