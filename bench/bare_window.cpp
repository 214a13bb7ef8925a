// The floor for the whole-process figures: the least a Qt Widgets program from this toolchain
// can do to put up a titled window of the game's size. bench/process.sh starts it beside the
// game in the same run.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Vellumi"));
    window.setFixedSize(497, 444);
    window.show();
    return QApplication::exec();
}
