#include "system/LatestTask.h"

namespace vellumi {

LatestTask::~LatestTask()
{
    worker.request_stop();
}

void LatestTask::run(Task task)
{
    waiting = std::move(task);
    if (running)
        worker.request_stop();
    else
        startNext();
}

void LatestTask::cancel()
{
    waiting.reset();
    worker.request_stop();
}

void LatestTask::startNext()
{
    if (!waiting)
        return;
    // The task before has posted its end, so its thread has all but returned.
    if (worker.joinable())
        worker.join();
    running = true;
    worker = std::jthread([this, task = *std::exchange(waiting, std::nullopt)](std::stop_token stop) {
        std::function<void()> deliver = task(stop);
        // Posted, never called from here: an object being destroyed takes its posted calls
        // with it, and waits for this thread before it goes.
        QMetaObject::invokeMethod(
            this,
            [this, deliver = std::move(deliver), stop] {
                running = false;
                if (deliver && !stop.stop_requested())
                    deliver();
                startNext();
            },
            Qt::QueuedConnection);
    });
}

} // namespace vellumi
