#include "game/Board.h"
#include "game/GameSession.h"
#include "game/KeptGame.h"
#include "game/PictureCount.h"
#include "game/Records.h"
#include "game/Scramble.h"
#include "game/Selection.h"

#include <QTest>

#include <algorithm>
#include <array>
#include <numeric>
#include <sstream>
#include <vector>

using namespace vellumi;
Q_DECLARE_METATYPE(vellumi::CountError)

namespace {

enum Step { Left, Right, Up, Down };

// Offers the walk these directions: the prefix once, then the cycle for ever.
Rnd directions(std::vector<Step> prefix, std::vector<Step> cycle)
{
    return [=, i = std::size_t{0}]() mutable {
        const Step d = i < prefix.size() ? prefix[i] : cycle[(i - prefix.size()) % cycle.size()];
        ++i;
        return float(d) / 4.0f + 0.1f;
    };
}

// A 3 × 3 board in order but for the blank, which has swapped places with the tile at `blank`.
GameState boardWithBlankAt(int blank)
{
    GameState s;
    std::iota(s.board.begin(), s.board.begin() + 9, std::int16_t(0));
    std::swap(s.board[8], s.board[blank]);
    s.blankPos = static_cast<std::int16_t>(blank);
    return s;
}

} // namespace

class GameTest : public QObject {
    Q_OBJECT
private slots:
    void theWalkCountsOnlyMovesThatHappen_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("viaTopLeft");
        for (int n = minGridSize; n <= maxGridSize; ++n)
            for (bool viaTopLeft : {false, true})
                QTest::addRow("%dx%d, refused %s", n, n, viaTopLeft ? "left/up" : "right/down") << n << viaTopLeft;
    }

    // Draws that point off the board are drawn again and not counted, so where the blank stops
    // and how many draws the walk took pin the count of moves at exactly n⁴.
    void theWalkCountsOnlyMovesThatHappen()
    {
        QFETCH(int, n);
        QFETCH(bool, viaTopLeft);
        GameState s;
        s.gridSize = static_cast<std::int16_t>(n);
        s.startBoard.fill(77); // as a larger earlier game may have left it
        // The walk starts at the bottom right; n − 1 moves left and n − 1 up take it to the top left.
        std::vector<Step> prefix(viaTopLeft ? n - 1 : 0, Left);
        prefix.resize(2 * prefix.size(), Up);
        // From a corner, two draws lead off the board, then two moves go out and back.
        const auto cycle = viaTopLeft ? std::vector{Left, Up, Right, Left} : std::vector{Right, Down, Left, Right};
        const int corner = viaTopLeft ? 0 : n * n - 1;
        const int taken = scrambleBoard(s, directions(prefix, cycle));

        const int cycled = n * n * n * n - int(prefix.size());
        QCOMPARE(taken, int(prefix.size()) + 2 * cycled + cycled % 2);
        // An odd count ends on a lone move out of the corner.
        QCOMPARE(int(s.startBlank), cycled % 2 ? corner + (viaTopLeft ? 1 : -1) : corner);
        QVERIFY(s.blankPos == s.startBlank && s.startBoard[s.startBlank] == s.blankTile());
        QCOMPARE(s.startBoard[n * n], std::int16_t(77));
        std::vector<int> cells(s.startBoard.begin(), s.startBoard.begin() + n * n), order(n * n);
        std::iota(order.begin(), order.end(), 0);
        QVERIFY(std::is_permutation(cells.begin(), cells.end(), order.begin()));

        // A reset brings back what the walk left, and only that.
        s.board.fill(5);
        s.blankPos = -1;
        resetBoard(s);
        QVERIFY(std::equal(s.board.begin(), s.board.begin() + n * n, s.startBoard.begin()));
        QVERIFY(s.board[n * n] == 5 && s.blankPos == s.startBlank);
    }

    void onlyTheBlanksFourNeighboursSlide()
    {
        for (int cell = -1; cell <= 9; ++cell) {
            GameState s = boardWithBlankAt(4);
            const PressResult result = pressCell(s, cell);
            const bool neighbour = cell == 1 || cell == 3 || cell == 5 || cell == 7;
            QCOMPARE(result.moved, neighbour);
            QCOMPARE(int(s.blankPos), neighbour ? cell : 4);
            QCOMPARE(int(s.board[4]), neighbour ? cell : 8);
        }
        // Next to the blank by number but in another row, or by row and column but off the board;
        // and the very first cell, which does slide.
        const std::array<std::array<int, 3>, 5> cases{{{3, 2, 0}, {5, 6, 0}, {6, 9, 0}, {0, -1, 0}, {1, 0, 1}}};
        for (const auto [blank, cell, slides] : cases) {
            GameState s = boardWithBlankAt(blank);
            QVERIFY2(pressCell(s, cell).moved == bool(slides), qPrintable(QString::number(cell)));
        }
    }

    void everyPressIsJudgedForCompletion()
    {
        GameState s = boardWithBlankAt(7); // 0 1 2 3 4 5 6 8 7
        QVERIFY(!pressCell(s, 0).solved);
        const PressResult last = pressCell(s, 8);
        QVERIFY(last.moved && last.solved && s.blankPos == 8);
        // A board already in order is whole at the next press, though nothing moves.
        QVERIFY(pressCell(s, 0).solved);
        // What lies beyond the board does not count.
        s.board[9] = 30;
        QVERIFY(isSolved(s));
        s.gridSize = 4;
        QVERIFY(!isSolved(s));
    }

    // A game as a player plays it: moves, undo, redo and a restart mixed, each step back or forth
    // giving exactly the board that was there and a new move forgetting what lay ahead; a
    // picture made whole by a press or by an undo ends it. Between games nothing acts.
    void aSessionKeepsItsWayAndEndsWhenThePictureIsWhole()
    {
        GameSession game;
        QVERIFY(!game.press(7).moved && !game.undo().moved && !game.restart() && !game.isRunning());
        game.start(directions({}, {Left, Right})); // 81 moves: blank at 7, one slide from home
        const BoardArray start = game.state().board;
        QVERIFY(game.isRunning() && game.state().blankPos == 7 && start == game.state().startBoard);
        QVERIFY(game.press(6).moved && game.press(3).moved && !game.press(8).moved);
        const BoardArray twoIn = game.state().board;
        QVERIFY(game.undo().moved && game.undo().moved && !game.undo().moved && game.state().board == start);
        QVERIFY(game.redo().moved && game.redo().moved && !game.redo().moved && game.state().board == twoIn);
        QVERIFY(game.restart() && !game.restart() && game.state().board == start && game.state().blankPos == 7);
        QVERIFY(game.undo().moved && game.state().board == twoIn && game.state().blankPos == 3);
        QVERIFY(game.press(4).moved && !game.redo().moved);
        QVERIFY(game.restart() && game.press(8).solved && !game.isRunning() && !game.press(7).moved);

        game.chooseGridSize(4);
        game.start(directions({}, {Left, Right})); // an even walk: the picture starts whole
        QVERIFY(game.press(14).moved && game.isRunning());
        QVERIFY(game.undo().solved && !game.isRunning() && !game.redo().moved);
    }

    // Moves are the length of the way taken, whoever made them; time runs only while the game
    // is played and seen, and stops with the picture whole.
    void aSessionCountsMovesAndTime()
    {
        auto now = std::chrono::steady_clock::time_point{};
        GameSession game([&] { return now; });
        const auto later = [&](int ms) { now += std::chrono::milliseconds(ms); };
        game.start(directions({}, {Left, Right})); // blank at 7, one slide from home
        later(1000);
        QVERIFY(game.press(6).moved && game.press(3).moved && game.undo().moved && game.redo().moved);
        QCOMPARE(game.moves(), 2);
        game.markHelped();
        QVERIFY(game.restart() && game.moves() == 0 && game.undo().moved && game.moves() == 2);
        game.setClockRunning(false);
        later(5000);
        game.setClockRunning(true);
        later(500);
        QCOMPARE(game.playTime().count(), 1500);

        // Kept and played on: the same board, way, moves and time, the clock paused till asked.
        KeptGame kept = game.keep();
        kept.picture = "/p.jpg";
        kept.content = std::string(64, '0');
        QCOMPARE(parseKeptGame(formatKeptGame(kept)), kept);
        GameSession again([&] { return now; });
        QVERIFY(again.resume(kept) && again.isRunning() && again.isHelped());
        QVERIFY(again.state().board == game.state().board && again.moves() == 2);
        later(700);
        again.setClockRunning(true);
        later(300);
        QVERIFY(again.undo().moved && again.undo().moved && again.moves() == 0 && again.playTime().count() == 1800);
        QVERIFY(again.press(8).solved);
        later(900);
        QCOMPARE(again.playTime().count(), 1800);
        kept.steps = {0}; // not beside the blank
        QVERIFY(!again.resume(kept));
        kept.steps.clear();
        kept.position = 0;
        kept.startBoard.push_back(9); // a board of another size than the game's
        QVERIFY(!again.resume(kept));
    }

    // Kept games and records not as written are refused whole; a best counts only unhelped games.
    void ownFilesReadBackOnlyAsWritten()
    {
        KeptGame kept{"/a\n%b", std::string(64, 'f'), 3, {0, 1, 2, 3, 4, 5, 6, 8, 7}, {7, -1}, 1, 1, false};
        const std::string text = formatKeptGame(kept);
        QCOMPARE(parseKeptGame(text), kept);
        for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{{"0,1,2", "1,0,2"},
                                                                                       {"6,8,7", "6,8,8"},
                                                                                       {"=7,R", "=7,"},
                                                                                       {"=7,R", "=9"},
                                                                                       {"size=3", "size=7"},
                                                                                       {"time=1", "time=-1"},
                                                                                       {"helped=0\n", "helped=0"},
                                                                                       {"position=1", "position=3"},
                                                                                       {"ff\n", "fF\n"}})
            QVERIFY2(!parseKeptGame(std::string(text).replace(text.find(from), from.size(), to)), to.c_str());
        QVERIFY(!parseKeptGame(text + "size=3\n") && !parseKeptGame(text.substr(1)));

        Records records;
        const Records::Key key{std::string(64, 'a'), 4};
        QVERIFY(!records.add(key, "x", 50, 9000, true).moves);
        const NewBest first = records.add(key, "y", 60, 9000, false);
        const NewBest second = records.add(key, "z\n", 55, 9500, false);
        QVERIFY(first.moves && first.time && second.moves && !second.time);
        const Record& record = records.all().at(key);
        QVERIFY(record.finished == 3 && record.fewestMoves == 55 && record.shortestMilliseconds == 9000);
        // A game over at its first press, made with the clock stopped, is a record too.
        records.add({std::string(64, 'b'), 3}, "w", 0, 0, false);
        QCOMPARE(Records::parse(records.format())->all(), records.all());
        QVERIFY(!Records::parse(records.format() + records.format().substr(18)));
    }

    void anArrowSlidesTheTileOnItsSideOfTheBlank_data()
    {
        QTest::addColumn<int>("blank");
        QTest::addColumn<QList<int>>("cells"); // for left, right, up, down; -1: none
        QTest::newRow("top-left corner") << 0 << QList<int>{1, -1, 3, -1};
        QTest::newRow("bottom-right corner") << 8 << QList<int>{-1, 7, -1, 5};
        QTest::newRow("left edge") << 3 << QList<int>{4, -1, 6, 0};
        QTest::newRow("right edge") << 5 << QList<int>{-1, 4, 8, 2};
        QTest::newRow("centre") << 4 << QList<int>{5, 3, 7, 1};
    }

    void anArrowSlidesTheTileOnItsSideOfTheBlank()
    {
        QFETCH(int, blank);
        QFETCH(QList<int>, cells);
        const GameState s = boardWithBlankAt(blank);
        for (Direction d : {Direction::Left, Direction::Right, Direction::Up, Direction::Down})
            QCOMPARE(cellSliding(s, d).value_or(-1), cells[int(d)]);
    }

    void difficultyAndPicturesCycle()
    {
        QCOMPARE((QList<int>{nextGridSize(3), nextGridSize(5), nextGridSize(6), nextGridSize(7)}), (QList{4, 6, 3, 7}));
        QCOMPARE((QList<int>{previousGridSize(3), previousGridSize(4), previousGridSize(6), previousGridSize(2)}),
                 (QList{6, 3, 5, 2}));
        QCOMPARE((QList<int>{nextPicture(4, 5), nextPicture(5, 5), nextPicture(32767, 32767)}), (QList{5, 1, 1}));
        QCOMPARE((QList<int>{previousPicture(2, 5), previousPicture(1, 5)}), (QList{1, 5}));
    }

    void readsTheFirstFieldOfTheCountFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("value");
        QTest::addColumn<CountError>("error");
        const auto row = [](const char* name, const QByteArray& content, int value, CountError error) {
            QTest::newRow(name) << content << value << error;
        };
        row("a comma ends the field", "3,", 3, CountError::None);
        row("blank lines, blanks, a second field", "\n\n  5 4", 5, CountError::None);
        row("CRLF", "7\r\n9", 7, CountError::None);
        row("byte-order mark", QByteArray("\xEF\xBB\xBF") + "8\n", 8, CountError::None);
        row("33 leading zeros", QByteArray(33, '0') + "5", 5, CountError::None);
        row("smallest", "-32768", -32768, CountError::None);
        row("largest", "+32767", 32767, CountError::None);
        row("empty", "", 0, CountError::Empty);
        row("digits then letters", "3x", 0, CountError::NotANumber);
        row("a sign alone before the end", "+,", 0, CountError::NotANumber);
        row("an empty first field", ",3", 0, CountError::NotANumber);
        row("a broken byte-order mark", QByteArray("\xEF\xBB") + "8", 0, CountError::NotANumber);
        row("one past the largest", "32768", 0, CountError::OutOfRange);
        row("one past the smallest", "-32769", 0, CountError::OutOfRange);
        row("a hundred digits", QByteArray(100, '9'), 0, CountError::OutOfRange);
    }

    void readsTheFirstFieldOfTheCountFile()
    {
        QFETCH(QByteArray, content);
        std::istringstream in(content.toStdString());
        const PictureCount count = readPictureCount(in);
        QTEST(count.error, "error");
        QTEST(int(count.value), "value");
    }

    void readsNoFurtherThanTheFirstField()
    {
        std::istringstream in("4\n" + std::string(1 << 20, 'x'));
        QCOMPARE(readPictureCount(in).value, std::int16_t(4));
        QCOMPARE(in.tellg(), std::streampos(2));
    }
};

QTEST_GUILESS_MAIN(GameTest)
#include "tst_game.moc"
