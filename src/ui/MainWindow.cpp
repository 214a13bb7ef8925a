#include "ui/MainWindow.h"

#include "ui/InputHold.h"
#include "effects/PatternFade.h"
#include "game/Board.h"
#include "game/History.h"
#include "game/DataFiles.h"
#include "game/PictureCount.h"
#include "game/Selection.h"
#include "sound/SoundPlayer.h"
#include "ui/AboutDialog.h"
#include "ui/Appearance.h"
#include "ui/Artwork.h"
#include "ui/DesignSurface.h"
#include "play/HintSearch.h"
#include "ui/ImageControl.h"
#include "ui/PictureBox.h"
#include "files/PictureFile.h"
#include "files/PictureImport.h"
#include "files/PictureLoader.h"
#include "files/Settings.h"
#include "ui/Twips.h"

#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QAccessible>
#include <QDir>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QStandardPaths>
#include <QUrl>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSpacerItem>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>

namespace vellumi {

namespace {

QString countFileProblem(CountError error)
{
    switch (error) {
    case CountError::None: break;
    case CountError::Empty: return QStringLiteral("图片数量文件是空的：%1");
    case CountError::NotANumber: return QStringLiteral("图片数量文件的第一项不是整数：%1");
    case CountError::OutOfRange: return QStringLiteral("图片数量超出范围（-32768 至 32767）：%1");
    case CountError::Unreadable: return QStringLiteral("无法读取图片数量文件：%1");
    }
    return {};
}

template <typename Widget>
Widget* designControl(QWidget* parent, const char* name, double left, double top)
{
    auto* control = new Widget(parent);
    control->setObjectName(QLatin1String(name));
    control->move(twips::point(left, top));
    return control;
}

QLabel* autoSizedLabel(QWidget* parent, const char* name, double left, double top, const QString& caption)
{
    auto* label = designControl<QLabel>(parent, name, left, top);
    label->setText(caption);
    label->adjustSize();
    // A press on a label is the label's own, and it does nothing with it.
    label->setAttribute(Qt::WA_NoMousePropagation);
    return label;
}

PictureBox* pictureBox(QWidget* parent, const char* name, double left, double top, double width, double height)
{
    auto* box = designControl<PictureBox>(parent, name, left, top);
    box->resize(twips::size(width, height));
    return box;
}

// A picture button sinks by a few twips while any mouse button holds it down, and acts on the
// press; the release only lifts it back.
ImageControl* pictureButton(QWidget* parent, const char* name, QPoint rest, QPoint pressed, const QImage& picture,
                            const QString& caption, const QString& keys, std::function<void()> action)
{
    auto* button = designControl<ImageControl>(parent, name, rest.x(), rest.y());
    button->setPicture(picture);
    button->setToolTip(QStringLiteral("%1（%2）").arg(caption, keys));
    button->setAccessibleName(caption);
    QObject::connect(button, &ImageControl::mouseDown, button, [button, pressed, action = std::move(action)] {
        button->move(twips::point(pressed.x(), pressed.y()));
        action();
    });
    QObject::connect(button, &ImageControl::mouseUp, button,
                     [button, rest] { button->move(twips::point(rest.x(), rest.y())); });
    return button;
}

} // namespace

MainWindow::MainWindow(const QString& programFolder, const QString& ownFolder, QWidget* parent)
    : QMainWindow(parent)
    , programFolder(programFolder)
    , catalog(programFolder, ownFolder.isEmpty() ? ownPicturesFolder() : ownFolder)
{
    loader = new PictureLoader(this);
    connect(loader, &PictureLoader::finished, this, &MainWindow::onPictureRead);
    import = new PictureImport(this);
    connect(import, &PictureImport::finished, this, &MainWindow::onImported);
    hints = new HintSearch(this);
    connect(hints, &HintSearch::found, this, &MainWindow::onHintFound);
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
    buildMenu();
    buildKeys();
    buildControls();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setAcceptDrops(true);
    QCoreApplication::instance()->installEventFilter(this);
    // Nothing may be used until the opening fade has shown the first picture.
    setEnabled(false);
}

MainWindow::~MainWindow() = default;

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
}

void MainWindow::remember(const QString& key, bool value)
{
    settings.setFlag(key, value);
    tellPlayer(settings.takeProblems());
}

