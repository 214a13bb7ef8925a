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
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumi {

namespace {

ImageControl* tile(const QWidget& w, int cell)
{
    return control<ImageControl>(w, QStringLiteral("picbox(%1)").arg(cell));
}
QImage shownPicture(const QWidget& w)
{
    return control<PictureBox>(w, "Picture3")->surface();
}
// What a screen reader is told of a control.
QString said(const QWidget& w, const QString& name, QAccessible::Text what = QAccessible::Name)
{
    return QAccessible::queryAccessibleInterface(control(w, name))->text(what);
}

void press(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(widget, button, {}, QPoint(2, 2));
}
// As a screen reader presses a button.
void pressAloud(QWidget* widget)
{
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(widget);
    QCOMPARE(button->role(), QAccessible::Button);
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}
void click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(widget, button, {}, QPoint(2, 2));
}

// Through the window, the way the window system delivers a press, so that a modal window or a
// disabled control stops it as it stops a player.
void clickOnWindow(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
{
    QWindow* window = widget->window()->windowHandle();
    QTest::mouseClick(window, button, {}, widget->mapTo(widget->window(), QPoint(5, 5)));
}

// Runs `look` on the modal window that opens next, then closes it.
void whenOpened(std::function<void(QWidget*)> look)
{
    QTimer::singleShot(50, [look = std::move(look)] {
        look(QApplication::activeModalWidget());
        QApplication::activeModalWidget()->close();
    });
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
    void aWholePictureEndsTheGameAtThatPress();
    void theButtonsBrowseAndCycleBetweenGamesOnly();
    void inputDuringAFadeActsAfterIt();
    void menuCommandsWorkFromTheMenuAndThePopUp();
    void everyCommandHasAKey();
    void hintsKnowTheWayHome();
    void manyProblemsMakeOneBox();
    void picturesDroppedBetweenGamesAreKept();
    void aSettingsFileNotOursIsSetAside_data();
    void aSettingsFileNotOursIsSetAside();
    void theProgramEndsCleanly_data();
    void theProgramEndsCleanly();

private:
    // A window past its opening fade, as the player first gets it; its sounds are counted.
    std::unique_ptr<MainWindow> openedWindow();
    void startGame(MainWindow& w);
    void checkBoardShown(const MainWindow& w, int picture);
    void checkBrowsing(const MainWindow& w, int picture);

    QTemporaryDir dir;
    QStringList sounds;
};

void MainWindowTest::init()
{
    sounds.clear();
    dir = QTemporaryDir();
    for (const char* folder : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
        QDir(qEnvironmentVariable(folder)).removeRecursively();
}

std::unique_ptr<MainWindow> MainWindowTest::openedWindow()
{
    if (!testdata::makeDataFolder(dir.path(), "5", 5))
        qFatal("cannot write the data folder");
    auto w = std::make_unique<MainWindow>(dir.path(), dir.filePath("own"));
    w->setSoundPlayer([this](const QString& file) { sounds << file; });
    w->setFadeStepTime(0);
    if (!w->load().isEmpty())
        qFatal("the data folder was refused");
    w->show();
    control<QTimer>(*w, "Timer1")->start(0);
    if (!settled(*w))
        qFatal("the opening fade never ended");
    return w;
}

void MainWindowTest::startGame(MainWindow& w)
{
    command(w, "E_game")->trigger();
    QVERIFY(settled(w));
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
    for (int k = 0; k < BoardView::tileCount; ++k) {
        const bool shown = k < n * n && k != game.blankPos;
        QCOMPARE(tile(w, k)->isVisible(), shown);
        const int t = game.board[k];
        if (!shown)
            continue;
        QCOMPARE(tile(w, k)->picture(),
                 whole.copy(t % n * piece.width(), t / n * piece.height(), piece.width(), piece.height()));
        QCOMPARE(said(w, tile(w, k)->objectName()),
                 QStringLiteral("第%1行第%2列，第%3块").arg(k / n + 1).arg(k % n + 1).arg(t + 1));
        QCOMPARE(said(w, tile(w, k)->objectName(), QAccessible::Description),
                 t == k ? QStringLiteral("在原位") : QStringLiteral("不在原位"));
    }
    QVERIFY(control(w, "Picture3")->isHidden() &&
            control<PictureBox>(w, "Picture1")->picture() == whole); // the fades' source
}

// Between games: a new game can start, the buttons work, and the whole picture shows alone.
void MainWindowTest::checkBrowsing(const MainWindow& w, int picture)
{
    QVERIFY(settled(w));
    QVERIFY(command(w, "E_game")->isEnabled() && !command(w, "E_restart")->isEnabled());
    for (const char* button : {"imgnext", "imgprev", "imgchage"})
        QVERIFY(control(w, button)->isEnabled());
    for (int k = 0; k < BoardView::tileCount; ++k)
        QVERIFY(tile(w, k)->isHidden());
    QCOMPARE(shownPicture(w), testdata::decoded(dir.path(), picture));
}

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
    PictureBox bare;
    bare.resize(20, 20);
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
    // The sunken frame's lines end where the design ends them: not past the frame's corners.
    const QImage surface = w->centralWidget()->grab().toImage();
    QVERIFY(surface.pixel(7, 200) == systemColour(SystemColour::WindowFrame).rgb() &&
            surface.pixel(200, 11) == surface.pixel(7, 200));
    QCOMPARE(surface.pixel(300, 400), QApplication::palette().color(QPalette::Window).rgb()); // the plain background
    QVERIFY(surface.pixel(495, 11) == surface.pixel(495, 300) && surface.pixel(7, 380) == surface.pixel(200, 380));
    // The display's sunken edge, two pixels deep, dark above and left, light below and right.
    const QImage edge = control(*w, "Picture3")->grab().toImage();
    for (auto [x, y, role] : {std::tuple{0, 362, QPalette::Dark},
                              {1, 100, QPalette::Shadow},
                              {482, 100, QPalette::Midlight},
                              {483, 100, QPalette::Light},
                              {100, 0, QPalette::Dark},
                              {100, 1, QPalette::Shadow},
                              {1, 362, QPalette::Midlight},
                              {100, 363, QPalette::Light},
                              {483, 0, QPalette::Light},
                              {483, 362, QPalette::Light}})
        QCOMPARE(edge.pixel(x, y), control(*w, "Picture3")->palette().color(role).rgb());
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
        clickOnWindow(button);
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

void MainWindowTest::menuCommandsWorkFromTheMenuAndThePopUp()
{
    const auto w = openedWindow();
    QMenu* menu = control<QMenu>(*w, "E_games");
    for (bool playing : {false, true}) {
        // Over the picture between games, over the empty blank cell during one; then presses
        // that open nothing: left and middle there, any on a label.
        QWidget* target = playing ? tile(*w, w->state().blankPos) : control(*w, "Picture3");
        clickOnWindow(target, Qt::RightButton);
        QCOMPARE(QApplication::activePopupWidget(), menu);
        QCOMPARE(command(*w, "E_restart")->isEnabled(), playing);
        menu->close();
        for (auto [where, button] : {std::pair{target, Qt::LeftButton},
                                     {target, Qt::MiddleButton},
                                     {control(*w, "labchage"), Qt::RightButton}}) {
            clickOnWindow(where, button);
            QCOMPARE(QApplication::activePopupWidget(), nullptr);
        }
        QString help;
        whenOpened([&](QWidget* opened) {
            auto* box = qobject_cast<QMessageBox*>(opened);
            help = box->windowTitle() + '|' + box->text() + '|' + QString::number(box->buttons().size());
            QVERIFY(box->width() >
                    box->fontMetrics().horizontalAdvance(box->windowTitle()) + 150); // room for the title
        });
        command(*w, "E_help")->trigger();
        QCOMPARE(help, QStringLiteral("使用帮助|详情请见readme.txt|1"));
        if (!playing)
            startGame(*w);
    }

    // A right or middle press on a tile opens the menu too, and moves nothing.
    const GameState before = w->state();
    const int neighbour = before.blankPos % 3 > 0 ? before.blankPos - 1 : before.blankPos + 1;
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        press(tile(*w, neighbour), button);
        QCOMPARE(QApplication::activePopupWidget(), menu);
        menu->close();
    }
    QCOMPARE(w->state().board, before.board);

    // The copyright window is modal, made once and shown again.
    for (int showing = 0; showing < 2; ++showing) {
        whenOpened([&](QWidget* opened) {
            QCOMPARE(opened->objectName() + opened->windowTitle(), QStringLiteral("frmabout版权"));
            QCOMPARE(opened->size(), QSize(271, 138));
            QCOMPARE(opened->findChild<QLabel*>("Label3")->geometry(),
                     QRect(16, 44, 237, 69)); // the licence, as designed
            QCOMPARE(opened->findChild<QLabel*>("Label1")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
            QVERIFY(opened->findChild<QLabel*>("Label1")->font().underline()); // a link, as it looks
            QCOMPARE(opened->grab().toImage().pixelColor(2, 2),
                     QApplication::palette().color(QPalette::Button));  // the border colour
            for (const QLabel* label : opened->findChildren<QLabel*>()) // each text shows whole
                QVERIFY2(label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                           : label->sizeHint().width() <= label->width(),
                         qPrintable(label->objectName()));
            clickOnWindow(tile(*w, neighbour));
            QCOMPARE(w->state().blankPos, before.blankPos);
        });
        command(*w, "E_reg")->trigger();
    }
    QCOMPARE(w->findChildren<AboutDialog*>().size(), 1);
    clickOnWindow(tile(*w, neighbour)); // closed again: the tile moves
    QCOMPARE(int(w->state().blankPos), neighbour);
    sounds.clear();

    // Exit during a game: back to the whole picture at once, with no fade and no sound.
    command(*w, "E_exit")->trigger();
    QVERIFY(!w->isFading());
    checkBrowsing(*w, 1);
    QVERIFY(sounds.isEmpty());
}

// Every command from the keyboard: browsing and the difficulty between games, then a game
// started, played, taken back and forth, restarted, numbered, muted and peeked at.
void MainWindowTest::everyCommandHasAKey()
{
    const auto w = openedWindow();
    const auto key = [&](int k, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(w.get(), Qt::Key(k), modifiers);
    };
    key(Qt::Key_Left, Qt::ControlModifier); // no command
    key(Qt::Key_Left);                      // between games: browse, with the sound
    QCOMPARE(w->state().picNo, std::int16_t(5));
    for (int k : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Down})
        key(k);
    QCOMPARE(control<QLabel>(*w, "labchage")->text(), QStringLiteral("难易度:中级"));
    key(Qt::Key_Down);
    QCOMPARE(w->state().gridSize, std::int16_t(3));
    QCOMPARE(sounds.size(), 5);
    QCOMPARE(control(*w, "imgnext")->toolTip(), QStringLiteral("下一张（→）"));

    // A key during the start fade waits for the board; blank at 7, one slide from home.
    w->setRandomSource(leftAndRight());
    w->setFadeStepTime(20);
    key(Qt::Key_N, Qt::ControlModifier);
    QVERIFY(w->isFading());
    key(Qt::Key_Right);
    QCOMPARE(int(w->state().blankPos), 0);
    QTRY_COMPARE(int(w->state().blankPos), 6);
    QCOMPARE(sounds.size(), 6);
    const GameState moved = w->state();
    using Step = std::tuple<Qt::Key, Qt::KeyboardModifiers, int>;
    for (auto [k, modifiers, blank] :
         {Step{Qt::Key_Z, Qt::ControlModifier, 7}, Step{Qt::Key_Y, Qt::ControlModifier, 6},
          Step{Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, 6}, Step{Qt::Key_R, Qt::ControlModifier, 7},
          Step{Qt::Key_Z, Qt::ControlModifier, 6}}) {
        key(k, modifiers);
        QCOMPARE(int(w->state().blankPos), blank);
    }
    QCOMPARE(w->state().board, moved.board);
    checkBoardShown(*w, 5);
    QCOMPARE(sounds.size(), 9); // undo, redo, and the undo of the restart

    key(Qt::Key_N);
    QCOMPARE(tile(*w, 0)->caption(), QStringLiteral("1"));
    // White with a soft dark edge, readable on any picture: as looked at, pixel for pixel.
    QCOMPARE(tile(*w, 0)->grab(QRect(0, 0, 24, 20)).toImage().convertToFormat(QImage::Format_RGB32),
             QImage(QFINDTESTDATA("artwork/caption.png")).convertToFormat(QImage::Format_RGB32));
    QCOMPARE(tile(*w, 7)->caption(), QStringLiteral("7")); // piece 7, one cell from home
    key(Qt::Key_M);
    key(Qt::Key_Left);
    QCOMPARE(sounds.size(), 9);

    // While Space is held the whole picture shows, however the key repeats, and nothing moves.
    QTest::keyPress(w.get(), Qt::Key_Space);
    QCOMPARE(w->centralWidget()->grab(QRect(10, 14, 480, 360)).toImage(),
             testdata::decoded(dir.path(), 5)); // over the board
    QTest::keyRelease(w.get(), Qt::Key_Space);
    QVERIFY(control(*w, "Picture3")->isHidden());
    QTest::keyPress(w.get(), Qt::Key_Space);
    QTest::simulateEvent(w.get(), false, Qt::Key_Space, {}, QStringLiteral(" "), true);
    QTest::simulateEvent(w.get(), true, Qt::Key_Space, {}, QStringLiteral(" "), true);
    QVERIFY(control(*w, "Picture3")->isVisible());
    const GameState peeked = w->state();
    key(Qt::Key_Right);
    key(Qt::Key_Z, Qt::ControlModifier);
    press(tile(*w, 6));
    QCOMPARE(w->state().board, peeked.board);
    QTest::keyRelease(w.get(), Qt::Key_Space);
    checkBoardShown(*w, 5);
    QTest::keyPress(w.get(), Qt::Key_Space);
    QWidget elsewhere; // where the release goes unheard
    QApplication::setActiveWindow(&elsewhere);
    QVERIFY(control(*w, "Picture3")->isHidden());
    QApplication::setActiveWindow(w.get());
    // Nor does the window when it is let go over the pop-up menu.
    QTest::keyPress(w.get(), Qt::Key_Space);
    press(tile(*w, 0), Qt::RightButton);
    QTest::keyRelease(QApplication::activePopupWidget(), Qt::Key_Space);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QVERIFY(control(*w, "Picture3")->isHidden());
    w->activateWindow(); // which the offscreen platform leaves to the menu

    key(Qt::Key_M);
    key(Qt::Key_Left); // the whole picture again: the game ends
    QCOMPARE(sounds.size(), 10);
    QVERIFY(command(*w, "E_game")->isEnabled() && settled(*w));
    key(Qt::Key_M);

    // Numbers and the mute are kept for the next run.
    const auto next = openedWindow();
    next->setRandomSource(leftAndRight());
    startGame(*next);
    QCOMPARE(tile(*next, 0)->caption(), QStringLiteral("1"));
    sounds.clear();
    QTest::keyClick(next.get(), Qt::Key_Right);
    QCOMPARE(sounds.size(), 0);

    whenOpened([](QWidget* box) { QCOMPARE(box->objectName(), QStringLiteral("helpBox")); });
    QTest::keyClick(next.get(), Qt::Key_F1);
}

// Any key or press of the player's stops the game playing itself, and a key that is a command
// then does only its own job: H makes its one move and starts no second player.
void MainWindowTest::hintsKnowTheWayHome()
{
    const auto w = openedWindow();
    w->setRandomSource(seeded(3));
    startGame(*w);
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_N, Qt::Key_M, Qt::Key_H, Qt::Key_unknown}) {
        const GameState before = w->state();
        QTest::keyClick(w.get(), Qt::Key_H, Qt::ShiftModifier);
        QTRY_VERIFY(w->state().board != before.board);
        key == Qt::Key_unknown ? press(control(*w, "Picture3")) : QTest::keyClick(w.get(), key);
        QTest::qWait(400);
        const GameState stopped = w->state();
        QTest::qWait(400);
        QVERIFY(w->state().board == stopped.board && !command(*w, "E_game")->isEnabled());
    }
    checkBoardShown(*w, 1);
    QTest::keyClick(w.get(), Qt::Key_H, Qt::ShiftModifier);
    QTRY_VERIFY_WITH_TIMEOUT(command(*w, "E_game")->isEnabled(), 10000);
    checkBrowsing(*w, 1);
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

void MainWindowTest::picturesDroppedBetweenGamesAreKept()
{
    const auto w = openedWindow();
    testdata::picture(9).save(dir.filePath("drop.png"));
    testdata::picture(10).save(dir.filePath(".hidden.png"));
    testdata::writeFile(dir.filePath("notes.jpg"), "not a picture");
    testdata::picture(9).save(dir.filePath("notes.txt"), "png"); // a picture, but never listed under that name
    // The longest name the file system takes: a second copy, numbered, cannot have it.
    const QString longest = dir.filePath(QString(251, 'x') + ".png");
    testdata::picture(11).save(longest);
    // Dragged in and let go; a drop then waits for its copying to end.
    const auto release = [&](const QStringList& names) {
        QMimeData files;
        QList<QUrl> urls;
        for (const QString& name : names)
            urls << QUrl::fromLocalFile(name.startsWith('/') ? name : dir.filePath(name));
        files.setUrls(urls);
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &files, Qt::LeftButton, {});
        QCoreApplication::sendEvent(w.get(), &enter);
        QDropEvent dropped(QPointF(100, 100), Qt::CopyAction, &files, Qt::LeftButton, {});
        QCoreApplication::sendEvent(w.get(), &dropped);
        return enter.isAccepted() && dropped.isAccepted();
    };
    const auto drop = [&](const QStringList& names) {
        return release(names) && QTest::qWaitFor([&] { return !w->findChild<QProgressDialog*>(); });
    };
    QDir(dir.path()).mkpath("own");
    for (const char* inUse : {"own/angle1.jpg", "own/angle1 (2).jpg"})
        testdata::picture(1).save(dir.filePath(inUse));
    QVERIFY(drop({"notes.jpg", ".hidden.png", "drop.png", "image/angle1.jpg", "notes.txt", longest, longest}));
    QDir own(dir.filePath("own"));
    QCOMPARE(own.entryList(QDir::Files), QStringList({"angle1 (2).jpg", "angle1 (3).jpg", "angle1.jpg", "drop.png",
                                                      "hidden.png", QFileInfo(longest).fileName()}));
    QCOMPARE(shownPicture(*w), testdata::picture(10)); // the first picture taken
    QCOMPARE(told(*w), QStringList({"没有加入（不是图片文件：" + dir.filePath("notes.jpg") + "）",
                                    "没有加入（不是图片文件名：" + dir.filePath("notes.txt") + "）",
                                    "没有加入（文件名太长：" + longest + "）"}));

    // Where the folder should be there is a file: said so, in a box of its own once the first is closed.
    own.removeRecursively();
    testdata::writeFile(dir.filePath("own"), "");
    delete w->findChild<QMessageBox*>();
    QVERIFY(drop({"drop.png"}));
    QCOMPARE(told(*w), QStringList{"没有加入（图片文件夹的位置上有一个文件：" + dir.filePath("drop.png") + "）"});

    // A drop cancelled from its progress box stops at the file in hand, leaving no part of one.
    QFile::remove(dir.filePath("own"));
    QFile picture(dir.filePath("drop.png"));
    QVERIFY(picture.open(QIODevice::ReadOnly));
    testdata::writeFile(dir.filePath("big.png"), picture.readAll() + QByteArray(4 << 20, '\0'));
    QVERIFY(release(QStringList(60, "big.png")));
    QVERIFY(!drop({"drop.png"})); // one drop at a time
    // Browsed while it copies, a copy is seen only once whole.
    while (own.entryList(QDir::Files).size() < 3) {
        for (const QFileInfo& copy : own.entryInfoList(QDir::Files))
            QCOMPARE(copy.size(), QFileInfo(dir.filePath("big.png")).size());
        QTest::keyClick(w.get(), Qt::Key_Right);
    }
    w->findChild<QProgressDialog*>()->findChild<QPushButton*>()->click();
    QVERIFY(QTest::qWaitFor([&] { return !w->findChild<QProgressDialog*>(); }));
    const QFileInfoList copies = own.entryInfoList(QDir::Files);
    QVERIFY(copies.size() < 60);
    for (const QFileInfo& copy : copies)
        QCOMPARE(copy.size(), QFileInfo(dir.filePath("big.png")).size());

    startGame(*w);
    QVERIFY(!drop({"drop.png"}));
}

