// The in-process figures, each next to its target and, where there is one, the floor it is
// measured against in the same run. Run by hand:
//
//   ./build/bench/bench_vellumi                       # every figure, then the summary table
//   ./build/bench/bench_vellumi --benchmark_filter=Fade
//
// Google Benchmark runs each figure several times (repetitions) and keeps the median; the
// summary at the end prints those medians with the targets. Widgets run on the offscreen
// platform unless QT_QPA_PLATFORM says otherwise. The move sound's own figures are
// bench_sound's.
#include "ProcessStatus.h"
#include "WindowBenchmarks.h"

#include "effects/PatternFade.h"
#include "files/PictureCatalog.h"
#include "files/PictureFile.h"
#include "game/Scramble.h"
#include "ui/Appearance.h"
#include "ui/MainWindow.h"
#include "ui/PictureBox.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <thread>

#include <unistd.h>

namespace {

QString clickFile;

// A 120 ms 1 kHz click at 44.1 kHz, 16-bit mono: the move sound's own format.
bool writeClick(const QString& name)
{
    SF_INFO format{0, 44100, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* file = sf_open(QFile::encodeName(name).constData(), SFM_WRITE, &format);
    if (!file)
        return false;
    std::vector<float> click(44100 * 120 / 1000);
    for (std::size_t i = 0; i < click.size(); ++i)
        click[i] = float(0.5 * std::sin(2 * M_PI * 1000 * double(i) / 44100));
    const bool written = sf_writef_float(file, click.data(), sf_count_t(click.size())) == sf_count_t(click.size());
    return sf_close(file) == 0 && written;
}

// ---------------------------------------------------------------------------------------------

void BM_BareCopy(benchmark::State& state)
{
    vellumi::FadeBenchmark bench;
    for (auto _ : state)
        bench.bareCopy();
}
BENCHMARK(BM_BareCopy)->Unit(benchmark::kMicrosecond)->MinTime(0.2);

void BM_FadeStep(benchmark::State& state)
{
    vellumi::FadeBenchmark bench;
    for (auto _ : state)
        bench.step();
}
BENCHMARK(BM_FadeStep)->Unit(benchmark::kMicrosecond)->MinTime(0.2);

// A fade in at 100 ms a step on shown picture boxes, from its call until the command that asked
// for it goes on, the event loop running and painting between steps.
void BM_WholeFade100(benchmark::State& state)
{
    QWidget host;
    host.resize(500, 400);
    vellumi::PictureBox source(&host), work(&host), display(&host);
    source.hide();
    work.hide();
    display.resize(484, 364);
    source.setPicture(testdata::picture(1));
    host.show();
    vellumi::PatternFade fade(source, work, display);
    for (auto _ : state) {
        const auto start = Clock::now();
        bool done = false;
        fade.fadeIn(100, [&] { done = true; });
        (void)QTest::qWaitFor([&] { return done; }, 10000);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(BM_WholeFade100)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void BM_TilePress(benchmark::State& state)
{
    vellumi::TilePressBenchmark bench;
    for (auto _ : state) {
        const double took = bench.pressSeconds();
        if (took < 0)
            qFatal("a tile never painted after a press");
        state.SetIterationTime(took);
    }
}
BENCHMARK(BM_TilePress)->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(200);

void BM_BrowseStep(benchmark::State& state, int ownPictures)
{
    vellumi::BrowseBenchmark bench(ownPictures);
    for (auto _ : state)
        state.SetIterationTime(bench.stepSeconds());
}
BENCHMARK_CAPTURE(BM_BrowseStep, own0, 0)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);
BENCHMARK_CAPTURE(BM_BrowseStep, own2000, 2000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);
BENCHMARK_CAPTURE(BM_BrowseStep, own10000, 10000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);

void BM_ScrambleBoard6x6(benchmark::State& state)
{
    vellumi::GameState game;
    game.gridSize = 6;
    std::uint32_t x = 2463534242u; // xorshift32: a generator that costs next to nothing
    const vellumi::Rnd rnd = [&x] {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return static_cast<float>(x >> 8) * (1.0f / 16777216.0f);
    };
    for (auto _ : state) {
        benchmark::DoNotOptimize(vellumi::scrambleBoard(game, rnd));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ScrambleBoard6x6)->Unit(benchmark::kMicrosecond)->MinTime(0.2);

// A 24-megapixel photo (6000 × 4000), as the game reads it and as a plain full decode does.
QString photoFile;

void BM_LoadPhoto24MP(benchmark::State& state)
{
    QString why;
    for (auto _ : state)
        benchmark::DoNotOptimize(vellumi::loadPicture(photoFile, &why));
}
BENCHMARK(BM_LoadPhoto24MP)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DecodePhoto24MP(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(QImage(photoFile));
}
BENCHMARK(BM_DecodePhoto24MP)->Unit(benchmark::kMillisecond)->Iterations(3);

// Run in a process of its own, so that the peak is this load's alone.
int printLoadPeak(const QString& file)
{
    const long idle = statusKilobytes("VmHWM:");
    QString why;
    const QImage picture = vellumi::loadPicture(file, &why);
    std::printf("%ld\n", (statusKilobytes("VmHWM:") - idle) / 1024);
    return picture.isNull() ? 1 : 0;
}

// The same press with the move sound played for real, as in a game on a machine with sound.
void BM_TilePressWithSound(benchmark::State& state)
{
    vellumi::TilePressBenchmark bench(clickFile);
    for (auto _ : state) {
        const double took = bench.pressSeconds();
        if (took < 0)
            qFatal("a tile never painted after a press");
        state.SetIterationTime(took);
    }
}

void registerSoundBenchmarks()
{
    benchmark::RegisterBenchmark("BM_TilePressWithSound", BM_TilePressWithSound)
        ->Unit(benchmark::kMicrosecond)
        ->UseManualTime()
        ->Iterations(50);
}

// ---------------------------------------------------------------------------------------------
// The summary: each figure's median against its target.

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    SummaryReporter()
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular)
    {
    }
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && !run.error_occurred)
                medians[run.run_name.function_name] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (run.error_occurred)
                errors[run.run_name.function_name] = run.error_message;
        }
    }
    std::map<std::string, double> medians; // seconds
    std::map<std::string, std::string> errors;
};

