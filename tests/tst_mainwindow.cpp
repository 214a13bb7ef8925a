#include "DataFolder.h"
#include "WindowDriver.h"

#include "app/FatalError.h"
#include "files/PictureFile.h"
#include "files/Settings.h"
#include "game/Board.h"
#include "ui/AboutDialog.h"
#include "ui/Appearance.h"
#include "ui/Artwork.h"
#include "ui/BoardView.h"
#include "ui/ImageControl.h"
#include "ui/MainWindow.h"
#include "ui/PictureBox.h"
#include "ui/ProblemBox.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumi {

// The window as a player first meets it: its opening, its design, the board it shows, the
// buttons between games, input during fades, and problems told of.
class MainWindowTest : public WindowTest {
    Q_OBJECT
private slots:
    void init() { clearHome(); }
    void startUpShowsNothingUntilTheOpeningFadeHasRun();
    void theWindowKeepsItsDesign();
    void everyTileShowsThePieceItsCellHolds_data();
    void everyTileShowsThePieceItsCellHolds();
    void aWholePictureEndsTheGameAtThatPress();
    void theButtonsBrowseAndCycleBetweenGamesOnly();
    void inputDuringAFadeActsAfterIt();
    void manyProblemsMakeOneBox();
};

void MainWindowTest::startUpShowsNothingUntilTheOpeningFadeHasRun()
{
    QVERIFY(testdata::makeDataFolder(dir.path(), "12\n", 1));
    MainWindow w(dir.path());
    QCOMPARE(w.load(), QString());
    QCOMPARE(w.state().picCount, std::int16_t(12));
    w.show();
    QVERIFY(!w.isEnabled());
    QVERIFY(control<PictureBox>(w, "Picture3")->picture().isNull() &&
            shownPicture(w).pixel(0, 0) == qRgb(0, 0, 0)); // black

    // A press on the menu while the window is disabled opens nothing, then or later.
    auto* timer = control<QTimer>(w, "Timer1");
    QTest::qWait(900); // the opening fade waits a second; timers never fire early
    QVERIFY(!w.isFading());
    QTRY_VERIFY_WITH_TIMEOUT(w.isFading(), 3000);
    QTest::mouseClick(w.menuBar(), Qt::LeftButton, {},
                      w.menuBar()->actionGeometry(w.menuBar()->actions().first()).center());
    QVERIFY(timer->isActive() && timer->timerType() == Qt::PreciseTimer); // never up to 5 % late, as a coarse one is
    QTRY_VERIFY_WITH_TIMEOUT(w.isEnabled(), 5000);
    QVERIFY(!w.isFading() && !timer->isActive());
    QVERIFY(!control(w, "E_games")->isVisible());
    QCOMPARE(shownPicture(w), testdata::decoded(dir.path(), 1));
}