void MainWindowTest::aSettingsFileNotOursIsSetAside_data()
{
    QTest::addColumn<QString>("why");
    for (const char* kind : {"a pipe", "a folder"})
        QTest::newRow(kind) << "不是普通文件";
    QTest::newRow("100 MB") << "文件太大";
    QTest::newRow("random bytes") << "内容无法识别";
}

// A settings file the game did not write is never read as settings, nor deleted: it is set
// aside, the game goes on with its defaults, and says so once. Met again at a write, the same.
void MainWindowTest::aSettingsFileNotOursIsSetAside()
{
    QFETCH(QString, why);
    const QString file = Settings::defaultPath();
    const auto inode = [](const QString& path) {
        struct stat info {};
        return ::stat(QFile::encodeName(path), &info) == 0 ? info.st_ino : 0;
    };
    const auto make = [&, tag = QByteArray(QTest::currentDataTag())] {
        QByteArray bytes(4000, 0);
        std::generate(bytes.begin(), bytes.end(), std::mt19937(7));
        QFile big(file);
        const bool made = tag == "a pipe"     ? ::mkfifo(QFile::encodeName(file), 0600) == 0
                          : tag == "a folder" ? QDir().mkpath(file)
                          : tag == "100 MB"   ? big.open(QIODevice::WriteOnly) && big.resize(100 << 20)
                                              : testdata::writeFile(file, bytes);
        return made ? inode(file) : 0;
    };
    const ino_t first = QDir().mkpath(QFileInfo(file).path()) ? make() : 0;
    const auto w = openedWindow();
    QCOMPARE(told(*w), QStringList{"设置文件无法使用（" + why + "），已改名为 " + file + ".damaged，游戏使用默认设置"});
    QCOMPARE(inode(file + ".damaged"), first);

    const ino_t second = make();
    QTest::keyClick(w.get(), Qt::Key_N);
    QVERIFY(told(*w).size() == 2 && inode(file + ".damaged-2") == second);
    QVERIFY(QSettings(file, QSettings::IniFormat).value("board/numbers").toBool());
}

