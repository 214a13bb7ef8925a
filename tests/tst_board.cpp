#include "game/Board.h"
#include "game/Selection.h"

#include <QTest>

#include <numeric>

using namespace vellumi;

namespace {

// A 3 × 3 board in order but for the blank, which sits at `blank` after the given swaps.
GameState boardWithBlankAt(int blank)
{
    GameState s;
    s.gridSize = 3;
    std::iota(s.board.begin(), s.board.begin() + 9, std::int16_t(0));
    std::swap(s.board[8], s.board[blank]);
    s.blankPos = static_cast<std::int16_t>(blank);
    return s;
}

} // namespace

class BoardTest : public QObject {
    Q_OBJECT
private slots:
    void onlyTheFourNeighboursOfTheBlankSlide();
    void cellsThatMerelyNumberNextToTheBlankDoNotSlide();
    void theFinishingMoveSolvesTheBoard();
    void onlyTheCellsInPlayCountForCompletion();
    void theDifficultyCyclesThroughFourLevels();
    void picturesWrapAroundBothWays();
};

void BoardTest::onlyTheFourNeighboursOfTheBlankSlide()
{
    for (int cell = 0; cell < 9; ++cell) {
        GameState s = boardWithBlankAt(4);
        const auto moved = slideTile(s, cell);
        const bool neighbour = cell == 1 || cell == 3 || cell == 5 || cell == 7;
        QCOMPARE(moved.has_value(), neighbour);
        if (neighbour) {
            QCOMPARE(*moved, 4);
            QCOMPARE(s.blankPos, std::int16_t(cell));
            QCOMPARE(s.board[cell], std::int16_t(8));
            QCOMPARE(s.board[4], std::int16_t(cell));
        } else {
            QCOMPARE(s.board, boardWithBlankAt(4).board);
        }
    }
}

void BoardTest::cellsThatMerelyNumberNextToTheBlankDoNotSlide()
{
    GameState s = boardWithBlankAt(3); // row 1, column 0
    QVERIFY(!slideTile(s, 2));         // row 0, column 2
    s = boardWithBlankAt(5);           // row 1, column 2
    QVERIFY(!slideTile(s, 6));         // row 2, column 0
    QVERIFY(!slideTile(s, 9));         // past the board
    QVERIFY(!slideTile(s, -1));
    QCOMPARE(s.blankPos, std::int16_t(5));
}

void BoardTest::theFinishingMoveSolvesTheBoard()
{
    GameState s = boardWithBlankAt(7); // 0 1 2 3 4 5 6 8 7
    QVERIFY(!isSolved(s));
    QCOMPARE(slideTile(s, 8), std::optional<int>(7));
    QVERIFY(isSolved(s));
    QCOMPARE(s.blankPos, std::int16_t(8));
}

void BoardTest::onlyTheCellsInPlayCountForCompletion()
{
    GameState s = boardWithBlankAt(8);
    s.board[9] = 30; // left over from a larger game
    s.board[35] = 0;
    QVERIFY(isSolved(s));
    s.gridSize = 6;
    QVERIFY(!isSolved(s));
}

void BoardTest::theDifficultyCyclesThroughFourLevels()
{
    std::int16_t n = 3;
    QStringList captions;
    for (int press = 0; press < 4; ++press) {
        n = nextGridSize(n);
        captions << QString::fromUtf8(difficultyCaption(n));
    }
    QCOMPARE(n, std::int16_t(3));
    QCOMPARE(captions, QStringList({"难易度:中级", "难易度:高级", "难易度:特级", "难易度:初级"}));
    QCOMPARE(nextGridSize(7), std::int16_t(7));
}

void BoardTest::picturesWrapAroundBothWays()
{
    QCOMPARE(nextPicture(5, 5), std::int16_t(1));
    QCOMPARE(previousPicture(1, 5), std::int16_t(5));
    QCOMPARE(nextPicture(2, 5), std::int16_t(3));
    QCOMPARE(nextPicture(1, 1), std::int16_t(1));
    QCOMPARE(previousPicture(1, 1), std::int16_t(1));
    QCOMPARE(nextPicture(32767, 32767), std::int16_t(1));
    QCOMPARE(previousPicture(1, 32767), std::int16_t(32767));
}

QTEST_GUILESS_MAIN(BoardTest)
#include "tst_board.moc"