void MainWindow::buildControls()
{
    auto* surface = new DesignSurface(this);
    surface->setObjectName(QStringLiteral("surface"));
    surface->setFixedSize(twips::size(7455, 6330));
    // Every button's press on the surface reaches the window's own press handler.
    surface->setContextMenuPolicy(Qt::PreventContextMenu);
    setCentralWidget(surface);

    openingTimer = new QTimer(this);
    openingTimer->setObjectName(QStringLiteral("Timer1"));
    openingTimer->setInterval(1000);
    openingTimer->setTimerType(Qt::PreciseTimer);
    connect(openingTimer, &QTimer::timeout, this, &MainWindow::runOpeningFade);
    openingTimer->start();

    // The fade's source and work boxes lie below the client area in the design; hidden, they
    // can never show.
    work = pictureBox(surface, "Picture2", 2100, 6540, 615, 435);
    work->hide();
    source = pictureBox(surface, "Picture1", 1200, 6540, 795, 435);
    source->hide();
    display = pictureBox(surface, "Picture3", 120, 180, 7260, 5460);
    display->setBackColor(systemColour(SystemColour::WindowText));

    difficultyButton = pictureButton(surface, "imgchage", {1200, 5880}, {1215, 5890}, artwork::difficultyButton(),
                                     QStringLiteral("改变难易度"), QStringLiteral("↑ ↓"), [this] { cycleDifficulty(true); });
    difficultyLabel = autoSizedLabel(surface, "labchage", 120, 5880, QStringLiteral("难易度:初级"));
    autoSizedLabel(surface, "Label1", 6735, 5880, QStringLiteral("选择"));
    previousButton = pictureButton(surface, "imgprev", {6495, 5880}, {6485, 5890}, artwork::previousButton(),
                                   QStringLiteral("上一张"), QStringLiteral("←"), [this] { showPreviousPicture(); });
    nextButton = pictureButton(surface, "imgnext", {7140, 5880}, {7150, 5890}, artwork::nextButton(),
                               QStringLiteral("下一张"), QStringLiteral("→"), [this] { showNextPicture(); });

    // All 36 tiles, bordered, start hidden below the visible part of the window until a board
    // is laid out; tile k always stands for cell k.
    for (int k = 0; k < tileControlCount; ++k) {
        auto* tile = new ImageControl(surface, true);
        tile->setObjectName(QStringLiteral("picbox(%1)").arg(k));
        // Every button's press goes to the tile itself, the right one included.
        tile->setContextMenuPolicy(Qt::PreventContextMenu);
        tile->setGeometry(twips::rect(120, 6600, 615, 555));
        tile->hide();
        connect(tile, &ImageControl::mouseDown, this, [this, k](Qt::MouseButton b) { onTilePressed(k, b); });
        tiles[k] = tile;
    }
    // Picture boxes lie above image controls, so the display covers any tile while it shows.
    display->raise();
}

QString MainWindow::ownPicturesFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/pictures");
}

void MainWindow::tellPlayer(const QStringList& problems)
{
    if (problems.isEmpty())
        return;
    for (const QString& problem : problems)
        std::fprintf(stderr, "tessra: %s\n", problem.toUtf8().constData());
    // A box that would list them all could be taller than any screen.
    constexpr int namedAtMost = 8;
    if (!problemBox) {
        problemsShown.clear();
        problemBox = new QMessageBox(QMessageBox::Warning, QStringLiteral("Vellumi"), {}, QMessageBox::Ok, this);
        problemBox->setAttribute(Qt::WA_DeleteOnClose);
        problemBox->setModal(false);
    }
    problemsShown += problems;
    QString text = problemsShown.mid(0, namedAtMost).join(u'\n');
    if (problemsShown.size() > namedAtMost)
        text += QStringLiteral("\n…等 %1 个文件").arg(problemsShown.size() - namedAtMost);
    problemBox->setText(text);
    problemBox->show();
}

void MainWindow::notePictureProblem(const QString& path, const QString& why, QStringList& problems)
{
    if (!reported.contains(path)) {
        reported.insert(path);
        problems << why;
    }
}

void MainWindow::applyPicture(int position, QImage picture)
{
    currentPicture = std::move(picture);
    currentPath = catalog.path(position);
    game.picNo = static_cast<std::int16_t>(position + 1);
    display->setPicture(currentPicture);
    describeDisplay();
}

