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

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QTest>

#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumi {

// Every command of the window, from the menu, the pop-up and the keyboard, with the settings
// that keep the player's choices.
class CommandsTest : public WindowTest {
    Q_OBJECT
private slots:
    void init() { clearHome(); }
    void menuCommandsWorkFromTheMenuAndThePopUp();
    void everyCommandHasAKey();
    void hintsKnowTheWayHome();
    void aSettingsFileNotOursIsSetAside_data();
    void aSettingsFileNotOursIsSetAside();
    void aSettingsFileEditedByHandIsKept();
};

void CommandsTest::menuCommandsWorkFromTheMenuAndThePopUp()
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
void CommandsTest::everyCommandHasAKey()
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
void CommandsTest::hintsKnowTheWayHome()
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

void CommandsTest::aSettingsFileNotOursIsSetAside_data()
{
    QTest::addColumn<QString>("why");
    for (const char* kind : {"a pipe", "a folder"})
        QTest::newRow(kind) << "不是普通文件";
    QTest::newRow("100 MB") << "文件太大";
    QTest::newRow("random bytes") << "内容无法识别";
    QTest::newRow("a NUL in a line") << "内容无法识别";
}

// A settings file the game did not write is never read as settings, nor deleted: it is set
// aside, the game goes on with its defaults, and says so once. Met again at a write, the same.
void CommandsTest::aSettingsFileNotOursIsSetAside()
{
    QFETCH(QString, why);
    const QString file = Settings::defaultPath();
    const auto inode = [](const QString& path) {
        struct stat info {};
        return ::stat(QFile::encodeName(path), &info) == 0 ? info.st_ino : 0;
    };
    const auto make = [&, tag = QByteArray(QTest::currentDataTag())] {
        static const char withNul[] = "[board]\nnumbers=tr\0ue\n";
        QByteArray bytes(4000, 0);
        std::generate(bytes.begin(), bytes.end(), std::mt19937(7));
        QFile big(file);
        const bool made = tag == "a pipe"         ? ::mkfifo(QFile::encodeName(file), 0600) == 0
                          : tag == "a folder"     ? QDir().mkpath(file)
                          : tag == "100 MB"       ? big.open(QIODevice::WriteOnly) && big.resize(100 << 20)
                          : tag == "random bytes" ? testdata::writeFile(file, bytes)
                                                  : testdata::writeFile(file, QByteArray(withNul, sizeof withNul - 1));
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

// A file edited by hand, with keys the game never writes, is read; what the game writes back
// it reads again the same, and never takes for a file not its own.
void CommandsTest::aSettingsFileEditedByHandIsKept()
{
    const QString path = dir.filePath("edited.conf");
    QVERIFY(testdata::writeFile(path, "; by hand\n/odd = 1\n[board]\nnumbers=true\n[a/b]\nc=2\n"));
    Settings(path).setNumber(QStringLiteral("window/zoom"), 150);
    Settings again(path);
    QVERIFY(again.takeProblems().isEmpty());
    QCOMPARE(again.number(QStringLiteral("/odd"), 0), 1);
    QCOMPARE(again.number(QStringLiteral("a/b/c"), 0), 2);
    QVERIFY(again.flag(QStringLiteral("board/numbers"), false));
    QCOMPARE(again.number(QStringLiteral("window/zoom"), 100), 150);
}

} // namespace vellumi

int main(int argc, char* argv[])
{
    vellumi::CommandsTest test;
    return vellumi::runWindowTests(argc, argv, test);
}
#include "tst_commands.moc"
