#include "game/Scramble.h"

#include <QTest>

#include <algorithm>
#include <random>
#include <vector>

using namespace vellumi;

namespace {

// Replays a fixed list of draws forever, so a test knows which directions the walk is offered.
Rnd script(std::vector<float> draws)
{
    return [draws = std::move(draws), i = std::size_t{0}]() mutable { return draws[i++ % draws.size()]; };
}

} // namespace

class ScrambleTest : public QObject {
    Q_OBJECT
private slots:
    void makesExactlyNToTheFourthMovesCountingOnlyDrawsThatMove_data();
    void makesExactlyNToTheFourthMovesCountingOnlyDrawsThatMove();
    void leavesAPermutationWithTheBlankWhereItSaysAndNothingBeyond();
};

void ScrambleTest::makesExactlyNToTheFourthMovesCountingOnlyDrawsThatMove_data()
{
    QTest::addColumn<int>("n");
    for (int n = minGridSize; n <= maxGridSize; ++n)
        QTest::addRow("%dx%d", n, n) << n;
}

void ScrambleTest::makesExactlyNToTheFourthMovesCountingOnlyDrawsThatMove()
{
    QFETCH(int, n);
    // From the bottom-right corner: right and down lead off the board and must not count;
    // left then right are real moves that bring the blank back. Each round of four draws is
    // two moves, so the draws taken and where the blank stops pin the count of moves exactly.
    GameState s;
    s.gridSize = static_cast<std::int16_t>(n);
    const int taken = scrambleBoard(s, script({0.25f, 0.75f, 0.0f, 0.25f}));

    const int moves = n * n * n * n;
    const int corner = n * n - 1;
    if (moves % 2 == 0) {
        QCOMPARE(taken, 2 * moves);
        QCOMPARE(s.startBlank, std::int16_t(corner));
        QCOMPARE(s.startBoard[corner - 1], std::int16_t(corner - 1));
    } else {
        // The last move is a lone "left": the blank and the tile beside it have changed places.
        QCOMPARE(taken, 2 * moves + 1);
        QCOMPARE(s.startBlank, std::int16_t(corner - 1));
        QCOMPARE(s.startBoard[corner], std::int16_t(corner - 1));
    }
    QCOMPARE(s.blankPos, s.startBlank);
    QCOMPARE(s.startBoard[s.startBlank], s.blankTile());
}

void ScrambleTest::leavesAPermutationWithTheBlankWhereItSaysAndNothingBeyond()
{
    std::mt19937 generator(12345);
    std::uniform_real_distribution<float> uniform(0.0f, 1.0f);
    for (int n = minGridSize; n <= maxGridSize; ++n) {
        GameState s;
        s.startBoard.fill(77); // as a larger earlier game may have left it
        s.gridSize = static_cast<std::int16_t>(n);
        scrambleBoard(s, [&] { return uniform(generator); });
        QVERIFY(std::all_of(s.startBoard.begin() + n * n, s.startBoard.end(), [](std::int16_t v) { return v == 77; }));
        std::vector<int> cells(s.startBoard.begin(), s.startBoard.begin() + n * n);
        std::sort(cells.begin(), cells.end());
        for (int k = 0; k < n * n; ++k)
            QCOMPARE(cells[k], k);
        QCOMPARE(s.startBoard[s.startBlank], s.blankTile());
    }
}

QTEST_GUILESS_MAIN(ScrambleTest)
#include "tst_scramble.moc"
