#include "ui/Appearance.h"
#include "ui/frmmain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellumi"));
    vellumi::applyAppearance(app);

    vellumi::frmmain window(QCoreApplication::applicationDirPath());
    window.Form_Load();
    window.adjustSize();
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
    window.show();
    return QApplication::exec();
}
