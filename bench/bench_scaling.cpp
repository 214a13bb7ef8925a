// What the screen's scale costs: a fade step, a tile press until both tiles have painted, and a
// picture read, at zoom 100, 200 and 300 % on a screen of device pixel ratio 2 (a virtual
// 7680 × 4320 one, where 300 % fits), and the process's memory at each zoom with a 6 × 6 game
// on. Run by hand:
//
//   ./build/bench/bench_scaling
#include "ProcessStatus.h"
#include "WindowBenchmarks.h"

#include "files/PictureFile.h"
#include "ui/Appearance.h"
#include "ui/DeviceGrid.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {

constexpr double ratio = 2;
QString sampleFile; // 1440 × 1080, as the sample pictures are
QString photoFile;  // 24 megapixels

void BM_FadeStep(benchmark::State& state)
{
    vellumi::FadeBenchmark bench(ratio * double(state.range(0)) / 100);
    for (auto _ : state)
        bench.step();
}
BENCHMARK(BM_FadeStep)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMicrosecond)->MinTime(0.2);

// Ctrl+= three times is 200 %, five times 300 %.
void BM_TilePress(benchmark::State& state)
{
    vellumi::TilePressBenchmark bench({}, int(state.range(0)));
    for (auto _ : state) {
        const double took = bench.pressSeconds();
        if (took < 0)
            qFatal("a tile never painted after a press");
        state.SetIterationTime(took);
    }
}
BENCHMARK(BM_TilePress)->Arg(0)->Arg(3)->Arg(5)->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(100);

void BM_LoadSample(benchmark::State& state)
{
    const QSize size = vellumi::DeviceGrid::pictureSize(ratio * double(state.range(0)) / 100);
    QString why;
    for (auto _ : state)
        benchmark::DoNotOptimize(vellumi::loadPicture(sampleFile, &why, size));
}
BENCHMARK(BM_LoadSample)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_LoadPhoto24MP(benchmark::State& state)
{
    const QSize size = vellumi::DeviceGrid::pictureSize(ratio * double(state.range(0)) / 100);
    QString why;
    for (auto _ : state)
        benchmark::DoNotOptimize(vellumi::loadPicture(photoFile, &why, size));
}
BENCHMARK(BM_LoadPhoto24MP)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(3);

// In a process of its own for each zoom, so that one zoom's memory is not another's.
int printMemory(int zoomSteps)
{
    const long before = statusKilobytes("VmRSS:");
    vellumi::TilePressBenchmark game({}, zoomSteps);
    for (int press = 0; press < 5; ++press)
        game.pressSeconds();
    const long after = statusKilobytes("VmRSS:");
    std::printf("%ld MB, of which the window and its game %ld MB\n", after / 1024, (after - before) / 1024);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const vellumi::PrivateHome home;
    // A virtual screen of ratio 2 large enough for 300 %, unless the caller chose a platform.
    QTemporaryDir config;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        const QString file = config.filePath(QStringLiteral("screens.json"));
        QFile json(file);
        json.open(QIODevice::WriteOnly);
        json.write(R"({"screens": [{"name": "scaled", "x": 0, "y": 0, "width": 7680, "height": 4320,
                       "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 2}]})");
        json.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(file));
    }
    static const QtMessageHandler forward =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (!message.contains(QLatin1String("propagateSizeHints")))
                forward(type, context, message);
        });
    if (argc == 3 && std::strcmp(argv[1], "--memory") == 0) {
        QApplication app(argc, argv);
        vellumi::applyAppearance(app);
        return printMemory(std::atoi(argv[2]));
    }

    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=5";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {repetitions.data(), aggregates.data()});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());

    QApplication app(argc, argv);
    vellumi::applyAppearance(app);
    QTemporaryDir pictures;
    sampleFile = pictures.filePath(QStringLiteral("sample.jpg"));
    photoFile = pictures.filePath(QStringLiteral("photo.jpg"));
    testdata::picture(1, 1440, 1080).save(sampleFile, "jpeg", 90);
    testdata::picture(1, 6000, 4000).save(photoFile, "jpeg", 90);
    benchmark::RunSpecifiedBenchmarks();

    std::printf("\nVmRSS with a 6 x 6 game on, ratio 2:\n");
    for (const auto& [zoom, steps] : std::map<int, int>{{100, 0}, {200, 3}, {300, 5}}) {
        QProcess memory;
        memory.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory"), QString::number(steps)});
        memory.waitForFinished(60000);
        std::printf("  zoom %d %%: %s\n", zoom, memory.readAllStandardOutput().trimmed().constData());
    }
    benchmark::Shutdown();
    return 0;
}