void MainWindowTest::theWindowKeepsItsDesign()
{
    const auto w = openedWindow();
    QCOMPARE(w->objectName(), QStringLiteral("frmmain"));
    QCOMPARE(w->centralWidget()->size(), QSize(497, 422));
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    // A picture box painted before anything was set in it: its border around the button colour.
    QWidget form;
    PictureBox bare(&form);
    bare.setDeviceGeometry(QRect(0, 0, 20, 20), 1);
    const QImage painted = bare.grab().toImage();
    QVERIFY(painted.pixel(10, 10) == bare.palette().color(QPalette::Button).rgb() &&
            painted.pixel(0, 0) == bare.palette().color(QPalette::Dark).rgb());
    QVERIFY(QApplication::style()->name() == "fusion" && QApplication::font().pixelSize() == 12);
    for (auto [name, geometry] : {std::pair{"Picture3", QRect(8, 12, 484, 364)},
                                  {"imgchage", QRect(80, 392, 14, 12)},
                                  {"imgprev", QRect(433, 392, 12, 12)},
                                  {"imgnext", QRect(476, 392, 12, 12)}})
        QCOMPARE(control(*w, name)->geometry(), geometry);
    // Each label starts where the design puts it and ends before the button beside it.
    QCOMPARE(control(*w, "labchage")->geometry().topLeft(), QPoint(8, 392));
    QCOMPARE(control(*w, "Label1")->geometry().topLeft(), QPoint(449, 392));
    QVERIFY(control(*w, "labchage")->geometry().right() < 80 && control(*w, "Label1")->geometry().right() < 476);
    // Its lines and borders, pixel for pixel: tst_scaling, at every ratio.
    QCOMPARE(said(*w, "imgprev") + said(*w, "imgnext") + said(*w, "imgchage"),
             QStringLiteral("上一张下一张改变难易度"));
    QStringList menu;
    for (QAction* action : control<QMenu>(*w, "E_games")->actions())
        menu << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(menu.join('|'),
             QStringLiteral("开始游戏(&game)|重新开始(&replay)|-|使用帮助(&help)|注册版权(&option)|-|退出游戏(&exit)"));
    // The icon, a rainbow arch in the 16 classic colours, and the buttons' black shapes over
    // grey shadows, as drawn and looked at: pixel for pixel.
    for (auto [name, picture] : {std::pair{"icon", artwork::windowIcon()},
                                 {"previous", artwork::previousButton()},
                                 {"next", artwork::nextButton()},
                                 {"difficulty", artwork::difficultyButton()}})
        QCOMPARE(picture,
                 QImage(QFINDTESTDATA(QStringLiteral("artwork/%1.png").arg(name))).convertToFormat(picture.format()));
    // A screen reader meets only named things: nothing unnamed is left showing.
    for (QWidget* child : w->centralWidget()->findChildren<QWidget*>())
        QVERIFY2(!child->isVisible() ||
                     !QAccessible::queryAccessibleInterface(child)->text(QAccessible::Name).isEmpty(),
                 qPrintable(child->objectName()));
}

void MainWindowTest::everyTileShowsThePieceItsCellHolds_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QList<int>>("lefts");
    QTest::addColumn<QList<int>>("tops");
    // Tiles of 160 × 120 (3 × 3) or 80 × 60 (6 × 6) plus the border, spaced in twips less the
    // 20-twip overlap, then rounded to pixels: the steps are not all the same.
    QTest::newRow("3x3") << 3 << QList<int>{8, 169, 329} << QList<int>{11, 132, 253};
    QTest::newRow("4x4") << 4 << QList<int>{} << QList<int>{};
    QTest::newRow("5x5") << 5 << QList<int>{} << QList<int>{};
    QTest::newRow("6x6") << 6 << QList<int>{8, 89, 169, 250, 331, 411} << QList<int>{11, 72, 133, 193, 254, 315};
}

// A game of the chosen picture and size, played at random: after every press the board shown
// is the board held and only a move sounds; a restart shows the start again, silently.
void MainWindowTest::everyTileShowsThePieceItsCellHolds()
{
    QFETCH(int, n);
    QFETCH(QList<int>, lefts);
    QFETCH(QList<int>, tops);
    const auto w = openedWindow();
    w->setRandomSource(seeded(n));
    click(control(*w, "imgnext"));
    click(control(*w, "imgnext"));
    for (int size = 3; size < n; ++size)
        click(control(*w, "imgchage"));
    sounds.clear();
    startGame(*w);
    QCOMPARE(w->state().gridSize, std::int16_t(n));
    QVERIFY(sounds.isEmpty());
    checkBoardShown(*w, 3);
    for (int k = 0; k < lefts.size() * lefts.size(); ++k) {
        QCOMPARE(tile(*w, k)->pos(), QPoint(lefts[k % n], tops[k / n]));
        QCOMPARE(tile(*w, k)->size(), QSize(480 / n + 2, 360 / n + 2));
    }
    const GameState start = w->state();

    std::mt19937 cells(n);
    int moves = 0;
    for (int i = 0; i < 40; ++i) {
        const int cell = std::uniform_int_distribution<int>(0, n * n - 1)(cells);
        if (tile(*w, cell)->isVisible()) {
            i % 2 ? press(tile(*w, cell)) : pressAloud(tile(*w, cell));
            moves += w->state().blankPos == cell;
        }
        checkBoardShown(*w, 3);
        QCOMPARE(sounds.size(), moves);
    }
    QVERIFY(moves > 0);

    command(*w, "E_restart")->trigger();
    QCOMPARE(w->state().board, start.board);
    QCOMPARE(w->state().blankPos, start.blankPos);
    checkBoardShown(*w, 3);
    QCOMPARE(sounds.size(), moves);
    QVERIFY(!w->isFading());
}

