#include "DataFolder.h"
#include "GuiTestMain.h"

#include "effects/PatternFade.h"
#include "ui/Appearance.h"
#include "ui/ImageControl.h"
#include "ui/PictureBox.h"
#include "ui/frmmain.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace vellumi {

class PlayTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void startGameCutsTheChosenPictureAtTheChosenSize();
    void restartReturnsToTheStartWithoutFadeOrSound();
    void theFinishingMoveEndsTheGameAndANewGameScramblesAfresh();
    void otherButtonsOnATileOpenTheGameMenuAndMoveNothing();
    void theDifficultyButtonStepsOnEveryPress();
    void theBrowserWrapsAndShowsOnlyInTheDisplay();
    void inputDuringAFadeWaitsForItsEnd();
    void twoPressesInOneTurnMoveTwice();
    void menuCommandsChosenDuringAFadeActAfterIt();

private:
    // A window past its opening fade, as the player first gets it; sounds are counted.
    std::unique_ptr<frmmain> openedWindow(const QByteArray& count = "5", int pictures = 5);
    // Presses the first tile next to the blank and returns its cell.
    int slideANeighbour(frmmain& w);
    static void press(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(widget, button, {}, QPoint(2, 2));
    }
    static void release(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(widget, button, {}, QPoint(2, 2));
    }
    static void click(QWidget* widget)
    {
        press(widget);
        release(widget);
    }

    QTemporaryDir dir;
    QStringList sounds;
};

void PlayTest::init()
{
    sounds.clear();
}

std::unique_ptr<frmmain> PlayTest::openedWindow(const QByteArray& count, int pictures)
{
    dir.remove();
    dir = QTemporaryDir();
    testdata::makeDataFolder(dir.path(), count, pictures);
    auto w = std::make_unique<frmmain>(dir.path());
    w->Form_Load();
    w->playWave = [this](const QString& file) { sounds << file; };
    w->fadeStepTime = 0;
    w->show();
    w->Timer1_Timer();
    return w;
}

int PlayTest::slideANeighbour(frmmain& w)
{
    const int n = w.game.gridSize;
    const int blank = w.game.blankPos;
    const int cell = blank % n > 0 ? blank - 1 : blank + 1;
    press(w.picbox[cell]);
    return cell;
}

void PlayTest::startGameCutsTheChosenPictureAtTheChosenSize()
{
    const auto w = openedWindow();
    click(w->imgnext);
    click(w->imgnext);
    click(w->imgchage);
    click(w->imgchage);
    QCOMPARE(w->game.picNo, std::int16_t(3));
    QCOMPARE(w->game.gridSize, std::int16_t(5));
    QCOMPARE(sounds.size(), 4);

    w->E_game->trigger();
    QCOMPARE(sounds.size(), 4); // starting a game is silent
    QVERIFY(w->Picture3->isHidden());
    QVERIFY(!w->E_game->isEnabled() && w->E_restart->isEnabled());
    QVERIFY(!w->imgnext->isEnabled() && !w->imgprev->isEnabled() && !w->imgchage->isEnabled());

    const QImage picture = testdata::decoded(dir.path(), 3);
    for (int k = 0; k < 25; ++k) {
        const int tile = k == w->game.blankPos ? 24 : w->game.board[k];
        QCOMPARE(w->picbox[k]->picture(), picture.copy(tile % 5 * 96, tile / 5 * 72, 96, 72));
        QCOMPARE(w->picbox[k]->isHidden(), k == w->game.blankPos);
    }
    QVERIFY(w->picbox[25]->isHidden());

    // The buttons are locked while the game runs: nothing changes, nothing sounds.
    press(w->imgnext);
    press(w->imgchage);
    QCOMPARE(w->game.picNo, std::int16_t(3));
    QCOMPARE(w->game.gridSize, std::int16_t(5));
    QCOMPARE(w->imgnext->pos(), QPoint(476, 392));
    QCOMPARE(sounds.size(), 4);
}

void PlayTest::restartReturnsToTheStartWithoutFadeOrSound()
{
    const auto w = openedWindow();
    w->E_game->trigger();
    const BoardArray start = w->game.board;
    QList<QImage> shown;
    for (ImageControl* tile : w->picbox)
        shown << (tile->isHidden() ? QImage() : tile->picture());

    const int moved = slideANeighbour(*w);
    QVERIFY(w->picbox[moved]->isHidden());
    QCOMPARE(sounds.size(), 1);
    QCOMPARE(sounds.first(), dir.path() + QStringLiteral("/move.wav"));

    w->E_restart->trigger();
    QCOMPARE(w->game.board, start);
    QCOMPARE(w->game.blankPos, w->game.startBlank);
    for (int k = 0; k < 36; ++k)
        QCOMPARE(w->picbox[k]->isHidden() ? QImage() : w->picbox[k]->picture(), shown[k]);
    QCOMPARE(sounds.size(), 1);
    QVERIFY(!w->fade->isRunning());
}

