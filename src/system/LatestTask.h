#pragma once

#include <QObject>

#include <functional>
#include <optional>
#include <stop_token>
#include <thread>

namespace vellumi {

// Work off the window's thread where only the newest question counts: a picture to read, a
// hint to find. One task runs at a time; a new one asks the running one to stop and starts as
// soon as it has, so that however fast questions come, one task's time and memory is all they
// cost, and the window never waits. A task gives back what to do with its answer, which is
// done on the owner's thread only if nothing newer was asked or cancelled meanwhile, asked
// when it arrives there, so that a cancel between the posting and the arrival holds too.
class LatestTask : public QObject {
    Q_OBJECT
public:
    // Runs off the window's thread, and should return soon once `stop` is requested.
    using Task = std::function<std::function<void()>(std::stop_token stop)>;

    using QObject::QObject;
    // Asks the running task to stop and waits for it, which a task that listens makes short.
    ~LatestTask() override;

    void run(Task task);
    // Nothing asked so far is delivered any more.
    void cancel();
    // Whether a task is running or waiting to.
    bool isBusy() const { return running || waiting; }

private:
    void startNext();

    std::jthread worker;
    bool running = false;
    std::optional<Task> waiting;
};

} // namespace vellumi
