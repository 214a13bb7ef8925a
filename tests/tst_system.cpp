#include "system/LatestTask.h"

#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace vellumi {

class SystemTest : public QObject {
    Q_OBJECT
private slots:
    void onlyTheNewestQuestionIsAnswered();
};

// A task overtaken by newer ones is stopped and its answer dropped, as is an answer already
// posted when a cancel comes; a task running when its owner goes is stopped, not waited out.
void SystemTest::onlyTheNewestQuestionIsAnswered()
{
    QStringList answers;
    std::atomic<int> stopped{};
    const auto untilStopped = [&](QString answer) {
        return [&, answer](std::stop_token stop) -> std::function<void()> {
            for (int i = 0; i < 100'000 && !stop.stop_requested(); ++i) // 100 s unless stopped
                std::this_thread::sleep_for(1ms);
            stopped += stop.stop_requested();
            return [&, answer] { answers << answer; };
        };
    };
    const auto at = [&](QString answer) {
        return [&, answer](std::stop_token) -> std::function<void()> { return [&, answer] { answers << answer; }; };
    };
    {
        LatestTask task;
        task.run(untilStopped("stale"));
        task.run(at("overtaken"));
        task.run(at("newest"));
        QTRY_VERIFY(!task.isBusy());
        QCOMPARE(answers, QStringList{"newest"});

        task.run(at("cancelled"));
        // Found and posted, most likely, but not arrived: no event has been handled since.
        std::this_thread::sleep_for(20ms);
        task.cancel();
        QTRY_VERIFY(!task.isBusy());
        task.run(untilStopped("left"));
        std::this_thread::sleep_for(20ms);
    }
    QCOMPARE(stopped, 2);
    QCoreApplication::processEvents();
    QCOMPARE(answers, QStringList{"newest"});
}

} // namespace vellumi

QTEST_GUILESS_MAIN(vellumi::SystemTest)
#include "tst_system.moc"
