#include "system/LatestTask.h"

#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace vellumi {

namespace {

// A task that runs until it is stopped, saying so, and would answer `answer`.
LatestTask::Task untilStopped(std::atomic<bool>& stopped, std::function<void()> answer)
{
    return [&stopped, answer = std::move(answer)](std::stop_token stop) {
        for (int i = 0; i < 100'000 && !stop.stop_requested(); ++i) // 100 s unless stopped
            std::this_thread::sleep_for(1ms);
        stopped = stop.stop_requested();
        return answer;
    };
}

} // namespace

class LatestTaskTest : public QObject {
    Q_OBJECT
private slots:
    void onlyTheNewestAnswerArrives();
    void aCancelBeforeTheAnswerArrivesHolds();
    void destroyedMidTaskItStopsTheTaskAndDropsTheAnswer();
};

void LatestTaskTest::onlyTheNewestAnswerArrives()
{
    LatestTask task;
    QStringList answers;
    std::atomic<bool> stopped{};
    task.run(untilStopped(stopped, [&] { answers << "stale"; }));
    task.run([&](std::stop_token) -> std::function<void()> { return [&] { answers << "overtaken"; }; });
    task.run([&](std::stop_token) -> std::function<void()> { return [&] { answers << "newest"; }; });
    QTRY_VERIFY(!task.isBusy());
    QVERIFY(stopped);
    QCOMPARE(answers, QStringList{"newest"});
}

void LatestTaskTest::aCancelBeforeTheAnswerArrivesHolds()
{
    LatestTask task;
    std::atomic<bool> answered{};
    bool delivered = false;
    task.run([&](std::stop_token) -> std::function<void()> {
        answered = true;
        return [&] { delivered = true; };
    });
    // Found and posted, but not yet arrived: no event has been handled since.
    while (!answered)
        std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(20ms);
    task.cancel();
    QTRY_VERIFY(!task.isBusy());
    QVERIFY(!delivered);
}

void LatestTaskTest::destroyedMidTaskItStopsTheTaskAndDropsTheAnswer()
{
    std::atomic<bool> stopped{};
    bool delivered = false;
    {
        LatestTask task;
        task.run(untilStopped(stopped, [&] { delivered = true; }));
        std::this_thread::sleep_for(20ms);
    }
    QVERIFY(stopped);
    QCoreApplication::processEvents();
    QVERIFY(!delivered);
}

} // namespace vellumi

QTEST_GUILESS_MAIN(vellumi::LatestTaskTest)
#include "tst_system.moc"
