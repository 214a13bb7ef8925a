#include "app/DisplayCheck.h"
#include "app/FatalError.h"
#include "app/TerminationSignal.h"
#include "ui/Appearance.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <optional>

#include <unistd.h>

namespace {

constexpr char usage[] = "Usage: tessra [--mute] [--help | --version]";

constexpr char help[] = R"(Usage: tessra [--mute] [--help | --version]
Vellumi, a picture sliding puzzle. 拼图游戏：移动图块，把打乱的图片拼回原样。

Start a game from the 游戏 menu or with a right click on the picture. During a
game the arrow keys move a tile into the gap; between games ← and → browse the
pictures.
从“游戏”菜单或在图片上单击右键开始游戏。游戏中用方向键把图块移入空位；
两局之间用 ← → 浏览图片。

Keys / 按键:
  ← → ↑ ↓        in a game: slide a tile into the gap / 游戏中：把图块移入空位
  ← →            between games: the previous or next picture / 两局之间：上一张、下一张
  ↑ ↓            between games: the difficulty up or down / 两局之间：改变难易度
  Ctrl+N         start a game / 开始游戏
  Ctrl+R         start the game over / 重新开始
  Ctrl+Z         take the last move back / 撤销
  Ctrl+Y, Ctrl+Shift+Z  make it again / 重做
  H              slide one tile on the way home / 提示：按回家的路移动一块
  Shift+H        let the game finish itself; any key stops it / 自动完成，按任意键停止
  Space (held)   look at the whole picture / 按住空格：查看整张图片
  N              numbers on the tiles, on or off / 显示或隐藏图块编号
  M              the move sound off or on / 关闭或打开声音
  T              the moves and time of the game, shown or hidden / 显示或隐藏步数和用时
  Ctrl+H         the records: best moves and time of each picture / 成绩记录
  Ctrl+= Ctrl+-  the whole window larger or smaller, 100 % to 300 % / 放大或缩小整个窗口
  Ctrl+0         the window at its own size / 恢复原来大小
  F1             help / 使用帮助
  Alt+G          the 游戏 menu / 打开“游戏”菜单

An unfinished game is kept at every move and comes back at the next start; the
menu's exit command gives it up. 未完成的游戏随时保存，下次启动时继续；用菜单的“退出游戏”放弃它。
  records / 成绩:          ~/.local/share/vellumi/records ($XDG_DATA_HOME)
  unfinished game / 存档:  ~/.local/state/vellumi/unfinished-game ($XDG_STATE_HOME)

  --mute         start with the move sound off / 启动时关闭声音
  -h, --help     show this help and exit / 显示本帮助
  -v, --version  show the version and exit / 显示版本
)";

// Read from the raw arguments before QApplication exists, so that --help and --version answer
// on a console with no display at all. Gives the exit status when there is nothing more to do.
std::optional<int> answerCommandLine(int argc, char* argv[], bool* mute)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    // "-platform", not "-p -l -a ...": Qt's own options are written with one dash.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption versionOption(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption muteOption(QStringLiteral("mute"));
    // QApplication takes these two out of argv itself; the display check must see them too.
    const QCommandLineOption platformOption(QStringLiteral("platform"), {}, QStringLiteral("name"));
    const QCommandLineOption displayOption(QStringLiteral("display"), {}, QStringLiteral("display"));
    parser.addOptions({helpOption, versionOption, muteOption, platformOption, displayOption});

    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        QString error = parser.errorText();
        if (error.isEmpty())
            error = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().constFirst());
        std::fprintf(stderr, "tessra: %s %s\n", qPrintable(error), usage);
        return 2;
    }
    if (parser.isSet(helpOption)) {
        std::fputs(help, stdout);
        return 0;
    }
    if (parser.isSet(versionOption)) {
        std::printf("tessra (Vellumi) %s\n", VELLUMI_VERSION);
        return 0;
    }
    *mute = parser.isSet(muteOption);
    const QString problem = vellumi::displayProblem(parser.value(platformOption), parser.value(displayOption));
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "tessra: %s; 无法连接显示器\n", qPrintable(problem));
        return 1;
    }
    return std::nullopt;
}

// The folder of the program, where its data lies. Qt gives an empty name for a folder whose
// name is not valid in the locale's encoding (a disk written on another system, say); the
// data is then reached through the working folder, moved there, whose name needs no decoding.
QString programFolder()
{
    const QByteArray executable = QFile::encodeName(QStringLiteral("/proc/self/exe"));
    char target[4096];
    const ssize_t length = ::readlink(executable.constData(), target, sizeof target - 1);
    if (length <= 0)
        return QCoreApplication::applicationDirPath();
    QByteArray folder(target, length);
    folder.truncate(std::max<qsizetype>(folder.lastIndexOf('/'), 1));
    if (QFile::encodeName(QFile::decodeName(folder)) == folder || ::chdir(folder.constData()) != 0)
        return QFile::decodeName(folder);
    return QStringLiteral("/proc/self/cwd");
}

} // namespace

int main(int argc, char* argv[])
{
    bool mute = false;
    if (const std::optional<int> status = answerCommandLine(argc, argv, &mute))
        return *status;

    QApplication app(argc, argv);
    // The lower-case name makes the data folder ~/.local/share/vellumi, as Linux names go.
    QApplication::setApplicationName(QStringLiteral("vellumi"));
    vellumi::applyAppearance(app);

    vellumi::MainWindow window(programFolder());
    if (mute)
        window.setMuted(true);
    if (const QString problem = window.load(); !problem.isEmpty())
        vellumi::fatalError(problem);
    window.adjustSize();
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
    window.show();
    vellumi::onTerminationSignal([&window] {
        window.close();
        QCoreApplication::quit();
    });
    return QApplication::exec();
}
