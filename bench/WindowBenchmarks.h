#pragma once
// What the in-process figures drive: a fade on bare images, a real main window pressed and
// stepped through, each timed from the input to the frame it brings.
#include "DataFolder.h"

#include "effects/PatternFade.h"
#include "files/PictureCatalog.h"
#include "files/PictureFile.h"
#include "ui/DeviceGrid.h"
#include "ui/MainWindow.h"
#include "ui/PictureBox.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>

using Clock = std::chrono::steady_clock;

namespace vellumi {

// Settings, records and the unfinished game of its own, so that a benchmark neither reads the
// player's (a zoom saved there would change every figure) nor leaves its games behind there.
class PrivateHome {
public:
    PrivateHome()
    {
        for (const char* folder : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
            qputenv(folder, QFile::encodeName(home.filePath(QString::fromLatin1(folder))));
    }

private:
    QTemporaryDir home;
};

// An image standing in for a picture box, so that the fade's drawing is timed without widgets.
class ImageSurface : public PictureSurface {
public:
    explicit ImageSurface(QSize outer) { setOuterSize(outer); }
    QSize outerSize() const override { return m_outer; }
    void setOuterSize(QSize size) override
    {
        m_outer = size;
        m_image = QImage(size - QSize(4, 4), QImage::Format_RGB32);
        m_image.fill(qRgb(90, 140, 200));
    }
    QImage& surface() override { return m_image; }
    void surfaceChanged() override {}

private:
    QSize m_outer;
    QImage m_image;
};

// The fade at the size of the main window's display: 484 × 364, interior 480 × 360, times the
// scale of the screen's device pixels, its pattern's cells as large as they are there.
class FadeBenchmark {
public:
    explicit FadeBenchmark(double factor = 1)
        : source(DeviceGrid::pictureSize(factor) + QSize(4, 4))
        , work(DeviceGrid::pictureSize(factor) + QSize(4, 4))
        , display(DeviceGrid::pictureSize(factor) + QSize(4, 4))
    {
        fade.setPixelSize(DeviceGrid::lineWidth(factor));
        fade.buildBrushes();
    }
    // Step 9 is the checkerboard: no step has more pattern to draw.
    void step()
    {
        fade.brushes[9].build();
        fade.drawStep(9);
    }
    void bareCopy()
    {
        QImage& to = display.surface();
        const QImage& from = source.surface();
        std::memcpy(to.bits(), from.constBits(), static_cast<std::size_t>(from.sizeInBytes()));
    }

private:
    ImageSurface source, work, display;
    PatternFade fade{source, work, display};
};

// Lets every pending event run, without sleeping: a rested processor would make the next
// command look slower than it is in play.
void settle(const MainWindow& window)
{
    do {
        QEventLoop pending;
        QTimer::singleShot(0, &pending, &QEventLoop::quit);
        pending.exec();
    } while (!window.isEnabled() || window.isFading());
}

// Shows the window and lets its opening fade run, at no pace, to its end.
void open(MainWindow& window)
{
    window.setFadeStepTime(0);
    if (!window.load().isEmpty())
        qFatal("the data folder was refused");
    window.show();
    window.findChild<QTimer*>(QStringLiteral("Timer1"))->start(0);
    settle(window);
}

// A real main window, past its opening fade and into a 6 × 6 game, on a data folder of its own,
// driven as a player drives it. Given a move sound, every press plays it for real; without,
// it is silent.
class TilePressBenchmark : public QObject {
public:
    // zoomSteps: how many times Ctrl+= is pressed first.
    explicit TilePressBenchmark(const QString& moveSound = {}, int zoomSteps = 0)
        : window(dir.path())
    {
        testdata::makeDataFolder(dir.path(), "3", 3);
        if (moveSound.isEmpty())
            window.setSoundPlayer([](const QString&) {});
        else
            QFile::copy(moveSound, dir.path() + QStringLiteral("/move.wav"));
        open(window);
        for (int step = 0; step < zoomSteps; ++step)
            QTest::keyClick(&window, Qt::Key_Equal, Qt::ControlModifier);
        for (int click = 0; click < 3; ++click)
            QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("imgchage")), Qt::LeftButton, {}, QPoint(2, 2));
        window.findChild<QAction*>(QStringLiteral("E_game"))->trigger();
        settle(window);
    }

