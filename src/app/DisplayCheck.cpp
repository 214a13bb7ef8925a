#include "app/DisplayCheck.h"

#include <QStringList>

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace vellumi {
namespace {

// Asks libxcb, through which Qt's X11 plugin connects, so that every form DISPLAY can take and
// the server's refusal of a client without authorisation count exactly as they will for Qt.
// Loaded at run time: it is there wherever that plugin can run, and the build needs no X11
// headers. Where it is missing, Qt can say better what is wrong.
bool x11Reachable(const QByteArray& display)
{
    void* xcb = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (!xcb)
        return true;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    const auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
    // Every libxcb has these three, its first calls.
    void* connection = connect(display.isEmpty() ? nullptr : display.constData(), nullptr);
    const bool reachable = hasError(connection) == 0;
    disconnect(connection);
    dlclose(xcb);
    return reachable;
}

// A compositor asks no credentials, so a socket that accepts a connection is enough.
bool waylandReachable(const QByteArray& name)
{
    if (qEnvironmentVariableIsSet("WAYLAND_SOCKET"))
        return true; // a connection handed over already open
    const QByteArray path = name.startsWith('/') ? name : qgetenv("XDG_RUNTIME_DIR") + '/' + name;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return true;
    const bool reachable = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return reachable;
}

} // namespace

QString displayProblem(const QString& platform, const QString& x11Display)
{
    const QString platforms = platform.isEmpty() ? qEnvironmentVariable("QT_QPA_PLATFORM") : platform;
    const QByteArray display = x11Display.isEmpty() ? qgetenv("DISPLAY") : x11Display.toLocal8Bit();
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");

    // Qt tries the plugins of a list such as "wayland;xcb" in turn, and takes plugin arguments
    // after a colon. Unset, it picks X11 or, in a Wayland session, Wayland: either will do.
    QStringList plugins;
    for (const QString& entry : platforms.split(u';', Qt::SkipEmptyParts))
        plugins << entry.section(u':', 0, 0);
    if (plugins.isEmpty()) {
        plugins << QStringLiteral("xcb");
        if (!wayland.isEmpty())
            plugins << QStringLiteral("wayland");
    }

    QStringList tried;
    for (const QString& plugin : plugins) {
        if (plugin == u"xcb") {
            if (x11Reachable(display))
                return {};
            tried << (display.isEmpty()
                          ? QStringLiteral("no display to open (DISPLAY is not set)")
                          : QStringLiteral("cannot open the X display '%1'").arg(QString::fromLocal8Bit(display)));
        } else if (plugin.startsWith(u"wayland")) {
            const QByteArray name = wayland.isEmpty() ? QByteArrayLiteral("wayland-0") : wayland;
            if (waylandReachable(name))
                return {};
            tried << QStringLiteral("cannot open the Wayland display '%1'").arg(QString::fromLocal8Bit(name));
        } else {
            return {};
        }
    }
    return tried.join(QStringLiteral(", "));
}

} // namespace vellumi
