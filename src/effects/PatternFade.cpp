#include "effects/PatternFade.h"

#include <QtGlobal>

#include <algorithm>
#include <cstring>
#include <utility>

namespace vellumi {

const std::array<std::array<const char*, 8>, PatternFade::stepCount + 1> PatternFade::steps{{
    {}, // steps count from 1
    {"00000000", "00000000", "00000000", "00000000", "00000000", "00000000", "00000000", "00000000"},
    {"10001000", "00000000", "00000000", "00000000", "10001000", "00000000", "00000000", "00000000"},
    {"10001000", "00000000", "00100010", "00000000", "10001000", "00000000", "00100010", "00000000"},
    {"10001000", "00000000", "10101010", "00000000", "10001000", "00000000", "10101010", "00000000"},
    {"10101010", "00000000", "10101010", "00000000", "10101010", "00000000", "10101010", "00000000"},
    {"10101010", "00010001", "10101010", "00000000", "10101010", "00010001", "10101010", "00000000"},
    {"10101010", "00010001", "10101010", "01000100", "10101010", "00010001", "10101010", "01000100"},
    {"10101010", "01010101", "10101010", "01000100", "10101010", "01010101", "10101010", "01000100"},
    {"10101010", "01010101", "10101010", "01010101", "10101010", "01010101", "10101010", "01010101"},
    {"11101110", "01010101", "10101010", "01010101", "11101110", "01010101", "10101010", "01010101"},
    {"11101110", "01010101", "10111011", "01010101", "11101110", "01010101", "10111011", "01010101"},
    {"11101110", "01010101", "11111111", "01010101", "11101110", "01010101", "11111111", "01010101"},
    {"11101110", "01110111", "11111111", "01010101", "11101110", "01110111", "11111111", "01010101"},
    {"11101110", "01110111", "11111111", "11011101", "11101110", "01110111", "11111111", "11011101"},
    {"11111111", "01110111", "11111111", "11011101", "11111111", "01110111", "11111111", "11011101"},
    {"11111111", "11111111", "11111111", "11011101", "11111111", "11111111", "11111111", "11011101"},
    {"11111111", "11111111", "11111111", "11111101", "11111111", "11111111", "11111111", "11011101"},
    {"11111111", "11111111", "11111111", "11111101", "11111111", "11111111", "11111111", "11011111"},
    {"11111111", "11111111", "11111111", "11111101", "11111111", "11111111", "11111111", "11111111"},
    {"11111111", "11111111", "11111111", "11111111", "11111111", "11111111", "11111111", "11111111"},
}};

PatternFade::PatternFade(PictureSurface& source, PictureSurface& work, PictureSurface& target, QObject* parent)
    : QObject(parent)
    , source(source)
    , work(work)
    , target(target)
{
    source.setOuterSize(target.outerSize());
    work.setOuterSize(target.outerSize());
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &PatternFade::tick);
}

PatternFade::~PatternFade() = default;

void PatternFade::fadeIn(int stepMs, std::function<void()> then)
{
    start(Direction::In, stepMs, std::move(then));
}
void PatternFade::fadeOut(int stepMs, std::function<void()> then)
{
    start(Direction::Out, stepMs, std::move(then));
}

void PatternFade::start(Direction direction, int stepMs, std::function<void()> then)
{
    // Rebuilding the brushes now would pull them from under the running fade.
    Q_ASSERT(!isRunning());
    Q_ASSERT(stepMs >= 0);
    this->direction = direction;
    this->stepMs = stepMs;
    whenDone = std::move(then);
    stepsDrawn = 0;
    buildBrushes();
    clock.start();
    tick();
}

void PatternFade::buildBrushes()
{
    for (int k = 1; k <= stepCount; ++k) {
        for (int row = 1; row <= 8; ++row)
            brushes[k].setRow(row, steps[k][row - 1]);
        brushes[k].setColours(qRgb(255, 255, 255), qRgb(0, 0, 0));
        brushes[k].build();
    }
}

void PatternFade::tick()
{
    if (stepsDrawn == stepCount) {
        stepsDrawn = 0;
        // `then` may start the next fade, or even destroy this one: nothing of ours after it.
        if (const auto done = std::exchange(whenDone, {}))
            done();
        return;
    }
    ++stepsDrawn;
    drawStep(direction == Direction::In ? stepCount + 1 - stepsDrawn : stepsDrawn);
    scheduleNextTick();
}

void PatternFade::scheduleNextTick()
{
    const qint64 due = qint64(stepsDrawn) * stepMs;
    timer.start(int(std::max<qint64>(0, due - clock.elapsed())));
}

void PatternFade::drawStep(int k)
{
    brushes[k].fill(work, pixelSize);

    QImage& workImage = work.surface();
    const QImage& sourceImage = source.surface();
    QImage& targetImage = target.surface();
    const int andWidth = std::min(sourceImage.width(), workImage.width());
    const int andHeight = std::min(sourceImage.height(), workImage.height());
    const int copyWidth = std::min(targetImage.width(), workImage.width());
    const int copyHeight = std::min(targetImage.height(), workImage.height());
    // Each row is copied to the visible box straight after its AND, while it is still in the
    // cache: one pass over the work surface instead of two. No row depends on another.
    for (int y = 0; y < std::max(andHeight, copyHeight); ++y) {
        auto* out = reinterpret_cast<QRgb*>(workImage.scanLine(y));
        if (y < andHeight) {
            const auto* in = reinterpret_cast<const QRgb*>(sourceImage.constScanLine(y));
            for (int x = 0; x < andWidth; ++x)
                out[x] &= in[x];
        }
        if (y < copyHeight)
            std::memcpy(targetImage.scanLine(y), out, static_cast<std::size_t>(copyWidth) * sizeof(QRgb));
    }
    target.surfaceChanged();
}

} // namespace vellumi
