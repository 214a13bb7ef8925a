#include "ui/MainWindow.h"

#include "files/PictureBrowser.h"
#include "play/GameKeeper.h"
#include "play/HintPlayer.h"
#include "ui/PictureBox.h"
#include "ui/ProgressLabel.h"
#include "ui/RecordsBox.h"

#include <QAction>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>

// The player's input as the window hears it: the keys that stand for commands, arrows, presses,
// the peek while Space is held, and the window coming into and going out of the player's sight.

namespace vellumi {

// Keys the design's menu does not show: actions of the window itself, so that each works
// wherever the focus is and, where it stands for a menu command, is that command.
void MainWindow::buildKeys()
{
    const auto key = [this](const char* name, const QList<QKeySequence>& keys, std::function<void()> command) {
        auto* action = new QAction(this);
        action->setObjectName(QLatin1String(name));
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, std::move(command));
        addAction(action);
    };
    key("newGameKey", {Qt::CTRL | Qt::Key_N}, [this] { startGameAction->trigger(); });
    key("restartKey", {Qt::CTRL | Qt::Key_R}, [this] { restartAction->trigger(); });
    key("helpKey", {Qt::Key_F1}, [this] { showHelp(); });
    key("undoKey", {Qt::CTRL | Qt::Key_Z}, [this] { stepThroughHistory(false); });
    key("redoKey", {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z}, [this] { stepThroughHistory(true); });
    key("numbersKey", {Qt::Key_N}, [this] {
        showNumbers = !showNumbers;
        remember(QStringLiteral("board/numbers"), showNumbers);
        syncTiles();
    });
    key("hintKey", {Qt::Key_H}, [this] { askForHint(false); });
    key("solveKey", {Qt::SHIFT | Qt::Key_H}, [this] { askForHint(true); });
    key("muteKey", {Qt::Key_M}, [this] {
        muted = !muted;
        remember(QStringLiteral("sound/muted"), muted);
    });
    key("progressKey", {Qt::Key_T}, [this] {
        progress->setVisible(!progress->isVisible());
        remember(QStringLiteral("board/progress"), progress->isVisible());
        progress->refresh();
    });
    key("recordsKey", {Qt::CTRL | Qt::Key_H}, [this] {
        showRecordsBox(this, keeper->records(), keeper->keyOf(browser->path(), session.state().gridSize),
                       QFileInfo(browser->path()).fileName());
    });
}

// The whole picture in place of the board, and then the board exactly as it was. The display
// lies hidden under the board all game, and the end's fade draws it afresh, so what it held
// before need not be kept. The board's edge tiles reach past the display, over its frame, so
// they go while it shows: the window looks just as between games.
void MainWindow::peek(bool on)
{
    if (on == peeking || (on && !session.isRunning()))
        return;
    peeking = on;
    if (on) {
        display->setPicture(browser->picture());
        display->show();
        syncTiles();
    } else if (session.isRunning()) {
        // A game abandoned meanwhile has shown its picture already.
        syncTiles();
        display->hide();
    }
}

// The same menu object as the menu bar's, so the pop-up shows the same enabled states. Not
// exec(): the menu runs in the one event loop like everything else.
void MainWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        gameMenu->popup(event->globalPosition().toPoint());
}

// During a game an arrow slides the tile that lies that way of the blank, exactly as a press on
// it would; between games left and right browse. Keys during a fade wait like every input.
void MainWindow::keyPressEvent(QKeyEvent* event)
{
    static const std::pair<int, Direction> arrows[] = {{Qt::Key_Left, Direction::Left},
                                                       {Qt::Key_Right, Direction::Right},
                                                       {Qt::Key_Up, Direction::Up},
                                                       {Qt::Key_Down, Direction::Down}};
    const auto arrow =
        std::find_if(std::begin(arrows), std::end(arrows), [event](const auto& a) { return a.first == event->key(); });
    const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (event->key() == Qt::Key_Space && plain && session.isRunning()) {
        // Held, the key repeats; only the first press counts.
        if (!event->isAutoRepeat())
            peek(true);
    } else if (arrow == std::end(arrows) || !plain) {
        QMainWindow::keyPressEvent(event);
    } else if (session.isRunning()) {
        if (const std::optional<int> cell = cellSliding(session.state(), arrow->second))
            onTilePressed(*cell, Qt::LeftButton);
    } else if (arrow->second == Direction::Left || arrow->second == Direction::Right) {
        stepPicture(arrow->second == Direction::Right);
    } else {
        cycleDifficulty(arrow->second == Direction::Up);
    }
}

// Watched wherever they go. Any key or press of the player's stops the game playing itself: a
// key that is a shortcut (H, N, M) is only ever seen as its override. And Space let go ends a
// peek, also when the release went to a pop-up menu that opened meanwhile.
bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::ShortcutOverride || type == QEvent::MouseButtonPress)
        hints->stopPlaying();
    if (type == QEvent::KeyRelease) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && !key->isAutoRepeat())
            peek(false);
    }
    return QMainWindow::eventFilter(watched, event);
}

// A window left while Space is held never hears it let go; and the clock runs only while the
// player can see the game.
void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        peek(false);
    if (event->type() == QEvent::ActivationChange || event->type() == QEvent::WindowStateChange)
        followActivation();
    QMainWindow::changeEvent(event);
}

void MainWindow::followActivation()
{
    const bool seen = isActiveWindow() && !isMinimized();
    if (seen == session.isClockRunning())
        return;
    session.setClockRunning(seen);
    keeper->changed();
    progress->refresh();
}

} // namespace vellumi
