#include "app/FatalError.h"

#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace vellumi {

void fatalError(const QString& message)
{
    std::fprintf(stderr, "tessra: %s\n", message.toUtf8().constData());
    std::fflush(stderr);
    // With no screen there is nobody to close the box, and it would hold the process forever.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        QMessageBox::critical(nullptr, QStringLiteral("Vellumi"), message);
    // Not exit(): this may run inside an event handler, and tearing down static state under a
    // live application object gains nothing when no file is open for writing.
    std::_Exit(EXIT_FAILURE);
}

} // namespace vellumi