MainWindow::Shown MainWindow::showPicture(int position, QStringList& problems)
{
    const QString path = catalog.path(position);
    QString why;
    const std::optional<PictureHeader> header = checkPicture(path, &why);
    if (header && !header->isQuickToRead()) {
        readingPosition = position;
        loader->read(path);
        return Shown::Later;
    }
    QImage picture = header ? loadPicture(path, &why) : QImage();
    if (picture.isNull()) {
        notePictureProblem(path, why, problems);
        return Shown::Never;
    }
    applyPicture(position, std::move(picture));
    return Shown::Now;
}

void MainWindow::onPictureRead(const QString& fileName, const QImage& picture, const QString& why)
{
    const int position = std::exchange(readingPosition, -1);
    if (!picture.isNull()) {
        applyPicture(position, picture);
        return;
    }
    QStringList problems;
    notePictureProblem(fileName, why, problems);
    tellPlayer(problems);
    stepFrom(position + 1, readingForward, readingTries);
}

int MainWindow::currentNumber(bool forward)
{
    int number = game.picNo;
    if (number > game.picCount) {
        // One of the player's own pictures: they may have moved, or this one gone, meanwhile.
        const int now = catalog.positionOf(currentPath);
        number = now >= 0 ? now + 1 : number - (forward ? 1 : 0);
    }
    // Past the end when the last pictures have gone: the step goes to the new last or first.
    return std::min(number, catalog.size() + (forward ? 0 : 1));
}

void MainWindow::stepPicture(bool forward)
{
    catalog.refresh();
    // Told once, as a problem with the folder.
    if (catalog.capped() && !reported.contains(catalog.ownFolder())) {
        reported.insert(catalog.ownFolder());
        tellPlayer({QStringLiteral("图片太多，只能浏览前 %1 张").arg(PictureCatalog::maxSize)});
    }
    // A picture still being read is passed over like one that cannot be read.
    const int number = readingPosition >= 0 ? readingPosition + 1 : currentNumber(forward);
    loader->cancel();
    readingPosition = -1;
    stepFrom(number, forward, catalog.size());
}

// Every picture is tried at most once in a step, so a cycle of pictures that cannot be read
// ends; a picture read off the window's thread carries on the same step when it fails.
void MainWindow::stepFrom(int number, bool forward, int tries)
{
    QStringList problems;
    const auto count = static_cast<std::int16_t>(catalog.size());
    while (tries-- > 0) {
        number = forward ? nextPicture(std::int16_t(number), count) : previousPicture(std::int16_t(number), count);
        const Shown shown = showPicture(number - 1, problems);
        if (shown == Shown::Later) {
            readingForward = forward;
            readingTries = tries;
        }
        if (shown != Shown::Never)
            break;
    }
    tellPlayer(problems);
}

bool MainWindow::isFading() const
{
    return fade && fade->isRunning();
}

bool MainWindow::gameRunning() const
{
    return !startGameAction->isEnabled();
}

QString MainWindow::load()
{
    const auto seed = std::chrono::system_clock::now().time_since_epoch().count();
    generator.seed(static_cast<std::mt19937::result_type>(seed));

    const QString countFile = QString::fromStdString(pictureCountFile(programFolder.toStdString()));
    QString why;
    if (!isRegularFile(countFile, &why))
        return why;
    std::ifstream in(QFile::encodeName(countFile).toStdString(), std::ios::binary);
    if (!in)
        return QStringLiteral("无法打开图片数量文件：%1").arg(countFile);
    const PictureCount count = readPictureCount(in);
    if (!count.ok())
        return countFileProblem(count.error).arg(countFile);
    // Browsing would otherwise step to picture 0 or below, which can never exist.
    if (count.value < 1)
        return QStringLiteral("图片数量必须至少为 1（读到 %1）：%2").arg(count.value).arg(countFile);
    game.picCount = count.value;

    game.firstFade = true;
    game.gridSize = 3;
    // The first picture that can be shown; only when none can does the program give up.
    catalog.setNumberedCount(game.picCount);
    catalog.refresh();
    // Read here and now, however large: nothing shows before the opening fade anyway.
    QStringList problems = settings.takeProblems();
    int position = 0;
    for (; position < catalog.size(); ++position) {
        QString why;
        QImage picture = loadPicture(catalog.path(position), &why);
        if (!picture.isNull()) {
            applyPicture(position, std::move(picture));
            break;
        }
        notePictureProblem(catalog.path(position), why, problems);
    }
    tellPlayer(problems);
    if (position == catalog.size())
        return QStringLiteral("没有可以显示的图片：%1").arg(catalog.path(0));
    // Nothing shows before the opening fade, which brings the picture in from its source.
    display->setPicture({});
    source->setPicture(currentPicture);
    return {};
}