void PlayTest::theFinishingMoveEndsTheGameAndANewGameScramblesAfresh()
{
    const auto w = openedWindow();
    click(w->imgchage); // 4 × 4
    click(w->imgchage); // 5 × 5
    click(w->imgchage); // 6 × 6: 1296 moves, so two scrambles will not come out the same
    sounds.clear();
    w->E_game->trigger();
    const BoardArray firstStart = w->game.startBoard;

    // Put the board one move from home: every tile in place but the last, the blank beside it.
    for (int k = 0; k < 36; ++k) {
        w->game.board[k] = static_cast<std::int16_t>(k);
        w->picbox[k]->setVisible(k != 34);
    }
    std::swap(w->game.board[34], w->game.board[35]);
    w->game.blankPos = 34;
    press(w->picbox[35]);

    QCOMPARE(sounds.size(), 1); // the move's sound, and no other for the end
    QVERIFY(w->E_game->isEnabled() && !w->E_restart->isEnabled());
    QVERIFY(w->imgnext->isEnabled() && w->imgprev->isEnabled() && w->imgchage->isEnabled());
    for (ImageControl* tile : w->picbox)
        QVERIFY(tile->isHidden());
    QVERIFY(!w->Picture3->isHidden());
    QCOMPARE(w->Picture3->surface(), testdata::decoded(dir.path(), 1));

    w->E_game->trigger();
    QVERIFY(w->game.startBoard != firstStart);
}

void PlayTest::otherButtonsOnATileOpenTheGameMenuAndMoveNothing()
{
    const auto w = openedWindow();
    w->E_game->trigger();
    const BoardArray before = w->game.board;
    const int n = w->game.gridSize;
    const int neighbour = w->game.blankPos % n > 0 ? w->game.blankPos - 1 : w->game.blankPos + 1;

    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QWidget* popup = nullptr;
        QTimer::singleShot(50, [&] {
            popup = QApplication::activePopupWidget();
            if (popup)
                popup->close();
        });
        press(w->picbox[neighbour], button);
        QCOMPARE(popup, w->E_games);
        // The pop-up shows the menu's own states: no new game while one runs.
        QVERIFY(!w->E_game->isEnabled() && w->E_restart->isEnabled());
    }
    QCOMPARE(w->game.board, before);
    QVERIFY(sounds.isEmpty());
}

void PlayTest::theDifficultyButtonStepsOnEveryPress()
{
    const auto w = openedWindow();
    const QStringList expected{"难易度:中级", "难易度:高级", "难易度:特级", "难易度:初级"};
    for (int i = 0; i < 4; ++i) {
        const Qt::MouseButton button = i == 1 ? Qt::RightButton : Qt::LeftButton;
        press(w->imgchage, button);
        QCOMPARE(w->imgchage->pos(), QPoint(81, 393)); // pressed in, 15 twips right and 10 down
        QCOMPARE(w->labchage->text(), expected[i]);
        release(w->imgchage, button);
        QCOMPARE(w->imgchage->pos(), QPoint(80, 392));
    }
    QCOMPARE(w->game.gridSize, std::int16_t(3));
    QCOMPARE(sounds.size(), 4);
    QVERIFY(w->Picture3->isVisible()); // nothing but the label and the size changed
}

void PlayTest::theBrowserWrapsAndShowsOnlyInTheDisplay()
{
    const auto w = openedWindow();
    const QImage source = w->Picture1->picture();

    press(w->imgprev);
    QCOMPARE(w->game.picNo, std::int16_t(5));
    QCOMPARE(w->imgprev->pos(), QPoint(432, 393));
    QCOMPARE(w->Picture3->surface(), testdata::decoded(dir.path(), 5));
    release(w->imgprev);
    QCOMPARE(w->imgprev->pos(), QPoint(433, 392));

    press(w->imgnext, Qt::RightButton);
    QCOMPARE(w->game.picNo, std::int16_t(1));
    QCOMPARE(w->imgnext->pos(), QPoint(477, 393));
    QCOMPARE(w->Picture3->surface(), testdata::decoded(dir.path(), 1));
    release(w->imgnext, Qt::RightButton);
    QCOMPARE(w->imgnext->pos(), QPoint(476, 392));

    QCOMPARE(w->Picture1->picture(), source); // the fade's source waits for the next game
    QCOMPARE(sounds.size(), 2);

    // With a single picture both buttons show it again, read afresh, with the sound.
    const auto single = openedWindow("1", 1);
    sounds.clear();
    press(single->imgnext);
    press(single->imgprev);
    QCOMPARE(single->game.picNo, std::int16_t(1));
    QCOMPARE(sounds.size(), 2);
}

