#pragma once

#include "DataFolder.h"
#include "game/Scramble.h"
#include "ui/Appearance.h"
#include "ui/BoardView.h"
#include "ui/ImageControl.h"
#include "ui/MainWindow.h"
#include "ui/PictureBox.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <memory>
#include <random>

// Finding and driving the main window's controls by their design names, for the tests of the
// window.
namespace vellumi {

// The scramble walks the blank left and right from its corner: an odd number of moves (3 × 3)
// leaves the board one slide from home, blank at cell 7; an even one (4 × 4) leaves it in order.
inline Rnd leftAndRight()
{
    return [i = 0]() mutable { return (i++ % 2) ? 0.3f : 0.1f; };
}

inline Rnd seeded(int seed)
{
    return
        [generator = std::mt19937(seed)]() mutable { return std::uniform_real_distribution<float>(0, 1)(generator); };
}

template <typename T = QWidget>
T* control(const QWidget& w, const QString& name)
{
    T* found = w.findChild<T*>(name);
    return found ? found : (qFatal("no control %s", qPrintable(name)), nullptr);
}

inline QAction* command(const QWidget& w, const char* name)
{
    return control<QMenu>(w, "E_games")->findChild<QAction*>(name);
}
// What the problem box tells, a line a problem; nothing when there is none.
inline QStringList told(const QWidget& w)
{
    const auto* box = w.findChild<QMessageBox*>();
    return box ? box->text().split('\n') : QStringList();
}

inline bool settled(const MainWindow& w)
{
    return QTest::qWaitFor([&] { return w.isEnabled() && !w.isFading(); }, 10000);
}

inline ImageControl* tile(const QWidget& w, int cell)
{
    return control<ImageControl>(w, QStringLiteral("picbox(%1)").arg(cell));
}
inline QImage shownPicture(const QWidget& w)
{
    return control<PictureBox>(w, "Picture3")->surface();
}
// What a screen reader is told of a control.
inline QString said(const QWidget& w, const QString& name, QAccessible::Text what = QAccessible::Name)
{
    return QAccessible::queryAccessibleInterface(control(w, name))->text(what);
}

inline void press(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(widget, button, {}, QPoint(2, 2));
}
// As a screen reader presses a button.
inline void pressAloud(QWidget* widget)
{
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(widget);
    QCOMPARE(button->role(), QAccessible::Button);
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}
inline void click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(widget, button, {}, QPoint(2, 2));
}

// Through the window, the way the window system delivers a press, so that a modal window or a
// disabled control stops it as it stops a player.
inline void clickOnWindow(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
{
    QWindow* window = widget->window()->windowHandle();
    QTest::mouseClick(window, button, {}, widget->mapTo(widget->window(), QPoint(5, 5)));
}

// Runs `look` on the modal window that opens next, then closes it.
inline void whenOpened(std::function<void(QWidget*)> look)
{
    QTimer::singleShot(50, [look = std::move(look)] {
        look(QApplication::activeModalWidget());
        QApplication::activeModalWidget()->close();
    });
}

// What the window's tests share: a program folder of their own, the window as the player first
// gets it, and what must hold of the board and between games.
class WindowTest : public QObject {
protected:
    // Settings, records and the unfinished game of the last test are gone.
    void clearHome()
    {
        sounds.clear();
        dir = QTemporaryDir();
        for (const char* folder : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
            QDir(qEnvironmentVariable(folder)).removeRecursively();
    }
    // A window past its opening fade, as the player first gets it; its sounds are counted.
    std::unique_ptr<MainWindow> openedWindow();
    void startGame(MainWindow& w);
    void checkBoardShown(const MainWindow& w, int picture);
    void checkBrowsing(const MainWindow& w, int picture);

    QTemporaryDir dir;
    QStringList sounds;
};

inline std::unique_ptr<MainWindow> WindowTest::openedWindow()
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

inline void WindowTest::startGame(MainWindow& w)
{
    command(w, "E_game")->trigger();
    QVERIFY(settled(w));
}

// What a player sees of the board must be what the game holds: every cell but the blank shows
// the piece of the tile in it, cut from the picture with the spare pixels dropped at the right
// and bottom, and nothing else shows.
inline void WindowTest::checkBoardShown(const MainWindow& w, int picture)
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
inline void WindowTest::checkBrowsing(const MainWindow& w, int picture)
{
    QVERIFY(settled(w));
    QVERIFY(command(w, "E_game")->isEnabled() && !command(w, "E_restart")->isEnabled());
    for (const char* button : {"imgnext", "imgprev", "imgchage"})
        QVERIFY(control(w, button)->isEnabled());
    for (int k = 0; k < BoardView::tileCount; ++k)
        QVERIFY(tile(w, k)->isHidden());
    QCOMPARE(shownPicture(w), testdata::decoded(dir.path(), picture));
}

// A window test's program: settings, records and the unfinished game go to folders of this
// run's own, never to the player's or another run's; "--child SCENARIO FOLDER" runs `child`.
inline int runWindowTests(int argc, char* argv[], QObject& test,
                          const std::function<int(const QString&, const QString&)>& child = {})
{
    const QTemporaryDir home;
    const bool isChild = argc == 4 && QByteArray(argv[1]) == "--child";
    for (const char* folder : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
        if (!isChild)
            qputenv(folder, (home.path() + '/' + folder).toLocal8Bit());
    QApplication app(argc, argv);
    // As a desktop whose own style differs would start it.
    QApplication::setStyle(QStringLiteral("Windows"));
    applyAppearance(app);
    if (isChild)
        return child(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    return QTest::qExec(&test, argc, argv);
}

} // namespace vellumi