void MainWindow::playMoveSound()
{
    if (!muted)
        playSound(QString::fromStdString(moveSoundFile(programFolder.toStdString())));
}

void MainWindow::runOpeningFade()
{
    // The fade lasts longer than the timer's interval, so a tick can arrive while it runs;
    // the opening fade must run once only and its fade object is never replaced.
    if (!game.firstFade || fade)
        return;
    fade = std::make_unique<PatternFade>(*source, *work, *display);
    // The window stays disabled throughout, so input during the opening has no effect at all.
    fade->fadeIn(fadeStepTime, [this] {
        game.firstFade = false;
        setEnabled(true);
        openingTimer->stop();
    });
}

void MainWindow::fadeOutThen(std::function<void()> rest)
{
    inputHold = std::make_unique<InputHold>(*this);
    fade->fadeOut(fadeStepTime, [this, rest = std::move(rest)] {
        rest();
        // Whatever the player did meanwhile now acts, in order, on the finished command.
        inputHold.reset();
    });
}

void MainWindow::startGame()
{
    // The fade gives the tables a head start on the first hint.
    hints->prepare(game.gridSize);
    // The game is played with the picture on show, whatever was being read.
    loader->cancel();
    readingPosition = -1;
    nextButton->setEnabled(false);
    previousButton->setEnabled(false);
    difficultyButton->setEnabled(false);
    startGameAction->setEnabled(false);
    restartAction->setEnabled(true);
    // The picture on show, as it was read: a file changed since then changes nothing now.
    source->setPicture(currentPicture);
    fadeOutThen([this] {
        clip.setPicture(currentPicture);
        clip.setRows(game.gridSize);
        clip.setCols(game.gridSize);
        scrambleBoard(game, rnd);
        pieces.clear();
        for (int t = 0; t < game.cellCount(); ++t)
            pieces.push_back(clip.cell(t));
        resetBoard(game);
        history.start(game);
        syncTiles();
        display->hide();
    });
}

void MainWindow::restartGame()
{
    if (peeking)
        return;
    const BoardArray before = game.board;
    resetBoard(game);
    if (game.board == before)
        return;
    history.record(game);
    hints->cancel();
    syncTiles();
}

void MainWindow::stepThroughHistory(bool forward)
{
    if (!gameRunning() || peeking || !(forward ? history.redo(game) : history.undo(game)))
        return;
    hints->cancel();
    syncTiles();
    playMoveSound();
    if (isSolved(game))
        finishGame();
}

void MainWindow::syncTiles()
{
    const int n = game.gridSize;
    const bool playing = gameRunning();
    for (int k = 0; k < tileControlCount; ++k) {
        const bool onBoard = playing && k < n * n;
        // The blank's widget holds the blank's own piece, never shown, so that every tile on
        // the board has the same size.
        if (onBoard) {
            tiles[k]->setPicture(pieces[k == game.blankPos ? game.blankTile() : game.board[k]]);
            // A piece is numbered from 1 by its home cell, as the numbers on the tiles show it.
            const int piece = game.board[k] + 1;
            tiles[k]->setCaption(showNumbers ? QString::number(piece) : QString());
            tiles[k]->setAccessibleName(
                QStringLiteral("第%1行第%2列，第%3块").arg(rowOf(k, n) + 1).arg(colOf(k, n) + 1).arg(piece));
            tiles[k]->setAccessibleDescription(game.board[k] == k ? QStringLiteral("在原位") : QStringLiteral("不在原位"));
        }
        tiles[k]->setVisible(onBoard && k != game.blankPos);
    }
    if (!playing)
        return;
    // Spacing follows the tile size, less the 20-twip overlap of neighbouring borders.
    const float w = static_cast<float>(twips::fromPixels(tiles[0]->width()));
    const float h = static_cast<float>(twips::fromPixels(tiles[0]->height()));
    for (int k = 0; k < n * n; ++k) {
        const QPoint place = twips::point((w - 20) * static_cast<float>(colOf(k, n)) + 120,
                                          (h - 20) * static_cast<float>(rowOf(k, n)) + 170);
        // Tiles stay put during a game; a move that changes nothing still costs a repaint.
        if (tiles[k]->pos() != place)
            tiles[k]->move(place);
    }
}

