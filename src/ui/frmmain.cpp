#include "ui/frmmain.h"

#include "game/Board.h"
#include "game/DataFiles.h"
#include "game/PictureCount.h"
#include "game/Selection.h"
#include "sound/modSound.h"
#include "effects/PatternFade.h"
#include "ui/Appearance.h"
#include "ui/Artwork.h"
#include "ui/DesignSurface.h"
#include "ui/FatalError.h"
#include "ui/ImageControl.h"
#include "ui/PictureBox.h"
#include "ui/PictureFile.h"
#include "ui/frmabout.h"
#include "ui/Twips.h"

#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QTimer>

#include <chrono>
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

ImageControl* imageButton(QWidget* parent, const char* name, double left, double top, const QImage& picture,
                          const QString& toolTip)
{
    auto* button = designControl<ImageControl>(parent, name, left, top);
    button->setPicture(picture);
    button->setToolTip(toolTip);
    return button;
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

// A tile control as the design's template picbox(0) has it: bordered, and below the visible
// part of the window until a board is laid out.
ImageControl* tileControl(QWidget* parent, int index)
{
    auto* tile = new ImageControl(parent, true);
    tile->setObjectName(QStringLiteral("picbox(%1)").arg(index));
    // Every button's press goes to the tile itself, the right one included.
    tile->setContextMenuPolicy(Qt::PreventContextMenu);
    tile->setProperty("index", index);
    tile->setGeometry(twips::rect(120, 6600, 615, 555));
    return tile;
}

} // namespace

frmmain::frmmain(const QString& programFolder, QWidget* parent)
    : QMainWindow(parent)
    , m_programFolder(programFolder)
    , playWave(modSound::PlayWave)
{
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(QStringLiteral("Vellumi"));
    setWindowIcon(QPixmap::fromImage(artwork::windowIcon()));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    buildMenu();
    buildControls();
    connectHandlers();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // Nothing may be used until the opening fade has shown the first picture.
    setEnabled(false);
}

frmmain::~frmmain() = default;

void frmmain::buildMenu()
{
    E_games = menuBar()->addMenu(QStringLiteral("游戏(&G)"));
    E_games->setObjectName(QStringLiteral("E_games"));
    const auto item = [this](const char* name, const QString& caption) {
        QAction* action = E_games->addAction(caption);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    E_game = item("E_game", QStringLiteral("开始游戏(&game)"));
    E_restart = item("E_restart", QStringLiteral("重新开始(&replay)"));
    E_restart->setEnabled(false);
    E_games->addSeparator()->setObjectName(QStringLiteral("E_2"));
    E_help = item("E_help", QStringLiteral("使用帮助(&help)"));
    E_reg = item("E_reg", QStringLiteral("注册版权(&option)"));
    E_games->addSeparator()->setObjectName(QStringLiteral("E_1"));
    E_exit = item("E_exit", QStringLiteral("退出游戏(&exit)"));
}

void frmmain::buildControls()
{
    surface = new DesignSurface(this);
    surface->setObjectName(QStringLiteral("surface"));
    surface->setFixedSize(twips::size(7455, 6330));
    // Every button's press on the surface reaches the window's own press handler.
    surface->setContextMenuPolicy(Qt::PreventContextMenu);
    setCentralWidget(surface);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &frmmain::Timer1_Timer);
    Timer1->start();

    // The two working boxes lie below the client area in the design; hidden, they can never show.
    Picture2 = pictureBox(surface, "Picture2", 2100, 6540, 615, 435);
    Picture2->hide();
    Picture1 = pictureBox(surface, "Picture1", 1200, 6540, 795, 435);
    Picture1->hide();
    Picture3 = pictureBox(surface, "Picture3", 120, 180, 7260, 5460);
    Picture3->setBackColor(systemColour(SystemColour::WindowText));
    // Disabled, so that a press over the picture falls through to the window's own handler.
    Picture3->setEnabled(false);

    imgchage = imageButton(surface, "imgchage", 1200, 5880, artwork::difficultyButton(), QStringLiteral("改变难易度"));
    labchage = autoSizedLabel(surface, "labchage", 120, 5880, QStringLiteral("难易度:初级"));
    Label1 = autoSizedLabel(surface, "Label1", 6735, 5880, QStringLiteral("选择"));
    imgprev = imageButton(surface, "imgprev", 6495, 5880, artwork::previousButton(), QStringLiteral("上一张"));
    imgnext = imageButton(surface, "imgnext", 7140, 5880, artwork::nextButton(), QStringLiteral("下一张"));

    picbox[0] = tileControl(surface, 0);
    // Picture boxes lie above image controls, so the display covers any tile while it shows.
    Picture3->raise();
}

