#include "DataFolder.h"

#include "game/Scramble.h"
#include "ui/AboutDialog.h"
#include "ui/Appearance.h"
#include "ui/ImageControl.h"
#include "ui/MainWindow.h"
#include "ui/PictureBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <random>

namespace vellumi {

namespace {

// The scramble walks the blank left and right from its corner: an odd number of moves (3 × 3,
// 5 × 5) leaves the board one slide from home, blank at n² − 2; an even one (4 × 4, 6 × 6)
// leaves it in order.
Rnd leftAndRight()
{
    return [i = 0]() mutable { return (i++ % 2) ? 0.3f : 0.1f; };
}

template <typename T = QWidget>
T* control(const QWidget& w, const QString& name)
{
    auto* found = w.findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

ImageControl* tile(const QWidget& w, int cell)
{
    return control<ImageControl>(w, QStringLiteral("picbox(%1)").arg(cell));
}

QAction* command(const QWidget& w, const char* name)
{
    return control<QMenu>(w, "E_games")->findChild<QAction*>(name);
}

QImage shownPicture(const QWidget& w)
{
    return control<PictureBox>(w, "Picture3")->surface();
}

// Through the window, the way the window system delivers a press, so that a modal window or a
// disabled control stops it as it stops a player.
void pressOnWindow(QWidget* widget, Qt::MouseButton button = Qt::LeftButton, QPoint at = {5, 5})
{
    QWidget* window = widget->window();
    QTest::mousePress(window->windowHandle(), button, {}, widget->mapTo(window, at));
    QTest::mouseRelease(window->windowHandle(), button, {}, widget->mapTo(window, at));
}

void press(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(widget, button, {}, QPoint(2, 2));
}

void click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
{
    press(widget, button);
    QTest::mouseRelease(widget, button, {}, QPoint(2, 2));
}

// Runs `look` on the modal window or pop-up that opens next, then closes it.
void whenOpened(std::function<void(QWidget*)> look)
{
    QTimer::singleShot(50, [look = std::move(look)] {
        QWidget* opened = QApplication::activePopupWidget();
        if (!opened)
            opened = QApplication::activeModalWidget();
        look(opened);
        if (opened)
            opened->close();
    });
}

bool settled(const MainWindow& w)
{
    return QTest::qWaitFor([&] { return w.isEnabled() && !w.isFading(); }, 10000);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
public:
    // Scenarios that end the program run in a child process of this test.
    static int runChild(const QString& scenario, const QString& folder);

private slots:
    void init();
    void startUpShowsNothingUntilTheOpeningFadeHasRun();
    void theWindowKeepsItsDesign();
    void everyTileShowsThePieceItsCellHolds_data();
    void everyTileShowsThePieceItsCellHolds();
    void theFinishingMoveEndsTheGameAndTheNextOneScramblesAfresh();
    void aBoardInOrderEndsAtTheNextPressThoughNothingMoves();
    void theButtonsBrowseAndCycleBetweenGamesOnly();
    void inputDuringAFadeActsAfterIt();
    void menuCommandsWorkFromTheMenuAndThePopUp();
    void theCopyrightWindowIsModalAndReused();
    void theProgramEndsCleanly_data();
    void theProgramEndsCleanly();

private:
    // A window past its opening fade, as the player first gets it; its sounds are counted.
    std::unique_ptr<MainWindow> openedWindow(const QByteArray& count = "5", int pictures = 5);
    void checkBoardShown(const MainWindow& w, int picture);

    QTemporaryDir dir;
    QStringList sounds;
};

void MainWindowTest::init()
{
    sounds.clear();
    dir.remove();
    dir = QTemporaryDir();
}

std::unique_ptr<MainWindow> MainWindowTest::openedWindow(const QByteArray& count, int pictures)
{
    if (!testdata::makeDataFolder(dir.path(), count, pictures))
        qFatal("cannot write the data folder");
    auto w = std::make_unique<MainWindow>(dir.path());
    w->setSoundPlayer([this](const QString& file) { sounds << file; });
    w->setFadeStepTime(0);
    w->load();
    w->show();
    control<QTimer>(*w, "Timer1")->start(0);
    if (!settled(*w))
        qFatal("the opening fade never ended");
    return w;
}

// What a player sees of the board must be what the game holds: every cell but the blank shows
// the piece of the tile in it, cut from the picture with the spare pixels dropped at the right
// and bottom, and nothing else shows.
void MainWindowTest::checkBoardShown(const MainWindow& w, int picture)
{
    const QImage whole = testdata::decoded(dir.path(), picture);
    const GameState& game = w.state();
    const int n = game.gridSize;
    const QSize piece(whole.width() / n, whole.height() / n);
    for (int k = 0; k < tileControlCount; ++k) {
        const bool shown = k < n * n && k != game.blankPos;
        QCOMPARE(tile(w, k)->isVisible(), shown);
        if (!shown)
            continue;
        const int t = game.board[k];
        QCOMPARE(tile(w, k)->picture(), whole.copy(t % n * piece.width(), t / n * piece.height(), piece.width(), piece.height()));
    }
    QVERIFY(control<PictureBox>(w, "Picture3")->isHidden());
}

void MainWindowTest::startUpShowsNothingUntilTheOpeningFadeHasRun()
{
    QVERIFY(testdata::makeDataFolder(dir.path(), "12\n", 1));
    MainWindow w(dir.path());
    w.load();
    QCOMPARE(w.state().picCount, std::int16_t(12));
    QCOMPARE(w.state().picNo, std::int16_t(1));
    QCOMPARE(w.state().gridSize, std::int16_t(3));
    w.show();
    QVERIFY(!w.isEnabled());
    for (int k = 0; k < tileControlCount; ++k)
        QVERIFY(!tile(w, k)->isVisible());
    QVERIFY(control<PictureBox>(w, "Picture3")->picture().isNull());

    // A press on the menu while the window is disabled opens nothing, then or later.
    auto* timer = control<QTimer>(w, "Timer1");
    QTRY_VERIFY_WITH_TIMEOUT(w.isFading(), 3000);
    QVERIFY(timer->isActive());
    QTest::mouseClick(w.menuBar(), Qt::LeftButton, {}, w.menuBar()->actionGeometry(w.menuBar()->actions().first()).center());
    QTRY_VERIFY_WITH_TIMEOUT(w.isEnabled(), 5000);
    QVERIFY(!w.isFading());
    QVERIFY(!timer->isActive());
    QVERIFY(!control<QMenu>(w, "E_games")->isVisible());
    QCOMPARE(shownPicture(w), testdata::decoded(dir.path(), 1));
}

void MainWindowTest::theWindowKeepsItsDesign()
{
    const auto w = openedWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QCOMPARE(w->centralWidget()->size(), QSize(497, 422));
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(w->windowTitle(), QStringLiteral("Vellumi"));

    const auto geometryOf = [&](const char* name) { return control(*w, name)->geometry(); };
    QCOMPARE(geometryOf("Picture3"), QRect(8, 12, 484, 364));
    QCOMPARE(geometryOf("imgchage"), QRect(80, 392, 14, 12));
    QCOMPARE(geometryOf("imgprev"), QRect(433, 392, 12, 12));
    QCOMPARE(geometryOf("imgnext"), QRect(476, 392, 12, 12));
    // Each label starts where the design puts it and ends before the button beside it.
    QCOMPARE(geometryOf("labchage").topLeft(), QPoint(8, 392));
    QCOMPARE(geometryOf("Label1").topLeft(), QPoint(449, 392));
    QVERIFY(geometryOf("labchage").right() < geometryOf("imgchage").left());
    QVERIFY(geometryOf("Label1").right() < geometryOf("imgnext").left());

    QStringList menu;
    for (QAction* action : control<QMenu>(*w, "E_games")->actions())
        menu << (action->isSeparator() ? QStringLiteral("-") : action->text() + (action->isEnabled() ? "" : " (off)"));
    QCOMPARE(menu, QStringList({"开始游戏(&game)", "重新开始(&replay) (off)", "-", "使用帮助(&help)", "注册版权(&option)",
                                "-", "退出游戏(&exit)"}));
    QCOMPARE(w->menuBar()->actions().first()->text(), QStringLiteral("游戏(&G)"));
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
// is the board held, and a restart shows the start again, silently.
void MainWindowTest::everyTileShowsThePieceItsCellHolds()
{
    QFETCH(int, n);
    QFETCH(QList<int>, lefts);
    QFETCH(QList<int>, tops);
    const auto w = openedWindow();
    std::mt19937 generator(n);
    w->setRandomSource([&] { return std::uniform_real_distribution<float>(0, 1)(generator); });
    click(control(*w, "imgnext"));
    click(control(*w, "imgnext"));
    for (int size = 3; size < n; ++size)
        click(control(*w, "imgchage"));
    sounds.clear();
    command(*w, "E_game")->trigger();
    QVERIFY(settled(*w));
    QCOMPARE(w->state().picNo, std::int16_t(3));
    QCOMPARE(w->state().gridSize, std::int16_t(n));
    QVERIFY(sounds.isEmpty()); // starting a game is silent
    checkBoardShown(*w, 3);
    for (int k = 0; k < lefts.size() * lefts.size(); ++k) {
        QCOMPARE(tile(*w, k)->pos(), QPoint(lefts[k % n], tops[k / n]));
        QCOMPARE(tile(*w, k)->size(), QSize(480 / n + 2, 360 / n + 2));
    }
    const GameState start = w->state();

    int moves = 0;
    for (int i = 0; i < 40; ++i) {
        const int cell = std::uniform_int_distribution<int>(0, n * n - 1)(generator);
        if (tile(*w, cell)->isVisible()) {
            press(tile(*w, cell));
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

void MainWindowTest::theFinishingMoveEndsTheGameAndTheNextOneScramblesAfresh()
{
    const auto w = openedWindow();
    w->setRandomSource(leftAndRight());
    command(*w, "E_game")->trigger();
    QVERIFY(settled(*w));
    QCOMPARE(w->state().blankPos, std::int16_t(7));

    press(tile(*w, 0)); // not beside the blank: nothing moves, nothing sounds
    QVERIFY(sounds.isEmpty());
    press(tile(*w, 8));
    QCOMPARE(sounds, QStringList{dir.filePath("move.wav")}); // the move's sound, and none for the end
    QVERIFY(w->isFading());
    QVERIFY(command(*w, "E_game")->isEnabled() && !command(*w, "E_restart")->isEnabled());
    for (const char* button : {"imgnext", "imgprev", "imgchage"})
        QVERIFY(control(*w, button)->isEnabled());
    for (int k = 0; k < tileControlCount; ++k)
        QVERIFY(tile(*w, k)->isHidden());
    QVERIFY(settled(*w));
    QCOMPARE(shownPicture(*w), testdata::decoded(dir.path(), 1));

    std::mt19937 generator(7);
    w->setRandomSource([&] { return std::uniform_real_distribution<float>(0, 1)(generator); });
    command(*w, "E_game")->trigger();
    QVERIFY(settled(*w));
    QVERIFY(w->state().board != (BoardArray{0, 1, 2, 3, 4, 5, 6, 8, 7}));
    checkBoardShown(*w, 1);
}

void MainWindowTest::aBoardInOrderEndsAtTheNextPressThoughNothingMoves()
{
    const auto w = openedWindow();
    click(control(*w, "imgchage"));
    w->setRandomSource(leftAndRight());
    command(*w, "E_game")->trigger();
    QVERIFY(settled(*w));
    QCOMPARE(w->state().blankPos, std::int16_t(15));
    sounds.clear();
    press(tile(*w, 0));
    QVERIFY(sounds.isEmpty());
    QVERIFY(command(*w, "E_game")->isEnabled());
    QVERIFY(settled(*w));
    QCOMPARE(shownPicture(*w), testdata::decoded(dir.path(), 1));
}

void MainWindowTest::theButtonsBrowseAndCycleBetweenGamesOnly()
{
    const auto w = openedWindow();
    auto* next = control<ImageControl>(*w, "imgnext");
    auto* previous = control<ImageControl>(*w, "imgprev");
    auto* difficulty = control<ImageControl>(*w, "imgchage");
    const QImage source = control<PictureBox>(*w, "Picture1")->picture();

    // Any button presses them in by a few pixels and acts; the release lifts them again.
    press(previous);
    QCOMPARE(previous->pos(), QPoint(432, 393));
    QCOMPARE(w->state().picNo, std::int16_t(5));
    QCOMPARE(shownPicture(*w), testdata::decoded(dir.path(), 5));
    QTest::mouseRelease(previous, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(previous->pos(), QPoint(433, 392));
    press(next, Qt::RightButton);
    QCOMPARE(next->pos(), QPoint(477, 393));
    QCOMPARE(w->state().picNo, std::int16_t(1));
    QTest::mouseRelease(next, Qt::RightButton, {}, QPoint(2, 2));
    QCOMPARE(next->pos(), QPoint(476, 392));
    for (int picture = 2; picture <= 5; ++picture) {
        click(next);
        QCOMPARE(w->state().picNo, std::int16_t(picture));
    }
    QCOMPARE(shownPicture(*w), testdata::decoded(dir.path(), 5));
    QCOMPARE(control<PictureBox>(*w, "Picture1")->picture(), source); // the fade's source waits for a game

    const QStringList captions{"难易度:中级", "难易度:高级", "难易度:特级", "难易度:初级"};
    for (const QString& caption : captions) {
        press(difficulty);
        QCOMPARE(difficulty->pos(), QPoint(81, 393));
        QCOMPARE(control<QLabel>(*w, "labchage")->text(), caption);
        QTest::mouseRelease(difficulty, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(difficulty->pos(), QPoint(80, 392));
    }
    QCOMPARE(sounds.size(), 10);

    // Locked while a game runs: nothing changes, nothing sounds.
    command(*w, "E_game")->trigger();
    QVERIFY(settled(*w));
    for (QWidget* button : {static_cast<QWidget*>(next), static_cast<QWidget*>(previous), static_cast<QWidget*>(difficulty)})
        pressOnWindow(button);
    QCOMPARE(w->state().picNo, std::int16_t(5));
    QCOMPARE(w->state().gridSize, std::int16_t(3));
    QCOMPARE(sounds.size(), 10);
}

// Presses during the start and end fades wait, in order, for the fade and the rest of its
// command; what is chosen from a menu then acts on the finished state.
void MainWindowTest::inputDuringAFadeActsAfterIt()
{
    const auto w = openedWindow();
    w->setRandomSource(leftAndRight());
    w->setFadeStepTime(20);
    QMenu* menu = control<QMenu>(*w, "E_games");
    const auto chooseWhenTheMenuOpens = [&](QAction* chosen, std::function<void()> look) {
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = connect(menu, &QMenu::aboutToShow, w.get(), [=] {
            QObject::disconnect(*once);
            look();
            QTimer::singleShot(0, menu, [=] {
                menu->close();
                chosen->trigger();
            });
        });
    };
    const auto rightPressDuringTheFade = [&] {
        QTimer::singleShot(100, w.get(), [&] { QTest::mousePress(control(*w, "Picture3"), Qt::RightButton, {}, QPoint(50, 50)); });
    };

    // Exit chosen during the start fade leaves the game only once its board was shown.
    bool boardWasShown = false;
    rightPressDuringTheFade();
    chooseWhenTheMenuOpens(command(*w, "E_exit"), [&] { boardWasShown = tile(*w, 0)->isVisible(); });
    command(*w, "E_game")->trigger();
    QTRY_VERIFY(command(*w, "E_game")->isEnabled());
    QVERIFY(boardWasShown);

    // The finishing move's fade: the next picture is asked for during it, and shown after it.
    command(*w, "E_game")->trigger();
    QVERIFY(settled(*w));
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
    QCOMPARE(sounds.size(), 2);

    // Two presses that arrive together both act: there and back again.
    command(*w, "E_game")->trigger();
    QVERIFY(settled(*w));
    const BoardArray start = w->state().board;
    for (int cell : {6, 7})
        QCoreApplication::postEvent(tile(*w, cell), new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), tile(*w, cell)->mapToGlobal(QPointF(5, 5)),
                                                                    Qt::LeftButton, Qt::LeftButton, {}));
    QTRY_COMPARE(sounds.size(), 4);
    QCOMPARE(w->state().board, start);
    checkBoardShown(*w, 2);
}

void MainWindowTest::menuCommandsWorkFromTheMenuAndThePopUp()
{
    const auto w = openedWindow();
    QMenu* menu = control<QMenu>(*w, "E_games");
    for (int playing = 0; playing < 2; ++playing) {
        // Over the picture between games, over the empty blank cell during one; then presses
        // that open nothing: left and middle there, any on a label.
        QWidget* target = playing ? tile(*w, w->state().blankPos) : control(*w, "Picture3");
        pressOnWindow(target, Qt::RightButton);
        QCOMPARE(QApplication::activePopupWidget(), menu);
        QCOMPARE(command(*w, "E_game")->isEnabled(), !playing);
        QCOMPARE(command(*w, "E_restart")->isEnabled(), bool(playing));
        menu->close();
        for (auto [where, button] : {std::pair{target, Qt::LeftButton}, {target, Qt::MiddleButton},
                                     {control(*w, "labchage"), Qt::RightButton}}) {
            pressOnWindow(where, button);
            QCOMPARE(QApplication::activePopupWidget(), nullptr);
        }

        bool helpSeen = false;
        whenOpened([&](QWidget* opened) {
            auto* box = qobject_cast<QMessageBox*>(opened);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QStringLiteral("使用帮助"));
            QCOMPARE(box->text(), QStringLiteral("详情请见readme.txt"));
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QCOMPARE(box->buttons().size(), 1);
            QCOMPARE(box->buttons().first()->text(), QStringLiteral("确定"));
            helpSeen = true;
        });
        command(*w, "E_help")->trigger();
        QVERIFY(helpSeen);
        if (!playing) {
            command(*w, "E_game")->trigger();
            QVERIFY(settled(*w));
        }
    }

    // A right or middle press on a tile opens the menu too, and moves nothing.
    const BoardArray board = w->state().board;
    const int blank = w->state().blankPos;
    const int neighbour = blank % 3 > 0 ? blank - 1 : blank + 1;
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        press(tile(*w, neighbour), button);
        QCOMPARE(QApplication::activePopupWidget(), menu);
        menu->close();
    }
    QCOMPARE(w->state().board, board);
    QVERIFY(sounds.isEmpty());

    // Exit during a game: back to the whole picture at once, with no fade and no sound.
    command(*w, "E_exit")->trigger();
    QVERIFY(!w->isFading());
    QVERIFY(sounds.isEmpty());
    QVERIFY(command(*w, "E_game")->isEnabled() && !command(*w, "E_restart")->isEnabled());
    for (const char* button : {"imgnext", "imgprev", "imgchage"})
        QVERIFY(control(*w, button)->isEnabled());
    for (int k = 0; k < tileControlCount; ++k)
        QVERIFY(tile(*w, k)->isHidden());
    QVERIFY(control(*w, "Picture3")->isVisible());
    QCOMPARE(shownPicture(*w), testdata::decoded(dir.path(), 1));
}

void MainWindowTest::theCopyrightWindowIsModalAndReused()
{
    const auto w = openedWindow();
    command(*w, "E_game")->trigger();
    QVERIFY(settled(*w));
    const int blank = w->state().blankPos;
    const int neighbour = blank % 3 > 0 ? blank - 1 : blank + 1;
    for (int showing = 0; showing < 2; ++showing) {
        whenOpened([&](QWidget* opened) {
            QCOMPARE(opened->objectName(), QStringLiteral("frmabout"));
            QCOMPARE(opened->windowTitle(), QStringLiteral("版权"));
            QCOMPARE(opened->size(), QSize(271, 138));
            QCOMPARE(opened->findChildren<QLabel*>().size(), 5);
            pressOnWindow(tile(*w, neighbour)); // the main window takes no press meanwhile
            QCOMPARE(int(w->state().blankPos), blank);
        });
        command(*w, "E_reg")->trigger();
    }
    QCOMPARE(w->findChildren<AboutDialog*>().size(), 1);
    pressOnWindow(tile(*w, neighbour)); // closed again: the tile moves
    QCOMPARE(int(w->state().blankPos), neighbour);
}

int MainWindowTest::runChild(const QString& scenario, const QString& folder)
{
    MainWindow w(folder);
    // Fades short enough to be quick and long enough to be closed in the middle.
    w.setFadeStepTime(scenario.startsWith(QLatin1String("close")) ? 30 : 0);
    w.setRandomSource(leftAndRight());
    w.load();
    w.show();
    control<QTimer>(w, "Timer1")->start(0);
    // Each step runs once the window is usable and no fade runs.
    QList<std::function<void()>> steps;
    std::function<void()> runNext = [&] {
        if (steps.isEmpty())
            return;
        if (!w.isEnabled() || w.isFading()) {
            QTimer::singleShot(10, runNext);
            return;
        }
        steps.takeFirst()();
        QTimer::singleShot(0, runNext);
    };
    QElapsedTimer sinceClose;
    const auto closeAfter = [&w, &sinceClose](int ms) {
        QTimer::singleShot(ms, &w, [&w, &sinceClose] {
            sinceClose.start();
            w.close();
        });
    };
    const auto trigger = [&w](const char* name) { command(w, name)->trigger(); };
    const auto nextToBlank = [&w] { return tile(w, w.state().blankPos == 0 ? 1 : w.state().blankPos - 1); };
    if (scenario == "exit between games") {
        steps << [&] { trigger("E_exit"); };
    } else if (scenario == "exit twice during a game") {
        steps << [&] { trigger("E_game"); } << [&] { trigger("E_exit"), trigger("E_exit"); };
    } else if (scenario == "close during the opening fade") {
        closeAfter(300);
    } else if (scenario == "close during the start fade") {
        steps << [&] { trigger("E_game"), closeAfter(300); };
    } else if (scenario == "close during the end fade") {
        steps << [&] { trigger("E_game"); } << [&] { click(tile(w, 8)), closeAfter(300); };
    } else if (scenario == "close with the help box open") {
        steps << [&] { closeAfter(300), trigger("E_help"); };
    } else if (scenario == "close with the copyright window open") {
        steps << [&] { closeAfter(300), trigger("E_reg"); };
    } else { // play through a data folder: browse, a game at 3 × 3 and at 6 × 6, then exit
        steps << [&] {
            for (int i = 0; i < qMin<int>(w.state().picCount, 12); ++i)
                click(control(w, "imgnext"));
        };
        for (int size : {3, 6}) {
            steps << [&, size] {
                while (w.state().gridSize != size)
                    click(control(w, "imgchage"));
                trigger("E_game");
            } << [&] { click(nextToBlank()), trigger("E_exit"); };
        }
        steps << [&] { trigger("E_exit"); };
    }
    QTimer::singleShot(0, runNext);
    // Whatever happens, never outlive the test that waits for us.
    QTimer::singleShot(20000, [] { QCoreApplication::exit(3); });
    const int status = QApplication::exec();
    if (sinceClose.isValid())
        std::fprintf(stderr, "ended %lld ms after the close\n", sinceClose.elapsed());
    return status;
}

namespace {

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A real JPEG whose frame header claims 60000 × 60000 pixels.
QByteArray hugeClaimingJpeg()
{
    QByteArray jpeg = encoded(testdata::picture(1, 16, 16), "JPG");
    jpeg.replace(jpeg.indexOf("\xFF\xC0") + 5, 4, QByteArray("\xEA\x60\xEA\x60", 4));
    return jpeg;
}

} // namespace

void MainWindowTest::theProgramEndsCleanly_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QByteArray>("count");   // the count file's bytes; null: no file
    QTest::addColumn<QString>("replaced");   // this file, if any, is then written as …
    QTest::addColumn<QByteArray>("content"); // … these bytes
    QTest::addColumn<QString>("namedFile");  // empty: ends with status 0; else status 1 and a message naming it

    const auto row = [](const char* name, const char* scenario, const QByteArray& count, const QString& replaced,
                        const QByteArray& content, const QString& named) {
        QTest::newRow(name) << QString::fromLatin1(scenario) << count << replaced << content << named;
    };
    for (const char* s : {"exit between games", "exit twice during a game", "close during the opening fade",
                          "close during the start fade", "close during the end fade", "close with the help box open",
                          "close with the copyright window open"})
        row(s, s, "3", {}, {}, {});

    const QString countFile = QStringLiteral("image/picture.txt");
    const QString second = QStringLiteral("image/angle2.jpg");
    const QByteArray jpeg = encoded(testdata::picture(2), "JPG");
    row("count file missing", "play", {}, {}, {}, countFile);
    row("count file empty", "play", "", {}, {}, countFile);
    row("count 0", "play", "0", {}, {}, countFile);
    row("count above the files", "play", "4", {}, {}, QStringLiteral("image/angle4.jpg"));
    row("picture 1 missing", "play", "3", QStringLiteral("image/angle1.jpg"), {}, QStringLiteral("image/angle1.jpg"));
    row("picture truncated", "play", "3", second, jpeg.left(jpeg.size() / 2), {});
    row("picture not an image", "play", "3", second, "just text\n", second);
    row("PNG named .jpg", "play", "3", second, encoded(testdata::picture(2), "PNG"), {});
    row("picture claims 60000 x 60000", "play", "3", second, hugeClaimingJpeg(), second);
    // Cut into 3 × 3 it plays; 5 rows of pixels cannot make 6 rows of tiles.
    row("picture 7 x 5", "play", "1", QStringLiteral("image/angle1.jpg"), encoded(testdata::picture(1, 7, 5), "JPG"),
        QStringLiteral("image/angle1.jpg"));
    row("sound not a wave", "play", "3", QStringLiteral("move.wav"), "RIFFjunk", {});
}

// The folder is named with blanks and Chinese characters, as a player's may be.
void MainWindowTest::theProgramEndsCleanly()
{
    QFETCH(QString, scenario);
    QFETCH(QByteArray, count);
    QFETCH(QString, replaced);
    QFETCH(QByteArray, content);
    QFETCH(QString, namedFile);

    const QString folder = dir.filePath(QStringLiteral("我的 拼图"));
    QVERIFY(testdata::makeDataFolder(folder, count, 3));
    if (count.isNull())
        QFile::remove(folder + QStringLiteral("/image/picture.txt"));
    if (!replaced.isEmpty())
        QVERIFY(content.isNull() ? QFile::remove(folder + '/' + replaced) : testdata::writeFile(folder + '/' + replaced, content));

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), scenario, folder});
    QVERIFY(child.waitForFinished(30000));
    const QString err = QString::fromUtf8(child.readAllStandardError());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    if (namedFile.isEmpty()) {
        QVERIFY2(child.exitCode() == 0, qPrintable(err));
    } else {
        QCOMPARE(child.exitCode(), 1);
        QVERIFY2(err.contains(QStringLiteral("tessra: ")) && err.contains(folder + '/' + namedFile), qPrintable(err));
    }
}

} // namespace vellumi

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    vellumi::applyAppearance(app);
    if (argc == 4 && QByteArray(argv[1]) == "--child")
        return vellumi::MainWindowTest::runChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    vellumi::MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindow.moc"