int MainWindowTest::runChild(const QString& scenario, const QString& folder)
{
    MainWindow w(folder, folder + QStringLiteral("/own"));
    // Fades short enough to be quick and long enough to be closed in the middle.
    w.setFadeStepTime(scenario.startsWith(QLatin1String("close")) ? 30 : 0);
    w.setRandomSource(leftAndRight());
    if (const QString problem = w.load(); !problem.isEmpty())
        fatalError(problem);
    w.show();
    control<QTimer>(w, "Timer1")->start(0);
    QElapsedTimer sinceClose;
    const auto closeSoon = [&] { QTimer::singleShot(300, &w, [&] { sinceClose.start(), w.close(); }); };
    const auto trigger = [&w](const char* name) { command(w, name)->trigger(); };
    // Played from within the event loop, which must then end of itself.
    QTimer::singleShot(0, &w, [&] {
        if (scenario == "close during the opening fade")
            return closeSoon();
        if (!settled(w))
            return;
        if (scenario == "exit between games" || scenario == "play")
            trigger("E_exit");
        else if (scenario == "close during the start fade")
            trigger("E_game"), closeSoon();
        else if (scenario == "close during the end fade")
            trigger("E_game"), (void)settled(w), click(tile(w, 8)), closeSoon();
        else if (scenario == "close with the help box open")
            closeSoon(), trigger("E_help");
        else if (scenario == "close during a search") // on 6 × 6, whose tables take seconds to build
            for (int i = 0; i < 3; ++i)
                click(control(w, "imgchage"));
        if (scenario == "close during a search")
            trigger("E_game"), (void)settled(w), QTest::keyClick(&w, Qt::Key_H), closeSoon();
    });
    // Whatever happens, never outlive the test that waits for us.
    QTimer::singleShot(20000, [] { QCoreApplication::exit(3); });
    const int status = QApplication::exec();
    if (sinceClose.isValid())
        std::fprintf(stderr, "ended %lld ms after the close\n", sinceClose.elapsed());
    return status;
}

