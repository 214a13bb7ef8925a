#pragma once

#include "effects/BitBrush.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>

namespace vellumi {

// Fades a picture in from black, or out to black, in 20 steps through a screen of 8 × 8 dot
// patterns. pic1 holds the picture, pic2 is the work surface and pic3 the visible box.
// Between steps the event loop runs for Time milliseconds, with user input held back until the
// fade is over (it is delivered then, not lost), so nothing a player does can start another
// fade or change the game halfway through one.
class PatternFade {
public:
    PatternFade();
    ~PatternFade();

    void pic1(PictureSurface* Acontrol);
    void pic2(PictureSurface* Acontrol);
    void pic3(PictureSurface* Acontrol);

    void FadeIn(std::int16_t Time);
    void FadeOut(std::int16_t Time);
    void Setup();

    static constexpr int stepCount = 20;
    // The eight pattern rows of a step, row 1 first, as text of "0" (picture) and "1" (black).
    static const std::array<std::array<const char*, 8>, stepCount + 1> steps;

    bool isRunning() const { return running; }

private:
    friend class FadeBenchmark;
    enum class Direction { In, Out };
    void BuildBrushes();
    void run(Direction direction, std::int16_t Time);
    void drawStep(int k);
    void pause(std::int16_t Time);

    std::array<std::unique_ptr<BitBrush>, stepCount + 1> brush;
    PictureSurface* m_pic1 = nullptr;
    PictureSurface* m_pic2 = nullptr;
    PictureSurface* m_pic3 = nullptr;
    bool running = false;
    struct Request {
        Direction direction;
        std::int16_t Time;
    };
    std::deque<Request> waiting;
};

} // namespace vellumi