// The press that makes the picture whole ends the game: the board gives way to the picture,
// which fades out and comes back whole. A board that starts in order ends at its first press,
// though nothing moves; and each new game is scrambled afresh.
void MainWindowTest::aWholePictureEndsTheGameAtThatPress()
{
    const auto w = openedWindow();
    w->setRandomSource(leftAndRight());
    startGame(*w);
    QCOMPARE(w->state().blankPos, std::int16_t(7));
    press(tile(*w, 0)); // not beside the blank: nothing moves, nothing sounds
    QVERIFY(sounds.isEmpty());
    press(tile(*w, 8));
    QCOMPARE(sounds, QStringList{dir.filePath("move.wav")}); // the move's sound, and none for the end
    QVERIFY(w->isFading());
    QCOMPARE(said(*w, "Picture3", QAccessible::Description), QStringLiteral("拼图完成"));
    checkBrowsing(*w, 1);

    click(control(*w, "imgchage"));
    startGame(*w);
    sounds.clear();
    press(tile(*w, 0));
    QVERIFY(sounds.isEmpty());
    checkBrowsing(*w, 1);

    w->setRandomSource(seeded(7));
    startGame(*w);
    QVERIFY(!isSolved(w->state()));
    checkBoardShown(*w, 1);
}

void MainWindowTest::theButtonsBrowseAndCycleBetweenGamesOnly()
{
    const auto w = openedWindow();
    auto* next = control(*w, "imgnext");
    auto* previous = control(*w, "imgprev");
    auto* difficulty = control(*w, "imgchage");
    const QImage source = control<PictureBox>(*w, "Picture1")->picture();

    // Any button sinks them by a pixel and acts; the release lifts them again.
    for (auto [button, sunk, mouse] : {std::tuple{previous, QPoint(432, 393), Qt::LeftButton},
                                       {next, QPoint(477, 393), Qt::RightButton},
                                       {difficulty, QPoint(81, 393), Qt::LeftButton}}) {
        const QPoint rest = button->pos();
        press(button, mouse);
        QCOMPARE(button->pos(), sunk);
        QTest::mouseRelease(button, mouse, {}, QPoint(2, 2));
        QCOMPARE(button->pos(), rest);
    }
    QCOMPARE(control<QLabel>(*w, "labchage")->text(), QStringLiteral("难易度:中级"));
    for (int picture = 1; picture <= 5; ++picture, pressAloud(next))
        QVERIFY(w->state().picNo == picture && shownPicture(*w) == testdata::decoded(dir.path(), picture));
    QCOMPARE(control<PictureBox>(*w, "Picture1")->picture(), source); // the fade's source waits for a game

    for (const char* caption : {"难易度:高级", "难易度:特级", "难易度:初级"}) {
        click(difficulty);
        QCOMPARE(control<QLabel>(*w, "labchage")->text(), QString::fromUtf8(caption));
        QCOMPARE(said(*w, "Picture3", QAccessible::Description), QString::fromUtf8(caption));
    }
    QCOMPARE(said(*w, "Picture3"), QStringLiteral("第1张图片"));
    QCOMPARE(sounds.size(), 11);

    // Locked while a game runs, and drawn so: nothing changes, nothing sounds. The labels keep
    // their look.
    const auto bottomBar = [&] { return w->centralWidget()->grab(QRect(0, 385, 497, 30)).toImage(); };
    const QImage browsing = bottomBar();
    QCOMPARE(control(*w, "imgnext")->grab().toImage().convertToFormat(QImage::Format_RGB32), artwork::nextButton());
    startGame(*w);
    for (QWidget* button : {next, previous, difficulty})
        clickOnWindow(button), pressAloud(button); // nor through a screen reader
    QVERIFY(w->state().picNo == 1 && w->state().gridSize == 3);
    QCOMPARE(sounds.size(), 11);
    const QImage playing = bottomBar();
    for (const char* name : {"imgchage", "imgprev", "imgnext", "labchage", "Label1"}) {
        const QRect at = control(*w, name)->geometry().translated(0, -385);
        QCOMPARE(playing.copy(at) != browsing.copy(at), QByteArray(name).startsWith("img"));
    }
    command(*w, "E_exit")->trigger();
    QCOMPARE(bottomBar(), browsing);
}