void MainWindowTest::theProgramEndsCleanly_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QByteArray>("count");  // what the picture-count file holds
    QTest::addColumn<QString>("namedFile"); // a file a message must name, if any
    QTest::addColumn<QString>("said");      // and what it must say of it
    QTest::addColumn<int>("status");
    for (const char* s : {"exit between games", "close during the opening fade", "close during the start fade",
                          "close during the end fade", "close with the help box open", "close during a search"})
        QTest::newRow(s) << QString::fromLatin1(s) << QByteArray("3") << QString() << QString() << 0;
    const QString countFile = QStringLiteral("image/picture.txt");
    QTest::newRow("count file missing") << "play" << QByteArray() << countFile << "找不到文件" << 1;
    QTest::newRow("an empty count file") << "play" << QByteArray(" \r\n") << countFile << "图片数量文件是空的" << 1;
    QTest::newRow("a count that is no number") << "play" << QByteArray("3x") << countFile << "第一项不是整数" << 1;
    QTest::newRow("a count out of range") << "play" << QByteArray("32768") << countFile << "超出范围" << 1;
    QTest::newRow("a count of no pictures") << "play" << QByteArray("0") << countFile << "至少为 1" << 1;
    QTest::newRow("no picture can be shown") << "play" << QByteArray("1") << "image/angle1.jpg"
                                             << "没有可以显示的图片" << 1;
    QTest::newRow("only an own picture can be shown") << "play" << QByteArray("1") << "image/angle1.jpg"
                                                      << "不是图片文件" << 0;
}