void MainWindow::onTilePressed(int cell, Qt::MouseButton button)
{
    if (button != Qt::LeftButton) {
        showGameMenu(QCursor::pos());
        return;
    }
    if (peeking)
        return;
    const PressResult result = pressCell(game, cell);
    if (result.move) {
        // A search for the board before is of no more use.
        hints->cancel();
        history.record(game);
        syncTiles();
        playMoveSound();
    }
    if (result.solved)
        finishGame();
}

// A hint is a press on the cell it names, made only if the board is still the one it was
// found for: a move made meanwhile has made it no hint at all.
void MainWindow::askForHint(bool playToTheEnd)
{
    if (!gameRunning() || peeking)
        return;
    if (playToTheEnd)
        autoplaying = true;
    hints->ask(game);
}

void MainWindow::onHintFound(const BoardArray& board, int cell)
{
    if (!gameRunning() || board != game.board)
        return;
    onTilePressed(cell, Qt::LeftButton);
    // The next move 150 ms on, unless the player has stopped it by then. Stopped and started
    // again meanwhile, it asks twice for the one board, and only one answer is played.
    if (autoplaying && gameRunning())
        QTimer::singleShot(150, Qt::PreciseTimer, this, [this] {
            if (autoplaying)
                hints->ask(game);
        });
}

void MainWindow::stopAutoplay()
{
    if (!autoplaying)
        return;
    autoplaying = false;
    hints->cancel();
}

// Watched wherever they go. Any key or press of the player's stops the game playing itself: a
// key that is a shortcut (H, N, M) is only ever seen as its override. And Space let go ends a
// peek, also when the release went to a pop-up menu that opened meanwhile.
bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::ShortcutOverride || type == QEvent::MouseButtonPress)
        stopAutoplay();
    if (type == QEvent::KeyRelease) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && !key->isAutoRepeat())
            peek(false);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::finishGame()
{
    leaveGame();
    // Said by a screen reader: the picture is whole and the game is over.
    display->setAccessibleDescription(QStringLiteral("拼图完成"));
    QAccessibleEvent done(display, QAccessible::Alert);
    QAccessible::updateAccessibility(&done);
    fadeOutThen([this] {
        display->setPicture(currentPicture);
        describeDisplay();
    });
}

// Back to browsing: what finishing a picture and abandoning a game have in common.
void MainWindow::leaveGame()
{
    stopAutoplay();
    startGameAction->setEnabled(true);
    restartAction->setEnabled(false);
    nextButton->setEnabled(true);
    previousButton->setEnabled(true);
    difficultyButton->setEnabled(true);
    syncTiles();
    display->show();
}

void MainWindow::exitOrLeaveGame()
{
    if (!gameRunning()) {
        QCoreApplication::exit(0);
        return;
    }
    leaveGame();
    display->setPicture(currentPicture);
}

void MainWindow::showHelp()
{
    const QString title = QStringLiteral("使用帮助");
    QMessageBox box(QMessageBox::NoIcon, title, QStringLiteral("详情请见readme.txt"), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("helpBox"));
    const QString readme = QString::fromStdString(readmeFile(programFolder.toStdString()));
    box.setInformativeText(QStringLiteral("<small>%1</small>").arg(readme.toHtmlEscaped()));
    // A message box sizes itself by its text alone, and a window manager then cuts a title
    // longer than that; leave room for the title and the title bar's buttons.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int titleWidth = box.fontMetrics().horizontalAdvance(title) + 160;
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0,
                      1, grid->columnCount());
    }
    box.exec();
}

void MainWindow::showCopyright()
{
    if (!aboutDialog)
        aboutDialog = new AboutDialog(this);
    aboutDialog->exec();
}

// The same menu object as the menu bar's, so the pop-up shows the same enabled states. Not
// exec(): the menu runs in the one event loop like everything else.
void MainWindow::showGameMenu(QPoint at)
{
    gameMenu->popup(at);
}

void MainWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        showGameMenu(event->globalPosition().toPoint());
}

