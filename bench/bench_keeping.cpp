// What keeping the game in hand costs the window's thread at each move: the game written out
// as text and handed to the writer, for a 6 × 6 game of 200, 2 000 and 20 000 moves. The
// writing itself, done off the thread, is the second figure: until the version is on disk.
//   ./build/bench/bench_keeping
#include "game/GameSession.h"
#include "play/GameKeeper.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace {

struct Played {
    QTemporaryDir dir;
    vellumi::GameSession session;
    std::unique_ptr<vellumi::GameKeeper> keeper;

    explicit Played(int moves)
    {
        QFile picture(dir.filePath("p.jpg"));
        picture.open(QIODevice::WriteOnly);
        picture.write(QByteArray(100000, 'x'));
        picture.close();
        session.chooseGridSize(6);
        std::mt19937 generator(1);
        session.start([&] { return std::uniform_real_distribution<float>(0, 1)(generator); });
        for (int made = 0; made < moves;)
            made += session.press(int(generator() % 36)).moved;
        keeper = std::make_unique<vellumi::GameKeeper>(session, dir.filePath("state"), dir.filePath("records"));
        keeper->takeKept();
        keeper->started(picture.fileName(), std::string(64, 'a'));
    }
};

void BM_KeepOnTheWindowThread(benchmark::State& state)
{
    Played game(int(state.range(0)));
    for (auto _ : state)
        game.keeper->changed();
    game.keeper->close();
}
BENCHMARK(BM_KeepOnTheWindowThread)->Arg(200)->Arg(2000)->Arg(20000)->Unit(benchmark::kMicrosecond);

void BM_KeepUntilOnDisk(benchmark::State& state)
{
    Played game(int(state.range(0)));
    for (auto _ : state)
        game.keeper->close();
}
BENCHMARK(BM_KeepUntilOnDisk)->Arg(200)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
