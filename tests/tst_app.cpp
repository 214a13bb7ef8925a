#include "app/DisplayCheck.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vellumi {

class AppTest : public QObject {
    Q_OBJECT
private slots:
    void aMissingDisplayIsToldInOneLine_data();
    void aMissingDisplayIsToldInOneLine();
};

void AppTest::aMissingDisplayIsToldInOneLine_data()
{
    QTest::addColumn<QString>("platform"); // as -platform or QT_QPA_PLATFORM gives it
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QString>("problem");
    QTest::newRow("no X display") << "xcb" << QByteArray() << "no display to open (DISPLAY is not set)";
    QTest::newRow("an X display nobody serves")
        << "xcb:nomitshm" << QByteArray(":907") << "cannot open the X display ':907'";
    QTest::newRow("a compositor that is there") << "wayland-egl" << QByteArray() << "";
    QTest::newRow("each of a list tried") << "wayland;xcb" << QByteArray(":907")
                                          << "cannot open the Wayland display 'gone', cannot open the X display ':907'";
    QTest::newRow("a compositor's connection handed over") << "wayland" << QByteArray() << "";
    QTest::newRow("a window system not asked of") << "offscreen" << QByteArray(":907") << "";
}

// Qt would end a program without a display by an abort: the check says why first. A listening
// socket stands for the compositor; there is none called gone.
void AppTest::aMissingDisplayIsToldInOneLine()
{
    QFETCH(QString, platform);
    QFETCH(QByteArray, display);
    QFETCH(QString, problem);
    QTemporaryDir run;
    const int compositor = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    const QByteArray path = QFile::encodeName(run.filePath("here"));
    qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
    QVERIFY(::bind(compositor, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(compositor, 1) == 0);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run.path()));
    qputenv("WAYLAND_DISPLAY", platform.startsWith("wayland-") ? "here" : "gone");
    if (QByteArray(QTest::currentDataTag()).contains("handed over"))
        qputenv("WAYLAND_SOCKET", "3");
    else
        qunsetenv("WAYLAND_SOCKET");
    qunsetenv("DISPLAY");
    QCOMPARE(displayProblem(platform, QString::fromLatin1(display)), problem);
    ::close(compositor);
}

} // namespace vellumi

QTEST_GUILESS_MAIN(vellumi::AppTest)
#include "tst_app.moc"