// During a game an arrow slides the tile that lies that way of the blank, exactly as a press on
// it would; between games left and right browse. Keys during a fade wait like every input.
void MainWindow::keyPressEvent(QKeyEvent* event)
{
    static const std::pair<int, Direction> arrows[] = {
        {Qt::Key_Left, Direction::Left}, {Qt::Key_Right, Direction::Right},
        {Qt::Key_Up, Direction::Up}, {Qt::Key_Down, Direction::Down}};
    const auto arrow = std::find_if(std::begin(arrows), std::end(arrows),
                                    [event](const auto& a) { return a.first == event->key(); });
    const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (event->key() == Qt::Key_Space && plain && gameRunning()) {
        // Held, the key repeats; only the first press counts.
        if (!event->isAutoRepeat())
            peek(true);
        return;
    }
    if (arrow == std::end(arrows) || !plain) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    if (gameRunning()) {
        if (const std::optional<int> cell = cellSliding(game, arrow->second))
            onTilePressed(*cell, Qt::LeftButton);
        return;
    }
    switch (arrow->second) {
    case Direction::Left: return showPreviousPicture();
    case Direction::Right: return showNextPicture();
    case Direction::Up: return cycleDifficulty(true);
    case Direction::Down: return cycleDifficulty(false);
    }
}

// A window left while Space is held never hears it let go.
void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        peek(false);
    QMainWindow::changeEvent(event);
}

// The whole picture in place of the board, and then the board exactly as it was. The display
// lies hidden under the board all game, and the end's fade draws it afresh, so what it held
// before need not be kept.
void MainWindow::peek(bool on)
{
    if (on == peeking || (on && !gameRunning()))
        return;
    peeking = on;
    if (on) {
        display->setPicture(currentPicture);
        display->show();
    } else if (gameRunning()) {
        // A game abandoned meanwhile has shown its picture already.
        display->hide();
    }
}

// What a screen reader says of the picture on show.
void MainWindow::describeDisplay()
{
    display->setAccessibleName(QStringLiteral("第%1张图片").arg(game.picNo));
    display->setAccessibleDescription(QString::fromUtf8(difficultyCaption(game.gridSize)));
}

void MainWindow::cycleDifficulty(bool forward)
{
    const std::int16_t next = forward ? nextGridSize(game.gridSize) : previousGridSize(game.gridSize);
    if (next != game.gridSize) {
        game.gridSize = next;
        difficultyLabel->setText(QString::fromUtf8(difficultyCaption(next)));
        describeDisplay();
    }
    playMoveSound();
}

void MainWindow::showNextPicture()
{
    stepPicture(true);
    playMoveSound();
}

void MainWindow::showPreviousPicture()
{
    stepPicture(false);
    playMoveSound();
}

bool MainWindow::takesDrops() const
{
    return isEnabled() && !gameRunning() && !isFading() && !import->isRunning();
}

// Between games, pictures dropped from a file manager join the player's own folder. A drag keeps
// the welcome it had as it entered; the drop is judged again.
void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (takesDrops() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    if (!takesDrops()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    QStringList files, refused;
    for (const QUrl& url : event->mimeData()->urls())
        url.isLocalFile() ? files << url.toLocalFile() : refused << QStringLiteral("没有加入（不是本机的文件：%1）").arg(url.toDisplayString());
    tellPlayer(refused);
    if (files.isEmpty())
        return;
    // Shown only when the copying takes long enough to be noticed.
    auto* progress = new QProgressDialog(QStringLiteral("正在加入图片…"), QStringLiteral("取消"), 0, int(files.size()), this);
    progress->setObjectName(QStringLiteral("importProgress"));
    progress->setMinimumDuration(500);
    connect(progress, &QProgressDialog::canceled, import, &PictureImport::cancel);
    connect(import, &PictureImport::progressed, progress, &QProgressDialog::setValue);
    connect(import, &PictureImport::finished, progress, &QObject::deleteLater);
    import->start(files, catalog.ownFolder());
}

// The first picture dropped is shown, unless a game has begun meanwhile.
void MainWindow::onImported(const QStringList& copied, const QStringList& refused)
{
    tellPlayer(refused);
    if (copied.isEmpty() || gameRunning() || isFading())
        return;
    catalog.refresh();
    const int position = catalog.positionOf(copied.first());
    if (position < 0)
        return;
    loader->cancel();
    readingPosition = -1;
    stepFrom(position, +1, 1);
}

} // namespace vellumi
