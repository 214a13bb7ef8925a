#pragma once

#include "game/GameState.h"
#include "game/Scramble.h"
#include "ui/PictureClip.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <random>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace vellumi {

class AboutDialog;
class ImageControl;
class InputHold;
class PatternFade;
class PictureBox;

// The main window: it turns presses and commands into calls on the game state and shows what
// they did. The rules themselves live in src/game. Controls carry their design names as object
// names, by which tests and tools find them.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // programFolder is where the data files are looked for: normally the executable's folder.
    explicit MainWindow(const QString& programFolder, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: reads the picture count and loads picture 1. Ends the program with a message
    // if a data file is missing or bad, before the window can be used.
    void load();

    // What tests and benchmarks replace: the move sound, the scramble's random draws, and the
    // pause after each fade step (100 ms in the game).
    void setSoundPlayer(std::function<void(const QString&)> play) { playSound = std::move(play); }
    void setRandomSource(Rnd source) { rnd = std::move(source); }
    void setFadeStepTime(int milliseconds) { fadeStepTime = milliseconds; }

    const GameState& state() const { return game; }
    bool isFading() const;

private:
    void buildMenu();
    void buildControls();
    QString picturePath(int number) const;
    // The picture, or the end of the program with a message naming the file.
    QImage readPicture(int number) const;

    void runOpeningFade();
    void startGame();
    void restartGame();
    void onTilePressed(int cell, Qt::MouseButton button);
    void leaveGame();
    void exitOrLeaveGame();
    void showHelp();
    void showCopyright();
    void cycleDifficulty();
    void showNextPicture();
    void showPreviousPicture();
    void showGameMenu(QPoint at);
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void describeDisplay();

    // While a game runs, the start-game command is disabled; nothing else records it.
    bool gameRunning() const;
    // Brings every tile widget into line with the board: picture, visibility and place.
    void syncTiles();
    // Input is held from here until the fade and the rest of its command are over.
    void fadeOutThen(std::function<void()> rest);
    void playMoveSound();

    QString programFolder;
    GameState game;
    std::unique_ptr<PatternFade> fade;
    std::unique_ptr<InputHold> inputHold;
    int fadeStepTime = 100;
    std::mt19937 generator;
    Rnd rnd;
    std::function<void(const QString&)> playSound;

    QMenu* gameMenu = nullptr;
    QAction* startGameAction = nullptr;
    QAction* restartAction = nullptr;
    QAction* helpAction = nullptr;
    QAction* copyrightAction = nullptr;
    QAction* exitAction = nullptr;

    QTimer* openingTimer = nullptr;
    PictureBox* source = nullptr;
    PictureBox* work = nullptr;
    PictureBox* display = nullptr;
    PictureClip clip;
    std::vector<QImage> pieces;
    ImageControl* difficultyButton = nullptr;
    QLabel* difficultyLabel = nullptr;
    ImageControl* previousButton = nullptr;
    ImageControl* nextButton = nullptr;
    std::array<ImageControl*, tileControlCount> tiles{};
    AboutDialog* aboutDialog = nullptr;
};

} // namespace vellumi