void printSummary(const SummaryReporter& r)
{
    const auto get = [&](const char* name) -> std::optional<double> {
        const auto it = r.medians.find(name);
        return it == r.medians.end() ? std::nullopt : std::optional<double>(it->second);
    };
    const auto why = [&](const char* name) {
        const auto it = r.errors.find(name);
        return it == r.errors.end() ? std::string("not run") : it->second;
    };
    std::printf("\nSummary (medians)\n");
    const auto line = [&](const char* label, const char* name, double scale, const char* unit, double target,
                          const char* baseName, const char* baseLabel) {
        const auto value = get(name);
        if (!value) {
            std::printf("  %-38s %s\n", label, why(name).c_str());
            return;
        }
        std::printf("  %-38s %8.1f %-3s target <= %-5g %-4s", label, *value * scale, unit, target,
                    *value * scale <= target ? "PASS" : "over");
        if (const auto base = baseName ? get(baseName) : std::nullopt)
            std::printf("  %s %.1f %s, ratio %.2f", baseLabel, *base * scale, unit, *value / *base);
        std::printf("\n");
    };
    line("one fade step, 484 x 364", "BM_FadeStep", 1e6, "us", 60, "BM_BareCopy", "copy of the picture");
    if (const auto fade = get("BM_WholeFade100")) {
        const double deviation = (*fade - 2.0) / 2.0 * 100;
        std::printf("  %-38s %8.3f s   target 2.000 s +- 2 %% %-4s  deviation %+.2f %%\n", "whole fade, Time = 100",
                    *fade, std::abs(deviation) <= 2 ? "PASS" : "over", deviation);
    } else {
        std::printf("  %-38s %s\n", "whole fade, Time = 100", why("BM_WholeFade100").c_str());
    }
    line("tile press -> both tiles repainted", "BM_TilePress", 1e6, "us", 2000, nullptr, nullptr);
    line("  the same, move sound played for real", "BM_TilePressWithSound", 1e6, "us", 2000, nullptr, nullptr);
    for (const char* own : {"2000", "10000"}) {
        const std::string name = std::string("BM_BrowseStep/own") + own;
        const auto step = get(name.c_str()), empty = get("BM_BrowseStep/own0");
        const std::string label = std::string("browse step, ") + own + " own pictures";
        if (step && empty)
            std::printf("  %-38s %8.2f ms  0 own pictures %.2f ms, ratio %.2f target <= 2 %s\n", label.c_str(),
                        *step * 1e3, *empty * 1e3, *step / *empty, *step / *empty <= 2 ? "PASS" : "over");
        else
            std::printf("  %-38s %s\n", label.c_str(), why(step ? "BM_BrowseStep/own0" : name.c_str()).c_str());
    }
    line("ScrambleBoard 6 x 6 (1296 moves)", "BM_ScrambleBoard6x6", 1e6, "us", 50, nullptr, nullptr);
    line("load of a 24-MP JPEG photo", "BM_LoadPhoto24MP", 1e3, "ms", 200, "BM_DecodePhoto24MP", "full decode");
}

} // namespace

int main(int argc, char* argv[])
{
    const vellumi::PrivateHome home;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], "--load-peak") == 0) {
        QGuiApplication app(argc, argv);
        return printLoadPeak(QString::fromLocal8Bit(argv[2]));
    }

    // Medians over repetitions unless the command line asks otherwise.
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=9";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {repetitions.data(), aggregates.data()});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());

    // The offscreen platform says so each time the fixed-size main window lays itself out.
    static const QtMessageHandler forward =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (!message.contains(QLatin1String("propagateSizeHints")))
                forward(type, context, message);
        });

    QApplication app(argc, argv);
    vellumi::applyAppearance(app);
    QTemporaryDir sounds;
    clickFile = sounds.path() + "/click.wav";
    if (writeClick(clickFile))
        registerSoundBenchmarks();

    QTemporaryDir photos;
    photoFile = photos.filePath(QStringLiteral("photo.jpg"));
    testdata::picture(1, 6000, 4000).save(photoFile, "jpeg", 90);

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printSummary(reporter);
    QProcess peak;
    peak.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--load-peak"), photoFile});
    peak.waitForFinished(60000);
    std::printf("  %-38s %8s MB  target <= 60 MB over the idle process\n", "peak memory of that load",
                peak.readAllStandardOutput().trimmed().constData());
    benchmark::Shutdown();
    return 0;
}