void PlayTest::inputDuringAFadeWaitsForItsEnd()
{
    const auto w = openedWindow();
    w->E_game->trigger();
    for (int k = 0; k < 9; ++k) // one move from home
        w->game.board[k] = static_cast<std::int16_t>(k == 7 ? 8 : k == 8 ? 7 : k);
    w->game.blankPos = 7;
    w->picbox[8]->show();
    w->fadeStepTime = 20;

    // The last move ends the game; during its fade the player already browses on.
    bool heldDuringTheFade = false;
    QTimer::singleShot(100, w.get(), [&] {
        click(w->imgnext);
        heldDuringTheFade = w->fade->isRunning() && w->game.picNo == 1 && sounds.size() == 1;
    });
    press(w->picbox[8]);
    QVERIFY(heldDuringTheFade);
    QTRY_COMPARE(w->game.picNo, std::int16_t(2));
    QCOMPARE(w->Picture3->surface(), testdata::decoded(dir.path(), 2));
    QCOMPARE(w->imgnext->pos(), QPoint(476, 392)); // the release came after the press
    QCOMPARE(sounds.size(), 2);
}

void PlayTest::twoPressesInOneTurnMoveTwice()
{
    const auto w = openedWindow();
    w->E_game->trigger();
    const int first = w->game.blankPos % 3 > 0 ? w->game.blankPos - 1 : w->game.blankPos + 1;
    const int back = w->game.blankPos; // after the first move the blank is where the tile was
    for (int cell : {first, back}) {
        const QPoint at(5, 5);
        QCoreApplication::postEvent(w->picbox[cell], new QMouseEvent(QEvent::MouseButtonPress, at, w->picbox[cell]->mapToGlobal(at),
                                                                     Qt::LeftButton, Qt::LeftButton, {}));
    }
    QTRY_COMPARE(sounds.size(), 2);
    QCOMPARE(w->game.board, w->game.startBoard); // there and back again
    QVERIFY(w->picbox[w->game.blankPos]->isHidden());
    QVERIFY(!w->picbox[first]->isHidden());
}

// A right press during a fade opens the game menu only once the fade is over; what is chosen
// from it then acts on the finished state, never on a half-done command.
void PlayTest::menuCommandsChosenDuringAFadeActAfterIt()
{
    const auto w = openedWindow();
    w->fadeStepTime = 20;
    const auto rightPressDuringTheFade = [&] {
        QTimer::singleShot(100, w.get(), [&] { QTest::mousePress(w->Picture3, Qt::RightButton, {}, QPoint(50, 50)); });
    };
    bool boardWasShown = false;
    // When the game menu opens, look at the window, then choose the command from the menu.
    const auto choose = [&](QAction* command, std::function<void()> check) {
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = connect(w->E_games, &QMenu::aboutToShow, w.get(), [&w, once, command, check] {
            QObject::disconnect(*once);
            check();
            QTimer::singleShot(0, w.get(), [&w, command] {
                w->E_games->close();
                command->trigger();
            });
        });
    };

    // Exit chosen during the start fade: the board comes first, then the game is left.
    rightPressDuringTheFade();
    choose(w->E_exit, [&] { boardWasShown = w->Picture3->isHidden() && !w->E_game->isEnabled(); });
    w->E_game->trigger();
    QTRY_VERIFY(w->E_game->isEnabled());
    QVERIFY(boardWasShown);
    QVERIFY(!w->Picture3->isHidden());

    // Start game chosen during the end fade: the whole picture first, then a new board.
    w->E_game->trigger();
    for (int k = 0; k < 9; ++k) // one move from home
        w->game.board[k] = static_cast<std::int16_t>(k == 7 ? 8 : k == 8 ? 7 : k);
    w->game.blankPos = 7;
    bool pictureWasBack = false;
    rightPressDuringTheFade();
    choose(w->E_game, [&] { pictureWasBack = !w->Picture3->isHidden() && w->E_game->isEnabled(); });
    press(w->picbox[8]);
    QTRY_VERIFY(!w->E_game->isEnabled() && w->Picture3->isHidden());
    QVERIFY(pictureWasBack);
    QVERIFY(!w->fade->isRunning());
}

} // namespace vellumi

VELLUMI_GUI_TEST_MAIN(vellumi::PlayTest)
#include "tst_play.moc"
