#pragma once

#include "files/Settings.h"
#include "game/GameSession.h"
#include "ui/ProblemBox.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <random>

class QAction;
class QMenu;

namespace vellumi {

class AboutDialog;
class BoardView;
class GameKeeper;
class HintPlayer;
class ProgressLabel;
class Fades;
class MainForm;
class PictureBox;
class PictureBrowser;

// The main window: the design's form, its commands and their order. Presses and keys become
// calls on the game session, the picture browser and the hints; what they did is shown here.
// Controls carry their design names as object names, by which tests and tools find them.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // programFolder is where the data files are looked for: normally the executable's folder.
    // ownFolder holds the player's own pictures; empty means the usual place in the player's
    // data folder (PictureCatalog::usualOwnFolder()).
    explicit MainWindow(const QString& programFolder, const QString& ownFolder = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: reads the picture count and loads picture 1. Gives why the program cannot go
    // on, in the player's language, if a data file is missing or bad; empty when all is well.
    [[nodiscard]] QString load();

    // What tests and benchmarks replace: the move sound, the scramble's random draws, and the
    // pause after each fade step (100 ms in the game).
    void setSoundPlayer(std::function<void(const QString&)> play) { playSound = std::move(play); }
    void setRandomSource(Rnd source) { rnd = std::move(source); }
    void setFadeStepTime(int milliseconds);
    // The move sound off from the start, whatever the settings say.
    void setMuted(bool on) { muted = on; }

    const GameState& state() const { return session.state(); }
    bool isFading() const;

private:
    void buildMenu();
    void buildKeys();
    void buildControls();
    void remember(const QString& key, bool value);

    void startGame();
    void beginGame(const KeptGame* kept);
    void followActivation();
    void restartGame();
    void onTilePressed(int cell, Qt::MouseButton button);
    void showMove(const PressResult& result);
    void stepThroughHistory(bool forward);
    void askForHint(bool playToTheEnd);
    void finishGame();
    // Back to browsing: what finishing a picture and abandoning a game have in common.
    void leaveGame();
    void exitOrLeaveGame();
    void setBrowsing(bool on);
    void syncTiles();
    void peek(bool on);

    void onPictureShown();
    void onRescaled();
    void onPictureRescaled();
    void describeDisplay();
    void cycleDifficulty(bool forward);
    void stepPicture(bool forward);
    void playMoveSound();
    void showHelp();
    void showCopyright();

    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void onImported(const QStringList& copied, const QStringList& refused);

    QString programFolder;
    GameSession session;
    Settings settings;
    bool showNumbers{};
    bool muted{};
    // While Space is held and the whole picture shows in place of the board.
    bool peeking = false;
    std::mt19937 generator;
    Rnd rnd;
    std::function<void(const QString&)> playSound;
    ProblemBox problems;

    PictureBrowser* browser = nullptr;
    HintPlayer* hints = nullptr;
    GameKeeper* keeper = nullptr;
    ProgressLabel* progress = nullptr;
    BoardView* board = nullptr;
    QMenu* gameMenu = nullptr;
    QAction* startGameAction = nullptr;
    QAction* restartAction = nullptr;
    Fades* fades = nullptr;
    MainForm* form = nullptr;
    PictureBox* source = nullptr;
    PictureBox* display = nullptr;
    AboutDialog* aboutDialog = nullptr;
};

} // namespace vellumi
