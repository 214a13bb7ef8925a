#include "game/Board.h"
#include "game/Solver.h"
#include "play/HintPlayer.h"

#include <QTest>

#include <random>

namespace vellumi {

class PlayTest : public QObject {
    Q_OBJECT
private slots:
    void hintsPressOnTheWayHome();
};

// A hint is one press for the board as it is: one found for a board changed meanwhile is
// dropped, and self-play stopped before its first move presses nothing. Played to the end, the
// game finishes itself, on 3 × 3 in exactly its shortest number of moves.
void PlayTest::hintsPressOnTheWayHome()
{
    GameSession session;
    session.start(
        [generator = std::mt19937(7)]() mutable { return std::uniform_real_distribution<float>(0, 1)(generator); });
    HintPlayer hints(session);
    int presses = 0;
    connect(&hints, &HintPlayer::press, this, [&](int cell) {
        ++presses;
        QVERIFY(session.press(cell).moved);
    });
    hints.hint();
    QTRY_COMPARE(presses, 1);

    hints.hint();
    const auto cell = cellSliding(session.state(), Direction::Left);
    session.press(cell ? *cell : *cellSliding(session.state(), Direction::Right));
    hints.playToTheEnd();
    hints.stopPlaying();
    QTest::qWait(400);
    QCOMPARE(presses, 1);

    const GameState& now = session.state();
    const auto shortest = findWay({3, std::vector<std::int8_t>(now.board.begin(), now.board.begin() + 9)});
    hints.playToTheEnd();
    QTRY_VERIFY_WITH_TIMEOUT(!session.isRunning(), 15000);
    QCOMPARE(presses, 1 + static_cast<int>(shortest->presses.size()));
}

} // namespace vellumi

QTEST_GUILESS_MAIN(vellumi::PlayTest)
#include "tst_play.moc"
