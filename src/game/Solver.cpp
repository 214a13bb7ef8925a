#include "game/Solver.h"

#include "game/FourByFour.h"
#include "game/HomeDistances.h"
#include "game/Reduction.h"
#include "game/SolverBoard.h"

#include <algorithm>
#include <mutex>

namespace vellumi {

using namespace solver;

namespace {

Way wayFor(Board b, const std::stop_token& stop, std::optional<std::chrono::milliseconds> budget)
{
    if (b.n == 3)
        return Way{tableWay(b), true};
    prepareFourByFour(stop);
    homeDistances();
    Way way;
    const int offset = b.n - 4;
    reduce(b, 0, 4, way.presses, stop);
    // Four fifths of the time go to the shortest way; if that runs out, the rest to a weighted
    // search, and should that run out too, the row-by-row way, which is immediate.
    const auto limit = budget.value_or(b.n == 4 ? fourByFourBudget : cornerBudget);
    const Board square = corner(b, offset);
    // A weight of 1.5 finds a way within a few milliseconds on Korf's hardest instances, a few
    // moves longer than the shortest; the row-by-row way is some 30 longer.
    for (const int weight : {10, 15}) {
        const auto deadline = Clock::now() + (weight == 10 ? limit * 4 / 5 : limit / 5);
        std::vector<int> cornerPresses;
        switch (idaStar(square, weight, deadline, stop, cornerPresses)) {
        case SearchOutcome::Found:
            pressInCorner(b, offset, cornerPresses, way.presses);
            way.shortest = b.n == 4 && weight == 10;
            return way;
        case SearchOutcome::Stopped: throw Stopped{};
        case SearchOutcome::OutOfTime: break;
        }
    }
    reduce(b, offset, 3, way.presses, stop);
    pressInCorner(b, b.n - 3, tableWay(corner(b, b.n - 3)), way.presses);
    return way;
}

// The way last given by nextPress, board by board, so that the next hint continues it.
struct RememberedWay {
    std::mutex mutex;
    std::vector<Board> boards;
    std::vector<int> presses;

    std::optional<int> pressFrom(const Board& b) const
    {
        const auto at = std::find(boards.begin(), boards.end(), b);
        return at == boards.end() ? std::nullopt : std::optional(presses[std::size_t(at - boards.begin())]);
    }

    void remember(Board b, std::vector<int> way)
    {
        boards.clear();
        for (const int cell : way) {
            boards.push_back(b);
            b.press(cell);
        }
        presses = std::move(way);
    }
};

RememberedWay& rememberedWay()
{
    static RememberedWay w;
    return w;
}

} // namespace

bool prepare(int n, std::stop_token stop)
{
    homeDistances();
    if (n < 4)
        return true;
    try {
        prepareFourByFour(std::move(stop));
    } catch (const Stopped&) {
        return false;
    }
    return true;
}

std::size_t tableBytes()
{
    return homeDistanceBytes() + fourByFourBytes();
}

std::optional<Way> findWay(const Puzzle& puzzle, std::stop_token stop, std::optional<std::chrono::milliseconds> budget)
{
    const Board b = boardOf(puzzle);
    try {
        return wayFor(b, stop, budget);
    } catch (const Stopped&) {
        return std::nullopt;
    }
}

std::optional<int> nextPress(const Puzzle& puzzle, std::stop_token stop,
                             std::optional<std::chrono::milliseconds> budget)
{
    const Board b = boardOf(puzzle);
    RememberedWay& remembered = rememberedWay();
    {
        std::lock_guard lock(remembered.mutex);
        if (auto cell = remembered.pressFrom(b))
            return cell;
    }
    auto way = findWay(puzzle, std::move(stop), budget);
    if (!way || way->presses.empty())
        return std::nullopt;
    const int first = way->presses.front();
    std::lock_guard lock(remembered.mutex);
    remembered.remember(b, std::move(way->presses));
    return first;
}

int manhattan(const Puzzle& puzzle)
{
    checkSize(puzzle);
    Board b;
    b.n = puzzle.n;
    std::copy(puzzle.tiles.begin(), puzzle.tiles.end(), b.tiles.begin());
    return restEstimate(b, 0);
}

} // namespace vellumi
