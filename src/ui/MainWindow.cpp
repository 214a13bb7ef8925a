#include "ui/MainWindow.h"

#include "files/PictureBrowser.h"
#include "game/DataFiles.h"
#include "game/Selection.h"
#include "play/GameKeeper.h"
#include "play/HintPlayer.h"
#include "sound/SoundPlayer.h"
#include "ui/AboutDialog.h"
#include "ui/Artwork.h"
#include "ui/BoardView.h"
#include "ui/Fades.h"
#include "ui/HelpBox.h"
#include "ui/MainForm.h"
#include "ui/PictureBox.h"
#include "ui/PictureDrops.h"
#include "ui/ProgressLabel.h"
#include "ui/WindowZoom.h"

#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>

#include <chrono>

namespace vellumi {

MainWindow::MainWindow(const QString& programFolder, const QString& ownFolder, QWidget* parent)
    : QMainWindow(parent)
    , programFolder(programFolder)
    , problems(this)
{
    browser =
        new PictureBrowser(programFolder, ownFolder.isEmpty() ? PictureCatalog::usualOwnFolder() : ownFolder, this);
    connect(browser, &PictureBrowser::shown, this, &MainWindow::onPictureShown);
    connect(browser, &PictureBrowser::problems, this, [this](const QStringList& list) { problems.tell(list); });
    // Between games only.
    auto* drops = new PictureDrops(this, browser->ownFolder(),
                                   [this] { return isEnabled() && !session.isRunning() && !isFading(); });
    connect(drops, &PictureDrops::finished, this, &MainWindow::onImported);
    hints = new HintPlayer(session, this);
    connect(hints, &HintPlayer::press, this, [this](int cell) {
        session.markHelped();
        onTilePressed(cell, Qt::LeftButton);
    });
    keeper = new GameKeeper(session, KeptGameFile::defaultFolder(), RecordsFile::defaultPath(), this);
    connect(keeper, &GameKeeper::problems, this, [this](const QStringList& list) { problems.tell(list); });
    auto* player = new SoundPlayer(this);
    playSound = [player](const QString& file) { player->play(file); };
    rnd = [this] { return static_cast<float>(generator() >> 8) * (1.0f / 16777216.0f); };

    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(QStringLiteral("Vellumi"));
    setWindowIcon(QPixmap::fromImage(artwork::windowIcon()));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    showNumbers = settings.flag(QStringLiteral("board/numbers"), false);
    muted = settings.flag(QStringLiteral("sound/muted"), false);
    progress = new ProgressLabel(session, menuBar());
    progress->setVisible(settings.flag(QStringLiteral("board/progress"), false));
    buildMenu();
    buildKeys();
    buildControls();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    new WindowZoom(*this, *form, *gameMenu, settings);
    QCoreApplication::instance()->installEventFilter(this);
    // Nothing may be used until the opening fade has shown the first picture.
    setEnabled(false);
}

// However the program ends, the game in hand is on disk before it does.
MainWindow::~MainWindow()
{
    keeper->close();
}

void MainWindow::buildMenu()
{
    gameMenu = menuBar()->addMenu(QStringLiteral("游戏(&G)"));
    gameMenu->setObjectName(QStringLiteral("E_games"));
    const auto item = [this](const char* name, const QString& caption, void (MainWindow::*command)()) {
        QAction* action = gameMenu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    startGameAction = item("E_game", QStringLiteral("开始游戏(&game)"), &MainWindow::startGame);
    restartAction = item("E_restart", QStringLiteral("重新开始(&replay)"), &MainWindow::restartGame);
    restartAction->setEnabled(false);
    gameMenu->addSeparator()->setObjectName(QStringLiteral("E_2"));
    item("E_help", QStringLiteral("使用帮助(&help)"), &MainWindow::showHelp);
    item("E_reg", QStringLiteral("注册版权(&option)"), &MainWindow::showCopyright);
    gameMenu->addSeparator()->setObjectName(QStringLiteral("E_1"));
    item("E_exit", QStringLiteral("退出游戏(&exit)"), &MainWindow::exitOrLeaveGame);
}

void MainWindow::remember(const QString& key, bool value)
{
    settings.setFlag(key, value);
    problems.tell(settings.takeProblems());
}

void MainWindow::buildControls()
{
    form = new MainForm(this);
    setCentralWidget(form);
    source = form->source;
    display = form->display;
    board = form->board;
    fades = new Fades(*this, *source, *form->work, *display);
    connect(form, &MainForm::stepPicture, this, &MainWindow::stepPicture);
    connect(form, &MainForm::cycleDifficulty, this, &MainWindow::cycleDifficulty);
    connect(board, &BoardView::pressed, this, &MainWindow::onTilePressed);
    connect(form, &MainForm::rescaled, this, &MainWindow::onRescaled);
    connect(browser, &PictureBrowser::rescaled, this, &MainWindow::onPictureRescaled);
    onRescaled();
}

// Pictures are read, cut and faded in the device pixels of the form's new scale.
void MainWindow::onRescaled()
{
    browser->setPictureSize(form->pictureSize());
    fades->setPixelSize(form->grid().line());
}

// The same picture, sharp at the new scale: wherever it shows, it shows anew. A fade under
// way draws each step afresh from its source.
void MainWindow::onPictureRescaled()
{
    source->setPicture(browser->picture());
    if (session.isRunning()) {
        board->deal(browser->picture(), session.state().gridSize);
        syncTiles();
    }
    if (!fades->isRunning() && isEnabled() && (!session.isRunning() || peeking))
        display->setPicture(browser->picture());
}

QString MainWindow::load()
{
    const auto seed = std::chrono::system_clock::now().time_since_epoch().count();
    generator.seed(static_cast<std::mt19937::result_type>(seed));
    problems.tell(settings.takeProblems());
    // Read here and now, however large: nothing shows before the opening fade anyway.
    if (const QString why = browser->open(); !why.isEmpty())
        return why;
    session.setPictureCount(static_cast<std::int16_t>(browser->numberedCount()));
    // An unfinished game kept from the last run comes back after the opening, as a new game
    // would, on its own picture and difficulty.
    std::optional<KeptGame> kept = keeper->takeKept();
    if (kept && !browser->showNow(QFile::decodeName(kept->picture.c_str()))) {
        keeper->drop(QStringLiteral("保存的未完成游戏的图片无法显示，游戏已放弃：%1").arg(kept->picture.c_str()));
        kept.reset();
    }
    if (kept) {
        session.chooseGridSize(static_cast<std::int16_t>(kept->gridSize));
        form->showDifficulty(kept->gridSize);
        describeDisplay();
    }
    // Nothing shows before the opening fade, which brings the picture in from its source.
    display->setPicture({});
    source->setPicture(browser->picture());
    // The window stays disabled throughout, so input during the opening has no effect at all.
    fades->startOpening([this, kept] {
        setEnabled(true);
        if (kept)
            beginGame(&*kept);
    });
    return {};
}

void MainWindow::setFadeStepTime(int milliseconds)
{
    fades->setStepTime(milliseconds);
}

bool MainWindow::isFading() const
{
    return fades->isRunning();
}

void MainWindow::startGame()
{
    beginGame(nullptr);
}

// A new game, or the kept one played on.
void MainWindow::beginGame(const KeptGame* kept)
{
    // The fade gives the tables a head start on the first hint.
    hints->prepare(session.state().gridSize);
    // The game is played with the picture on show, whatever was being read, as it was read: a
    // file changed since then changes nothing now.
    browser->stopReading();
    setBrowsing(false);
    source->setPicture(browser->picture());
    fades->fadeOutThen([this, kept = kept ? std::optional<KeptGame>(*kept) : std::nullopt] {
        kept ? (void)session.resume(*kept) : session.start(rnd);
        keeper->started(browser->path(), kept ? kept->content : std::string());
        board->deal(browser->picture(), session.state().gridSize);
        syncTiles();
        display->hide();
        if (kept)
            keeper->restored();
        followActivation();
        keeper->changed();
        progress->refresh();
    });
}

void MainWindow::restartGame()
{
    if (peeking || !session.restart())
        return;
    hints->dropHint();
    syncTiles();
    keeper->changed();
    progress->refresh();
}

void MainWindow::onTilePressed(int cell, Qt::MouseButton button)
{
    if (button != Qt::LeftButton) {
        gameMenu->popup(QCursor::pos());
        return;
    }
    if (!peeking)
        showMove(session.press(cell));
}

// What every slide has in common, whoever made it: a search for the board before is of no more
// use, the tiles follow, the move sounds, and a whole picture ends the game.
void MainWindow::showMove(const PressResult& result)
{
    if (result.moved) {
        hints->dropHint();
        syncTiles();
        playMoveSound();
        keeper->changed();
        progress->refresh();
    }
    if (result.solved)
        finishGame();
}

void MainWindow::stepThroughHistory(bool forward)
{
    if (!peeking)
        showMove(forward ? session.redo() : session.undo());
}

void MainWindow::askForHint(bool playToTheEnd)
{
    if (peeking)
        return;
    playToTheEnd ? hints->playToTheEnd() : hints->hint();
}

void MainWindow::finishGame()
{
    leaveGame();
    progress->showFinished(keeper->finished());
    form->tellWhole();
    fades->fadeOutThen([this] {
        display->setPicture(browser->picture());
        describeDisplay();
    });
}

void MainWindow::leaveGame()
{
    hints->stopPlaying();
    setBrowsing(true);
    syncTiles();
    display->show();
}

void MainWindow::exitOrLeaveGame()
{
    if (!session.isRunning()) {
        QCoreApplication::exit(0);
        return;
    }
    session.leave();
    keeper->left();
    progress->refresh();
    leaveGame();
    display->setPicture(browser->picture());
}

void MainWindow::setBrowsing(bool on)
{
    form->setBrowsing(on);
    startGameAction->setEnabled(on);
    restartAction->setEnabled(!on);
}

void MainWindow::syncTiles()
{
    board->show(session.state(), session.isRunning() && !peeking, showNumbers);
}

void MainWindow::onPictureShown()
{
    session.choosePicture(static_cast<std::int16_t>(browser->number()));
    display->setPicture(browser->picture());
    describeDisplay();
}

void MainWindow::describeDisplay()
{
    form->describe(session.state().picNo, session.state().gridSize);
}

void MainWindow::cycleDifficulty(bool forward)
{
    const std::int16_t size = session.state().gridSize;
    const std::int16_t next = forward ? nextGridSize(size) : previousGridSize(size);
    if (next != size) {
        session.chooseGridSize(next);
        form->showDifficulty(next);
        describeDisplay();
    }
    playMoveSound();
}

void MainWindow::stepPicture(bool forward)
{
    browser->step(forward);
    playMoveSound();
}

void MainWindow::playMoveSound()
{
    if (!muted)
        playSound(QString::fromStdString(moveSoundFile(programFolder.toStdString())));
}

void MainWindow::showHelp()
{
    showHelpBox(this, QString::fromStdString(readmeFile(programFolder.toStdString())));
}

void MainWindow::showCopyright()
{
    if (!aboutDialog)
        aboutDialog = new AboutDialog(this);
    aboutDialog->exec();
}

// The first picture dropped is shown, unless a game has begun meanwhile.
void MainWindow::onImported(const QStringList& copied, const QStringList& refused)
{
    problems.tell(refused);
    if (!copied.isEmpty() && !session.isRunning() && !isFading())
        browser->showOwn(copied.first());
}

} // namespace vellumi
