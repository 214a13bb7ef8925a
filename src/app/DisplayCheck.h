#pragma once

#include <QString>

namespace vellumi {

// Asked before QApplication exists: without a display to open, Qt's window-system plugins end
// the program with an abort and a core file, which tells a player on a console nothing. This
// looks first, so the program can say so in one line and end with status 1 instead.
//
// platform and x11Display are the values of Qt's -platform and -display options, empty when not
// given; QT_QPA_PLATFORM, DISPLAY and WAYLAND_DISPLAY are read as Qt would read them. Returns
// an empty string when a display Qt may choose can be opened, or when Qt was told to use a
// window system this does not know how to ask (offscreen, say): a doubtful case is left to Qt
// rather than refused. Otherwise returns why not, in English, without a full stop.
QString displayProblem(const QString& platform, const QString& x11Display);

} // namespace vellumi
