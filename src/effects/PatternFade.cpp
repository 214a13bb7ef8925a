#include "effects/PatternFade.h"

#include "effects/EffectError.h"
#include "effects/InputHold.h"

#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>
#include <cstring>

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

PatternFade::PatternFade() = default;
PatternFade::~PatternFade() = default;

void PatternFade::pic1(PictureSurface* Acontrol) { m_pic1 = Acontrol; }
void PatternFade::pic2(PictureSurface* Acontrol) { m_pic2 = Acontrol; }
void PatternFade::pic3(PictureSurface* Acontrol) { m_pic3 = Acontrol; }

void PatternFade::Setup()
{
    if (!m_pic1 || !m_pic2 || !m_pic3)
        throw EffectError("PatternFade::Setup: pic1, pic2 and pic3 must all be set");
    m_pic1->setOuterSize(m_pic3->outerSize());
    m_pic2->setOuterSize(m_pic3->outerSize());
    m_pic1->setAutoRedraw(true);
    m_pic2->setAutoRedraw(true);
    for (int k = 1; k <= stepCount; ++k) {
        brush[k] = std::make_unique<BitBrush>();
        brush[k]->DispPict(m_pic2);
    }
}

void PatternFade::BuildBrushes()
{
    for (int k = 1; k <= stepCount; ++k) {
        for (int row = 1; row <= 8; ++row)
            brush[k]->SetPattern(steps[k][row - 1], row);
        brush[k]->SetuBitmap(255, 255, 255, 0, 0, 0);
        brush[k]->BuildBitmap();
    }
}

void PatternFade::FadeIn(std::int16_t Time) { run(Direction::In, Time); }
void PatternFade::FadeOut(std::int16_t Time) { run(Direction::Out, Time); }

void PatternFade::run(Direction direction, std::int16_t Time)
{
    if (!brush[1])
        throw EffectError("PatternFade: Setup must come before a fade");
    // Only a timer or some other non-input event can get here during a fade. Rebuilding the
    // brushes now would pull them from under the running fade, so the request takes its turn.
    if (running) {
        waiting.push_back({direction, Time});
        return;
    }
    running = true;
    const auto done = qScopeGuard([this] { running = false; });
    const InputHold hold;
    for (Request next{direction, Time};;) {
        BuildBrushes();
        for (int i = 1; i <= stepCount; ++i) {
            drawStep(next.direction == Direction::In ? stepCount + 1 - i : i);
            pause(next.Time);
        }
        if (waiting.empty())
            break;
        next = waiting.front();
        waiting.pop_front();
    }
}

void PatternFade::drawStep(int k)
{
    brush[k]->ShowPattern();

    QImage& work = m_pic2->surface();
    const QImage& source = m_pic1->surface();
    QImage& target = m_pic3->surface();
    const int andWidth = std::min(source.width(), work.width());
    const int andHeight = std::min(source.height(), work.height());
    const int copyWidth = std::min(target.width(), work.width());
    const int copyHeight = std::min(target.height(), work.height());
    // Each row is copied to the visible box straight after its AND, while it is still in the
    // cache: one pass over the work surface instead of two. No row depends on another.
    for (int y = 0; y < std::max(andHeight, copyHeight); ++y) {
        auto* out = reinterpret_cast<QRgb*>(work.scanLine(y));
        if (y < andHeight) {
            const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
            for (int x = 0; x < andWidth; ++x)
                out[x] &= in[x];
        }
        if (y < copyHeight)
            std::memcpy(target.scanLine(y), out, static_cast<std::size_t>(copyWidth) * sizeof(QRgb));
    }
    m_pic3->surfaceChanged();
}

void PatternFade::pause(std::int16_t Time)
{
    QEventLoop loop;
    if (Time > 0)
        QTimer::singleShot(Time, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    else
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace vellumi
