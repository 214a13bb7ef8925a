#pragma once

#include <chrono>
#include <functional>

namespace vellumi {

// The time a game has been played: it runs only while the board can be played and the player
// can see it, so it is paused and resumed from outside, and stopped for good when the picture
// is whole. The time source is given, so that tests need not wait.
class PlayClock {
public:
    using Time = std::chrono::steady_clock::time_point;
    using Now = std::function<Time()>;

    explicit PlayClock(Now now = std::chrono::steady_clock::now)
        : now(std::move(now))
    {
    }

    // From `elapsed`, paused until resumed.
    void reset(std::chrono::milliseconds elapsed = {})
    {
        before = elapsed;
        running = false;
    }
    void resume()
    {
        if (!running)
            since = now();
        running = true;
    }
    void pause()
    {
        before = elapsed();
        running = false;
    }
    bool isRunning() const { return running; }
    std::chrono::milliseconds elapsed() const
    {
        return before + (running ? std::chrono::duration_cast<std::chrono::milliseconds>(now() - since)
                                 : std::chrono::milliseconds{});
    }

private:
    Now now;
    std::chrono::milliseconds before{};
    Time since{};
    bool running = false;
};

} // namespace vellumi
