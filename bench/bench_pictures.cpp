// What hostile and huge picture files cost the game. Run by hand:
//
//   ./build/bench/bench_pictures
//
// 1. The longest the window's thread is kept from its events while 1,000 twelve-megapixel
//    photos are dropped on the window, and how long the whole drop takes.
// 2. The peak memory and time of reading each hostile file, each in a process of its own,
//    over that process when idle; a process that has not finished in 30 s is stopped.
#include "DataFolder.h"

#include "files/PictureFile.h"
#include "ui/Appearance.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QBuffer>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QMimeData>
#include <QProcess>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include "ProcessStatus.h"

#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

int printReadingCost(const QString& file)
{
    const long idle = statusKilobytes("VmHWM:");
    QElapsedTimer timer;
    timer.start();
    QString why;
    const QImage picture = vellumi::loadPicture(file, &why);
    std::printf("%.1f MB in %lld ms: %s\n", double(statusKilobytes("VmHWM:") - idle) / 1024, timer.elapsed(),
                picture.isNull() ? why.toUtf8().constData() : "read");
    return 0;
}

void write(const QString& name, const QByteArray& content)
{
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(name));
}

QByteArray progressiveJpeg(const QImage& image)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(image);
    return jpeg;
}

void hostileFiles(const QDir& dir)
{
    const QByteArray svg(
        "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='480' "
        "height='360'><image width='480' height='360' xlink:href='%1'/></svg>");
    write(dir.filePath("self.svg"), QString::fromLatin1(svg).arg(dir.filePath("self.svg")).toUtf8());
    mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600);
    write(dir.filePath("fifo.svg"), QString::fromLatin1(svg).arg(dir.filePath("fifo")).toUtf8());
    // An SVG that asks to be drawn 30000 × 30000, packed as SVGZ.
    QByteArray big("<svg xmlns='http://www.w3.org/2000/svg' width='30000' height='30000'>");
    for (int i = 0; i < 40'000; ++i)
        big += QStringLiteral("<circle cx='%1' cy='%2' r='900' fill='#%3'/>")
                   .arg(i * 7 % 30000)
                   .arg(i * 13 % 30000)
                   .arg(i % 4096, 3, 16, QChar('0'))
                   .toLatin1();
    big += "</svg>";
    QFile svgz(dir.filePath("big.svgz"));
    QProcess gzip;
    gzip.setStandardOutputFile(svgz.fileName());
    gzip.start(QStringLiteral("gzip"), {QStringLiteral("-9")});
    gzip.write(big);
    gzip.closeWriteChannel();
    gzip.waitForFinished();
    // A few hundred bytes whose frame says 16000 × 15000.
    QByteArray header = progressiveJpeg(testdata::picture(1, 16, 16));
    header.replace(header.indexOf("\xFF\xC2") + 5, 4, QByteArray("\x3A\x98\x3E\x80", 4));
    write(dir.filePath("header-bomb.jpg"), header);
    write(dir.filePath("progressive-100MP.jpg"), progressiveJpeg(testdata::picture(2, 10000, 10000)));
}

// The longest gap between two turns of the window's event loop while the drop is copied.
void dropThousandPhotos(const QDir& dir)
{
    const QString data = dir.filePath("data");
    if (!testdata::makeDataFolder(data, "1", 1))
        qFatal("cannot write the data folder");
    const QString photo = dir.filePath("photo.jpg");
    testdata::picture(3, 4000, 3000).save(photo, "jpeg", 90);
    QList<QUrl> urls;
    for (int i = 0; i < 1000; ++i) {
        const QString name = dir.filePath(QStringLiteral("photo-%1.jpg").arg(i));
        if (::link(QFile::encodeName(photo).constData(), QFile::encodeName(name).constData()) != 0)
            qFatal("cannot link %s", qPrintable(name));
        urls << QUrl::fromLocalFile(name);
    }
    vellumi::MainWindow window(data, dir.filePath("own"));
    window.setSoundPlayer([](const QString&) {});
    window.setFadeStepTime(0);
    if (!window.load().isEmpty())
        qFatal("the data folder was refused");
    window.show();
    window.findChild<QTimer*>(QStringLiteral("Timer1"))->start(0);
    while (!window.isEnabled())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    QMimeData files;
    files.setUrls(urls);
    QElapsedTimer sinceTick, whole;
    qint64 longest = 0;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.nsecsElapsed());
        sinceTick.restart();
        if (!window.findChild<QProgressDialog*>())
            QCoreApplication::quit();
    });
    whole.start();
    sinceTick.start();
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &files, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&window, &enter);
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &files, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&window, &drop);
    longest = sinceTick.nsecsElapsed();
    sinceTick.restart();
    ticks.start();
    QCoreApplication::exec();
    std::printf("  %-44s %8.1f ms   target <= 50 ms\n", "longest block of the window, 1,000 dropped",
                double(longest) / 1e6);
    std::printf("  %-44s %8.1f s    (%lld files copied)\n", "  the whole drop", double(whole.elapsed()) / 1e3,
                qint64(QDir(dir.filePath("own")).entryList(QDir::Files).size()));
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], "--read") == 0) {
        QGuiApplication app(argc, argv);
        return printReadingCost(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    vellumi::applyAppearance(app);
    QTemporaryDir dir;
    std::printf("Pictures no file can break (peak memory over the idle process, and time)\n");
    hostileFiles(QDir(dir.path()));
    for (const char* name : {"self.svg", "fifo.svg", "big.svgz", "header-bomb.jpg", "progressive-100MP.jpg"}) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--read"), QDir(dir.path()).filePath(name)});
        const bool ended = child.waitForFinished(30000);
        if (!ended)
            child.kill(), child.waitForFinished();
        const QByteArray said = child.readAllStandardOutput().trimmed();
        std::printf("  %-22s %s\n", name,
                    ended && child.exitStatus() == QProcess::NormalExit ? said.constData()
                    : ended                                             ? "crashed"
                                                                        : "still reading after 30 s");
    }
    dropThousandPhotos(QDir(dir.path()));
    return 0;
}