// Presses during the start and end fades wait, in order, for the fade and the rest of its
// command; what is chosen from a menu then acts on the finished state.
void MainWindowTest::inputDuringAFadeActsAfterIt()
{
    const auto w = openedWindow();
    w->setRandomSource(leftAndRight());
    w->setFadeStepTime(20);
    QMenu* menu = control<QMenu>(*w, "E_games");
    bool boardWasShown = false;
    connect(menu, &QMenu::aboutToShow, w.get(), [&] {
        boardWasShown = tile(*w, 0)->isVisible();
        QTimer::singleShot(0, menu, [&] { menu->close(), command(*w, "E_exit")->trigger(); });
    });
    QTimer::singleShot(100, w.get(), [&] { press(control(*w, "Picture3"), Qt::RightButton); });
    command(*w, "E_game")->trigger();
    QTRY_VERIFY(command(*w, "E_game")->isEnabled());
    QVERIFY(boardWasShown);

    // The finishing move's fade: the next picture is asked for during it, and shown after it.
    startGame(*w);
    sounds.clear();
    bool heldDuringTheFade = false;
    QTimer::singleShot(100, w.get(), [&] {
        click(control(*w, "imgnext"));
        heldDuringTheFade = w->isFading() && w->state().picNo == 1 && sounds.size() == 1;
    });
    press(tile(*w, 8));
    QTRY_COMPARE(w->state().picNo, std::int16_t(2));
    QVERIFY(heldDuringTheFade);
    QCOMPARE(shownPicture(*w), testdata::decoded(dir.path(), 2));
    QCOMPARE(control(*w, "imgnext")->pos(), QPoint(476, 392)); // the release came after the press

    // N, a key of the window's own, waits for the board like any other. (A pop-up opened and
    // used during a fade is played in a real X window, by the end-to-end test.)
    command(*w, "E_game")->trigger();
    QTest::keyClick(w->windowHandle(), Qt::Key_N);
    const auto numbersOn = [] { return QSettings("vellumi", "vellumi").value("board/numbers").toBool(); };
    QVERIFY(w->isFading() && !numbersOn());
    QTRY_COMPARE(tile(*w, 0)->caption(), QStringLiteral("1"));
    QVERIFY(numbersOn());
}

// However many problems come at once, one box beside the game tells of them, the first eight by
// name; closed, the next problem has a box of its own.
void MainWindowTest::manyProblemsMakeOneBox()
{
    QWidget window;
    ProblemBox problems(&window);
    const QStringList eleven = QStringLiteral("1 2 3 4 5 6 7 8 9 10 11").split(' ');
    problems.tell(eleven.mid(0, 5));
    problems.tell(eleven.mid(5));
    const auto boxes = window.findChildren<QMessageBox*>();
    QVERIFY(boxes.size() == 1 && boxes[0]->isVisible() && !QApplication::activeModalWidget());
    QCOMPARE(boxes[0]->text(), eleven.mid(0, 8).join('\n') + "\n…等 3 个文件");
}

} // namespace vellumi

int main(int argc, char* argv[])
{
    vellumi::MainWindowTest test;
    return vellumi::runWindowTests(argc, argv, test);
}
#include "tst_mainwindow.moc"