QString frmmain::picturePath(int number) const
{
    return QString::fromStdString(pictureFile(programFolder().toStdString(), number));
}

QImage frmmain::LoadPicture(int number) const
{
    QString why;
    QImage picture = loadPicture(picturePath(number), &why);
    if (picture.isNull())
        fatalError(why);
    return picture;
}

void frmmain::Form_Load()
{
    const auto seed = std::chrono::system_clock::now().time_since_epoch().count();
    generator.seed(static_cast<std::mt19937::result_type>(seed));
    rnd = [this] { return static_cast<float>(generator() >> 8) * (1.0f / 16777216.0f); };

    const QString countFile = QString::fromStdString(pictureCountFile(programFolder().toStdString()));
    std::ifstream in(QFile::encodeName(countFile).toStdString(), std::ios::binary);
    if (!in)
        fatalError(QFileInfo::exists(countFile) ? QStringLiteral("无法打开图片数量文件：%1").arg(countFile)
                                                : QStringLiteral("找不到图片数量文件：%1").arg(countFile));
    const PictureCount count = readPictureCount(in);
    in.close();
    if (!count.ok())
        fatalError(countFileProblem(count.error).arg(countFile));
    // Browsing would otherwise step to picture 0 or below, which can never exist.
    if (count.value < 1)
        fatalError(QStringLiteral("图片数量必须至少为 1（读到 %1）：%2").arg(count.value).arg(countFile));
    game.picCount = count.value;

    game.picNo = 1;
    game.firstFade = true;
    game.gridSize = 3;

    for (int k = 1; k < tileControlCount; ++k) {
        picbox[k] = tileControl(surface, k);
        picbox[k]->hide();
        connect(picbox[k], &ImageControl::mouseDown, this, [this, k](Qt::MouseButton b) { picbox_MouseDown(k, b); });
    }
    Picture3->raise();

    Picture1->setPicture(LoadPicture(game.picNo));
}

void frmmain::connectHandlers()
{
    connect(E_game, &QAction::triggered, this, &frmmain::E_game_Click);
    connect(E_restart, &QAction::triggered, this, &frmmain::E_restart_Click);
    connect(E_help, &QAction::triggered, this, &frmmain::E_help_Click);
    connect(E_reg, &QAction::triggered, this, &frmmain::E_reg_Click);
    connect(E_exit, &QAction::triggered, this, &frmmain::E_exit_Click);
    connect(picbox[0], &ImageControl::mouseDown, this, [this](Qt::MouseButton b) { picbox_MouseDown(0, b); });
    connect(imgchage, &ImageControl::mouseDown, this, &frmmain::imgchage_MouseDown);
    connect(imgchage, &ImageControl::mouseUp, this, &frmmain::imgchage_MouseUp);
    connect(imgnext, &ImageControl::mouseDown, this, &frmmain::imgnext_MouseDown);
    connect(imgnext, &ImageControl::mouseUp, this, &frmmain::imgnext_MouseUp);
    connect(imgprev, &ImageControl::mouseDown, this, &frmmain::imgprev_MouseDown);
    connect(imgprev, &ImageControl::mouseUp, this, &frmmain::imgprev_MouseUp);
}

void frmmain::playMoveSound()
{
    playWave(QString::fromStdString(moveSoundFile(programFolder().toStdString())));
}

void frmmain::Timer1_Timer()
{
    // The fade lasts longer than the timer's interval, so a tick can arrive while it runs;
    // the opening fade must run once only and its fade object is never replaced.
    if (!game.firstFade || fade)
        return;
    fade = std::make_unique<PatternFade>();
    fade->pic1(Picture1);
    fade->pic2(Picture2);
    fade->pic3(Picture3);
    fade->Setup();
    fade->FadeIn(fadeStepTime);
    game.firstFade = false;
    // Input held back during the fade reaches the window while it is still disabled, and so
    // is dropped: nothing done before the window was usable may take effect afterwards.
    QCoreApplication::processEvents();
    setEnabled(true);
    Timer1->stop();
}

void frmmain::E_game_Click()
{
    imgnext->setEnabled(false);
    imgprev->setEnabled(false);
    imgchage->setEnabled(false);
    E_game->setEnabled(false);
    E_restart->setEnabled(true);
    // Decoded once for both the fade and the tiles: the same file, read at the same moment.
    const QImage picture = LoadPicture(game.picNo);
    Picture1->setPicture(picture);
    fade->FadeOut(fadeStepTime);
    PicClip.setPicture(picture);
    ScrambleBoard();
    if (!PicClip.canCut())
        fatalError(QStringLiteral("图片太小，无法切成 %1 × %1 块：%2").arg(game.gridSize).arg(picturePath(game.picNo)));
    ResetBoard();
    Picture3->hide();
}