// The folder is named with blanks and Chinese characters, as a player's may be.
void MainWindowTest::theProgramEndsCleanly()
{
    QFETCH(QString, scenario);
    QFETCH(QByteArray, count);
    QFETCH(QString, namedFile);
    QFETCH(QString, said);
    QFETCH(int, status);
    const QString folder = dir.filePath(QStringLiteral("我的 拼图"));
    QVERIFY(testdata::makeDataFolder(folder, count.isNull() ? "3" : count, 3));
    if (QByteArray(QTest::currentDataTag()).startsWith("only an own"))
        QVERIFY(QDir(folder).mkpath("own") && testdata::picture(4).save(folder + "/own/4.png"));
    if (count.isNull())
        QVERIFY(QFile::remove(folder + '/' + namedFile));
    else if (namedFile.endsWith(".jpg")) // not a picture at all
        QVERIFY(testdata::writeFile(folder + '/' + namedFile, "x"));

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), scenario, folder});
    QVERIFY(child.waitForFinished(30000));
    const QString err = QString::fromUtf8(child.readAllStandardError());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QVERIFY2(child.exitCode() == status && err.contains(said) &&
                 (namedFile.isEmpty() || err.contains(folder + '/' + namedFile)),
             qPrintable(err));
}

} // namespace vellumi

int main(int argc, char* argv[])
{
    // Settings, records and the unfinished game go to folders of this run's own, never to the
    // player's or another run's.
    const QTemporaryDir home;
    for (const char* folder : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
        qputenv(folder, (home.path() + '/' + folder).toLocal8Bit());
    QApplication app(argc, argv);
    // As a desktop whose own style differs would start it.
    QApplication::setStyle(QStringLiteral("Windows"));
    vellumi::applyAppearance(app);
    if (argc == 4 && QByteArray(argv[1]) == "--child")
        return vellumi::MainWindowTest::runChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    vellumi::MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindow.moc"
