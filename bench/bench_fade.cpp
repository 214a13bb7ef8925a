// Times the fade's drawing: one step (pattern fill, AND with the picture, copy to the visible
// box) at the size of the main window's display, and a whole fade without pauses, next to a
// bare copy of the picture as the floor. Prints medians.
#include "effects/PatternFade.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace vellumi {

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
    void setAutoRedraw(bool) override {}
    QImage& surface() override { return m_image; }
    void surfaceChanged() override {}

private:
    QSize m_outer;
    QImage m_image;
};

class FadeBenchmark {
public:
    FadeBenchmark()
    {
        fade.pic1(&pic1);
        fade.pic2(&pic2);
        fade.pic3(&pic3);
        fade.Setup();
        fade.BuildBrushes();
    }
    // Step 9 is the checkerboard: no step has more pattern to draw.
    void step()
    {
        fade.brush[9]->BuildBitmap();
        fade.drawStep(9);
    }
    void wholeFade() { fade.FadeOut(0); }
    void bareCopy()
    {
        QImage& to = pic3.surface();
        const QImage& from = pic1.surface();
        std::memcpy(to.bits(), from.constBits(), static_cast<std::size_t>(from.sizeInBytes()));
    }

private:
    ImageSurface pic1{{484, 364}}, pic2{{100, 100}}, pic3{{484, 364}};
    PatternFade fade;
};

} // namespace vellumi

namespace {

double medianMicroseconds(const std::function<void()>& work, int runs, int batch)
{
    std::vector<double> samples;
    for (int r = 0; r < runs; ++r) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < batch; ++i)
            work();
        const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        samples.push_back(took.count() / batch);
    }
    std::nth_element(samples.begin(), samples.begin() + runs / 2, samples.end());
    return samples[runs / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    vellumi::FadeBenchmark bench;
    const double copy = medianMicroseconds([&] { bench.bareCopy(); }, 201, 20);
    const double step = medianMicroseconds([&] { bench.step(); }, 201, 20);
    const double fade = medianMicroseconds([&] { bench.wholeFade(); }, 51, 1);
    std::printf("display 484 x 364 (interior 480 x 360), medians:\n");
    std::printf("  bare copy of the picture     %8.1f us\n", copy);
    std::printf("  one fade step (fill+AND+copy) %7.1f us   %.1f x the bare copy\n", step, step / copy);
    std::printf("  whole FadeOut(0)             %8.1f us   %.1f us a step\n", fade, fade / 20);
    return 0;
}