void frmmain::E_restart_Click()
{
    ResetBoard();
}

void frmmain::picbox_MouseDown(int Index, Qt::MouseButton Button)
{
    if (Button != Qt::LeftButton) {
        E_games->exec(QCursor::pos());
        return;
    }
    if (const auto left = slideTile(game, Index)) {
        picbox[*left]->setPicture(picbox[Index]->picture());
        picbox[*left]->show();
        picbox[Index]->hide();
        playMoveSound();
    }
    if (!isSolved(game))
        return;

    leaveGame();
    fade->FadeOut(fadeStepTime);
    Picture3->setPicture(LoadPicture(game.picNo));
}

// Back to browsing: what finishing a picture and abandoning a game have in common.
void frmmain::leaveGame()
{
    E_game->setEnabled(true);
    E_restart->setEnabled(false);
    imgnext->setEnabled(true);
    imgprev->setEnabled(true);
    imgchage->setEnabled(true);
    for (int k = 0; k < game.cellCount(); ++k)
        picbox[k]->hide();
    Picture3->show();
}

void frmmain::E_exit_Click()
{
    // Whether a game runs is read from the start-game command, as everywhere else.
    if (E_game->isEnabled()) {
        QCoreApplication::exit(0);
        return;
    }
    leaveGame();
    Picture3->setPicture(LoadPicture(game.picNo));
}

void frmmain::E_help_Click()
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("使用帮助"), QStringLiteral("详情请见readme.txt"),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("helpBox"));
    box.exec();
}

void frmmain::E_reg_Click()
{
    if (!about)
        about = new frmabout(this);
    about->exec();
}

void frmmain::closeEvent(QCloseEvent* event)
{
    event->accept();
    // Ends every event loop at once, a fade's included: the fade then runs out its steps without
    // pausing, the command that started it finishes, and the program ends with status 0.
    QCoreApplication::exit(0);
}

void frmmain::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        E_games->exec(event->globalPosition().toPoint());
}

void frmmain::imgchage_MouseDown()
{
    imgchage->move(twips::point(1215, 5890));
    const std::int16_t next = nextGridSize(game.gridSize);
    if (next != game.gridSize) {
        game.gridSize = next;
        labchage->setText(QString::fromUtf8(difficultyCaption(next)));
    }
    playMoveSound();
}

void frmmain::imgchage_MouseUp()
{
    imgchage->move(twips::point(1200, 5880));
}

void frmmain::imgnext_MouseDown()
{
    game.picNo = nextPicture(game.picNo, game.picCount);
    imgnext->move(twips::point(7150, 5890));
    Picture3->setPicture(LoadPicture(game.picNo));
    playMoveSound();
}

void frmmain::imgnext_MouseUp()
{
    imgnext->move(twips::point(7140, 5880));
}

void frmmain::imgprev_MouseDown()
{
    game.picNo = previousPicture(game.picNo, game.picCount);
    imgprev->move(twips::point(6485, 5890));
    Picture3->setPicture(LoadPicture(game.picNo));
    playMoveSound();
}

void frmmain::imgprev_MouseUp()
{
    imgprev->move(twips::point(6495, 5880));
}

void frmmain::ScrambleBoard()
{
    PicClip.setRows(game.gridSize);
    PicClip.setCols(game.gridSize);
    scrambleBoard(game, rnd);
}

void frmmain::ResetBoard()
{
    const int n = game.gridSize;
    for (ImageControl* tile : picbox)
        tile->hide();
    for (int k = 0; k < n * n; ++k) {
        const bool isBlank = k == game.startBlank;
        picbox[k]->setPicture(PicClip.cell(isBlank ? game.blankTile() : game.startBoard[k]));
        picbox[k]->setVisible(!isBlank);
    }
    resetBoard(game);

    // Spacing follows the tile size, less the 20-twip overlap of neighbouring borders.
    for (int k = 0; k < n * n; ++k) {
        const float w = static_cast<float>(twips::fromPixels(picbox[0]->width()));
        const float h = static_cast<float>(twips::fromPixels(picbox[0]->height()));
        picbox[k]->move(twips::point((w - 20) * static_cast<float>(colOf(k, n)) + 120,
                                     (h - 20) * static_cast<float>(rowOf(k, n)) + 170));
    }
}

} // namespace vellumi
