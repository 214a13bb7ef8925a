#pragma once

#include "game/GameState.h"
#include "game/History.h"
#include "game/Scramble.h"
#include "files/PictureCatalog.h"
#include "ui/PictureClip.h"
#include "files/Settings.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <vector>

#include <QPointer>
#include <QSet>

class QAction;
class QLabel;
class QMenu;
class QMessageBox;
class QTimer;

namespace vellumi {

class AboutDialog;
class HintSearch;
class ImageControl;
class InputHold;
class PatternFade;
class PictureBox;
class PictureImport;
class PictureLoader;

// The main window: it turns presses and commands into calls on the game state and shows what
// they did. The rules themselves live in src/game. Controls carry their design names as object
// names, by which tests and tools find them.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // programFolder is where the data files are looked for: normally the executable's folder.
    // ownFolder holds the player's own pictures; empty means the usual place in the player's
    // data folder (ownPicturesFolder()).
    explicit MainWindow(const QString& programFolder, const QString& ownFolder = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: reads the picture count and loads picture 1. Gives why the program cannot go
    // on, in the player's language, if a data file is missing or bad; empty when all is well.
    [[nodiscard]] QString load();

    // What tests and benchmarks replace: the move sound, the scramble's random draws, and the
    // pause after each fade step (100 ms in the game).
    void setSoundPlayer(std::function<void(const QString&)> play) { playSound = std::move(play); }
    void setRandomSource(Rnd source) { rnd = std::move(source); }
    void setFadeStepTime(int milliseconds) { fadeStepTime = milliseconds; }
    // The move sound off from the start, whatever the settings say.
    void setMuted(bool on) { muted = on; }

    const GameState& state() const { return game; }
    bool isFading() const;

    // Where a player's own pictures live: vellumi/pictures in the data folder
    // (~/.local/share unless XDG_DATA_HOME says otherwise).
    static QString ownPicturesFolder();

private:
    void buildMenu();
    void buildKeys();
    void buildControls();
    void remember(const QString& key, bool value);
    enum class Shown { Now, Later, Never };
    // Shows the picture at a position of the cycle. One too large to read at once is read off
    // the window's thread and shown Later, the display keeping what it shows meanwhile; one
    // that cannot be read is Never shown, and why is added to `problems` the first time.
    Shown showPicture(int position, QStringList& problems);
    void applyPicture(int position, QImage picture);
    void notePictureProblem(const QString& path, const QString& why, QStringList& problems);
    void onPictureRead(const QString& fileName, const QImage& picture, const QString& why);
    // One step through the pictures, passing over those that cannot be read.
    void stepPicture(bool forward);
    void stepFrom(int number, bool forward, int tries);
    // The number of the picture on show, or of the place it had if it has gone meanwhile.
    int currentNumber(bool forward);
    // However many problems come at once, one box tells of them.
    void tellPlayer(const QStringList& problems);
    bool takesDrops() const;
    void onImported(const QStringList& copied, const QStringList& refused);

    void runOpeningFade();
    void startGame();
    void restartGame();
    void onTilePressed(int cell, Qt::MouseButton button);
    void leaveGame();
    void exitOrLeaveGame();
    void showHelp();
    void showCopyright();
    void cycleDifficulty(bool forward);
    void stepThroughHistory(bool forward);
    void finishGame();
    void askForHint(bool playToTheEnd);
    void onHintFound(const BoardArray& board, int cell);
    void stopAutoplay();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void peek(bool on);
    void showNextPicture();
    void showPreviousPicture();
    void showGameMenu(QPoint at);
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
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
    History history;
    HintSearch* hints = nullptr;
    // While the game plays itself, a move every 150 ms.
    bool autoplaying = false;
    Settings settings;
    bool showNumbers{};
    bool muted{};
    // While Space is held and the whole picture shows in place of the board.
    bool peeking = false;
    std::unique_ptr<PatternFade> fade;
    std::unique_ptr<InputHold> inputHold;
    int fadeStepTime = 100;
    std::mt19937 generator;
    Rnd rnd;
    std::function<void(const QString&)> playSound;

    QMenu* gameMenu = nullptr;
    QAction* startGameAction = nullptr;
    QAction* restartAction = nullptr;

    QTimer* openingTimer = nullptr;
    PictureBox* source = nullptr;
    PictureBox* work = nullptr;
    PictureBox* display = nullptr;
    PictureCatalog catalog;
    // The picture shown between games, read once for the display, the fades and the tiles.
    QImage currentPicture;
    QString currentPath;
    PictureLoader* loader = nullptr;
    // The picture being read off the window's thread, if any, and the step that asked for it.
    int readingPosition = -1;
    bool readingForward{};
    int readingTries{};
    PictureImport* import = nullptr;
    QSet<QString> reported;
    QPointer<QMessageBox> problemBox;
    QStringList problemsShown;
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
