// How long a hint takes and how good it is. Run by hand, on a machine otherwise idle:
//
//   ./build/bench/bench_solver
//
// 1. How soon a table build and a search end when asked to stop; the time to build each size's tables, once per run,
// and the memory they take.
// 2. Hint latency per size on the game's own scrambles (n⁴ random-walk moves): the first hint of
//    a game, which finds the whole way, and the hints after it, which follow that way.
// 3. 4 × 4: every one of Korf's 100 instances as a first hint, within the usual time budget:
//    time, and how many fell back to the row-by-row way.
// 4. 5 × 5 and 6 × 6: the way's length against the Manhattan lower bound on 200 scrambles each.
#include "korf100.h"

#include "game/Board.h"
#include "game/Scramble.h"
#include "game/Solver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <thread>
#include <vector>

using namespace vellumi;

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double worst(const std::vector<double>& v)
{
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

Puzzle puzzleOf(const GameState& s)
{
    Puzzle p{s.gridSize, {}};
    for (int cell = 0; cell < s.cellCount(); ++cell)
        p.tiles.push_back(static_cast<std::int8_t>(s.board[cell]));
    return p;
}

Puzzle korfPuzzle(const KorfInstance& k)
{
    Puzzle p{4, {}};
    for (const int tile : korfBoard(k))
        p.tiles.push_back(static_cast<std::int8_t>(tile));
    return p;
}

GameState scrambled(int n, std::mt19937& generator)
{
    std::uniform_real_distribution<float> draw(0.0f, 1.0f);
    GameState s;
    s.gridSize = static_cast<std::int16_t>(n);
    scrambleBoard(s, [&] { return draw(generator); });
    resetBoard(s);
    return s;
}

// How soon work ends once the player's move makes it useless: a table build and a long search,
// each stopped after 200 ms.
void stopLatency(const char* what, const std::function<void(std::stop_token)>& work)
{
    auto stoppedAt = Clock::now();
    std::jthread worker([&](std::stop_token stop) { work(stop); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    stoppedAt = Clock::now();
    worker.request_stop();
    worker.join();
    std::printf("  %s stopped after %.2f ms\n", what, millisecondsSince(stoppedAt));
}

void tableBuilds()
{
    std::printf("Tables\n");
    for (const int n : {3, 4}) {
        if (n == 4)
            stopLatency("4 x 4 table build", [](std::stop_token stop) { prepare(4, stop); });
        const auto start = Clock::now();
        prepare(n);
        std::printf("  build for %d x %d: %8.1f ms, all tables now %6.2f MB\n", n, n, millisecondsSince(start),
                    double(tableBytes()) / 1e6);
    }
    const Puzzle hardest = korfPuzzle(korf100()[81]);
    stopLatency("4 x 4 search (Korf's #82)",
                [&](std::stop_token stop) { findWay(hardest, stop, std::chrono::minutes(1)); });
}

void hintLatency()
{
    std::printf("\nHint latency (ms)      games  first: median    worst   following: median    worst\n");
    std::mt19937 generator(7);
    for (const int n : {3, 4, 5, 6}) {
        const int games = n == 3 ? 200 : 40;
        std::vector<double> first;
        std::vector<double> following;
        for (int game = 0; game < games; ++game) {
            GameState s = scrambled(n, generator);
            for (bool firstHint = true; !isSolved(s); firstHint = false) {
                const auto start = Clock::now();
                const auto cell = nextPress(puzzleOf(s));
                (firstHint ? first : following).push_back(millisecondsSince(start));
                pressCell(s, *cell);
            }
        }
        std::printf("  %d x %d                %5d  %13.3f %8.3f  %17.4f %8.4f\n", n, n, games, median(first),
                    worst(first), median(following), worst(following));
    }
}

void korfHundred()
{
    std::vector<double> times;
    int fallbacks = 0;
    int extraMoves = 0;
    for (const KorfInstance& k : korf100()) {
        const Puzzle p = korfPuzzle(k);
        const auto start = Clock::now();
        const auto way = findWay(p);
        times.push_back(millisecondsSince(start));
        if (!way->shortest) {
            ++fallbacks;
            extraMoves += int(way->presses.size()) - k.optimalLength;
        }
    }
    double total = 0;
    for (const double t : times)
        total += t;
    std::printf("\nKorf's 100 (4 x 4), budget %lld ms: median %.1f ms, worst %.1f ms, total %.1f s; "
                "%d fell back, %d moves longer than optimal in all\n",
                static_cast<long long>(fourByFourBudget.count()), median(times), worst(times), total / 1000, fallbacks,
                extraMoves);
}

void wayLengths()
{
    std::printf("\nWay length vs Manhattan  scrambles  mean length  mean Manhattan  mean ratio  worst ratio  "
                "mean ms\n");
    std::mt19937 generator(11);
    for (const int n : {5, 6}) {
        const int scrambles = 200;
        double lengths = 0;
        double bounds = 0;
        double ratios = 0;
        double worstRatio = 0;
        double time = 0;
        for (int i = 0; i < scrambles; ++i) {
            const Puzzle p = puzzleOf(scrambled(n, generator));
            const auto start = Clock::now();
            const auto way = findWay(p);
            time += millisecondsSince(start);
            const double ratio = double(way->presses.size()) / manhattan(p);
            lengths += double(way->presses.size());
            bounds += manhattan(p);
            ratios += ratio;
            worstRatio = std::max(worstRatio, ratio);
        }
        std::printf("  %d x %d                  %9d  %11.1f  %14.1f  %10.2f  %11.2f  %7.1f\n", n, n, scrambles,
                    lengths / scrambles, bounds / scrambles, ratios / scrambles, worstRatio, time / scrambles);
    }
}

} // namespace

int main()
{
    tableBuilds();
    hintLatency();
    korfHundred();
    wayLengths();
}
