#pragma once

#include "game/GameState.h"
#include "game/Scramble.h"
#include "ui/PictureClip.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <random>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace vellumi {

class DesignSurface;
class frmabout;
class PatternFade;
class ImageControl;
class PictureBox;

// The main window: it holds the game state and its controls, and each handler is a short list
// of steps on them. The rules themselves live in src/game.
class frmmain : public QMainWindow {
    Q_OBJECT
public:
    // programFolder is where the data files are looked for: normally the executable's folder.
    explicit frmmain(const QString& programFolder, QWidget* parent = nullptr);
    ~frmmain() override;

    // Start-up: reads the picture count and loads picture 1. Ends the program with a message
    // if a data file is missing or bad, before the window can be used.
    void Form_Load();

private:
    friend class FrmMainTest;
    friend class PlayTest;
    friend class MenuTest;
    friend class BadDataTest;
    friend class TilePressBenchmark;

    void buildMenu();
    void buildControls();
    QString programFolder() const { return m_programFolder; }
    QString picturePath(int number) const;
    QImage LoadPicture(int number) const;

    void ScrambleBoard();
    void ResetBoard();

    void Timer1_Timer();
    void E_game_Click();
    void E_restart_Click();
    void picbox_MouseDown(int Index, Qt::MouseButton Button);
    void imgchage_MouseDown();
    void imgchage_MouseUp();
    void imgnext_MouseDown();
    void imgnext_MouseUp();
    void imgprev_MouseDown();
    void imgprev_MouseUp();

    void E_exit_Click();
    void E_help_Click();
    void E_reg_Click();
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    void connectHandlers();
    void leaveGame();
    void playMoveSound();

    QString m_programFolder;
    GameState game;
    std::unique_ptr<PatternFade> fade;
    // The pause after each of a fade's 20 steps, in milliseconds; tests that are not about
    // timing set it to 0.
    std::int16_t fadeStepTime = 100;
    std::mt19937 generator;
    Rnd rnd;
    // Plays a wave file in the background; tests swap in a counter.
    std::function<void(const QString&)> playWave;

    QMenu* E_games = nullptr;
    QAction* E_game = nullptr;
    QAction* E_restart = nullptr;
    QAction* E_help = nullptr;
    QAction* E_reg = nullptr;
    QAction* E_exit = nullptr;

    DesignSurface* surface = nullptr;
    QTimer* Timer1 = nullptr;
    PictureBox* Picture1 = nullptr;
    PictureBox* Picture2 = nullptr;
    PictureBox* Picture3 = nullptr;
    PictureClip PicClip;
    ImageControl* imgchage = nullptr;
    QLabel* labchage = nullptr;
    QLabel* Label1 = nullptr;
    ImageControl* imgprev = nullptr;
    ImageControl* imgnext = nullptr;
    std::array<ImageControl*, tileControlCount> picbox{};
    frmabout* about = nullptr;
};

} // namespace vellumi