    // Presses a tile next to the blank and waits until the tile that arrived in the blank and
    // the surface where the tile left have both painted. Returns the time that took.
    double pressSeconds()
    {
        const int n = window.state().gridSize;
        const int blank = window.state().blankPos;
        const int cell = blank % n > 0 ? blank - 1 : blank + 1;
        arrived = tile(blank);
        QWidget* pressed = tile(cell);
        left = pressed->geometry();
        surface = window.findChild<QWidget*>(QStringLiteral("surface"));
        arrivedPainted = leftPainted = false;
        arrived->installEventFilter(this);
        surface->installEventFilter(this);

        QEventLoop untilPainted;
        painted = &untilPainted;
        QTimer::singleShot(5000, &untilPainted, &QEventLoop::quit);
        const auto start = Clock::now();
        QTest::mousePress(pressed, Qt::LeftButton, {}, QPoint(2, 2));
        if (!(arrivedPainted && leftPainted))
            untilPainted.exec();
        const std::chrono::duration<double> took = Clock::now() - start;
        painted = nullptr;

        arrived->removeEventFilter(this);
        surface->removeEventFilter(this);
        QTest::mouseRelease(tile(blank), Qt::LeftButton, {}, QPoint(2, 2));
        settle(window);
        if (!(arrivedPainted && leftPainted))
            return -1;
        return took.count();
    }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            if (receiver == arrived)
                arrivedPainted = true;
            else if (receiver == surface && static_cast<QPaintEvent*>(event)->region().intersects(left))
                leftPainted = true;
            if (arrivedPainted && leftPainted && painted)
                painted->quit();
        }
        return false;
    }

private:
    QWidget* tile(int cell) const { return window.findChild<QWidget*>(QStringLiteral("picbox(%1)").arg(cell)); }

    QTemporaryDir dir;
    MainWindow window;
    QEventLoop* painted = nullptr;
    QObject* arrived = nullptr;
    QObject* surface = nullptr;
    QRect left;
    bool arrivedPainted = false;
    bool leftPainted = false;
};

// A real main window browsing with →: three numbered pictures, then the player's own folder of
// hard links to the first of them, so that every step decodes the same picture and only
// the catalog's work differs with the folder's size.
class BrowseBenchmark {
public:
    explicit BrowseBenchmark(int ownPictures)
        : window(dir.path(), ownFolder(ownPictures))
    {
        testdata::makeDataFolder(dir.path(), "3", 3);
        window.setSoundPlayer([](const QString&) {});
        open(window);
    }

    // From the key to the new picture painted.
    double stepSeconds()
    {
        const auto start = Clock::now();
        QTest::keyClick(&window, Qt::Key_Right);
        settle(window);
        return std::chrono::duration<double>(Clock::now() - start).count();
    }

private:
    // Made once for each size, shared by the repetitions, and left to rest: the catalog reads a
    // folder changed in the last few seconds afresh at every step.
    static QString ownFolder(int pictures)
    {
        static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
        auto& folder = folders[pictures];
        if (!folder) {
            folder = std::make_unique<QTemporaryDir>();
            const QByteArray first = QFile::encodeName(folder->filePath(QStringLiteral("picture.jpg")));
            if (!testdata::picture(1).save(folder->filePath(QStringLiteral("picture.jpg")), nullptr, 95))
                qFatal("cannot write the own pictures");
            QDir(folder->path()).mkdir(QStringLiteral("own"));
            for (int n = 1; n <= pictures; ++n)
                if (::link(first.constData(),
                           QFile::encodeName(folder->filePath(QStringLiteral("own/IMG_%1.jpg").arg(n))).constData()) !=
                    0)
                    qFatal("cannot link the own pictures");
            std::this_thread::sleep_for(PictureCatalog::restTime + std::chrono::milliseconds(100));
        }
        return folder->filePath(QStringLiteral("own"));
    }

    QTemporaryDir dir;
    MainWindow window;
};

} // namespace vellumi
