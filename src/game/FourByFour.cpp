#include "game/FourByFour.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <mutex>
#include <optional>

namespace vellumi::solver {

namespace {

// Two six-tile blocks side by side in the top rows and the three tiles left of the blank's home
// (the 6-6-3 partition of Korf & Felner, turned to a blank that belongs bottom right). The right
// block is the left one reflected left to right, and so are the cells its moves leave free at
// home, so one database serves both: the right block's value is the left block's on the board
// reflected.
enum Pattern { LeftBlock, RightBlock, BottomRow };
const std::vector<int> leftBlock{0, 1, 4, 5, 8, 9};
const std::vector<int> bottomRow{12, 13, 14};
constexpr std::array<std::int8_t, 15> patternOf{0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 2, 2, 2};
constexpr std::array<std::int8_t, 16> reflected{3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12};

// The board reflected in its main diagonal, whose home is the same: its distance is the same
// too, so the databases looked up on it give a second lower bound.
constexpr std::array<std::int8_t, 16> transposed{0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15};

struct Tables {
    std::once_flag built;
    std::optional<PatternDatabase> block;
    std::optional<PatternDatabase> row;
    std::atomic<std::size_t> bytes = 0;
};

Tables& tables()
{
    static Tables t;
    return t;
}

// Throws Stopped (and leaves the tables to be built by a later call) if `stop` ends the build.
const Tables& fourByFourTables(std::stop_token stop)
{
    Tables& t = tables();
    std::call_once(t.built, [&] {
        PatternDatabase block(leftBlock, stop);
        PatternDatabase row(bottomRow, stop);
        t.bytes += block.sizeInBytes() + row.sizeInBytes();
        t.block.emplace(std::move(block));
        t.row.emplace(std::move(row));
    });
    return t;
}

// One way of looking at the board (as it is, or reflected in its diagonal): where its tiles lie,
// where they lie once reflected left to right, and the lower bound each pattern gives.
struct PatternView {
    CellOfTile cellOf{};
    CellOfTile reflectedCellOf{};
    std::array<int, 3> bounds{};

    void place(int tile, int cell)
    {
        cellOf[static_cast<std::size_t>(tile)] = static_cast<std::int8_t>(cell);
        reflectedCellOf[static_cast<std::size_t>(reflected[static_cast<std::size_t>(tile)])] =
            reflected[static_cast<std::size_t>(cell)];
    }

    void lookUp(const Tables& t, int tile)
    {
        switch (const int pattern = patternOf[static_cast<std::size_t>(tile)]) {
        case LeftBlock: bounds[LeftBlock] = t.block->lookup(cellOf); break;
        case RightBlock: bounds[RightBlock] = t.block->lookup(reflectedCellOf); break;
        default: bounds[static_cast<std::size_t>(pattern)] = t.row->lookup(cellOf); break;
        }
    }

    int sum() const { return bounds[0] + bounds[1] + bounds[2]; }
};

class IdaStar {
public:
    enum class Outcome { Found, OutOfTime, Stopped };

    IdaStar(const Tables& tables, const Board& start, int weightTenths, Clock::time_point until, std::stop_token token)
        : databases(tables)
        , weight(weightTenths)
        , deadline(until)
        , stop(std::move(token))
        , blank(start.blank)
    {
        for (int cell = 0; cell < 16; ++cell) {
            const int tile = start.tiles[static_cast<std::size_t>(cell)];
            tileAt[static_cast<std::size_t>(cell)] = static_cast<std::int8_t>(tile);
            if (tile == 15)
                continue;
            own.place(tile, cell);
            mirror.place(transposed[static_cast<std::size_t>(tile)], transposed[static_cast<std::size_t>(cell)]);
        }
        for (const int tile : {0, 2, 12}) {
            own.lookUp(databases, tile);
            mirror.lookUp(databases, tile);
        }
    }

    // Iterative deepening on f = g + h (Korf 1985): each pass is a depth-first search cut off at
    // the bound, the next bound is the least f that was cut off.
    Outcome run()
    {
        for (bound = heuristic();;) {
            const int next = search(0, -1);
            if (next == found)
                return Outcome::Found;
            if (next == gaveUp)
                return stop.stop_requested() ? Outcome::Stopped : Outcome::OutOfTime;
            bound = next;
        }
    }

    const std::vector<int>& presses() const { return path; }

private:
    static constexpr int found = -1;
    static constexpr int gaveUp = -2;

    // In tenths of a move, as are g and the bound.
    int heuristic() const { return weight * std::max(own.sum(), mirror.sum()); }

    // Slides the tile at `cell` into the blank; only the pattern holding that tile changes, in each
    // view.
    void slide(int cell)
    {
        const int tile = tileAt[static_cast<std::size_t>(cell)];
        std::swap(tileAt[static_cast<std::size_t>(cell)], tileAt[static_cast<std::size_t>(blank)]);
        own.place(tile, blank);
        own.lookUp(databases, tile);
        const int mirrorTile = transposed[static_cast<std::size_t>(tile)];
        mirror.place(mirrorTile, transposed[static_cast<std::size_t>(blank)]);
        mirror.lookUp(databases, mirrorTile);
        blank = cell;
    }

    int search(int g, int previousBlank)
    {
        const int h = heuristic();
        if (g + h > bound)
            return g + h;
        if (h == 0)
            return found;
        if (++nodes % 4096 == 0 && (stop.stop_requested() || Clock::now() > deadline))
            return gaveUp;
        int least = std::numeric_limits<int>::max();
        bool finished = false;
        forEachNeighbour(blank, 4, [&](int cell) {
            if (finished || cell == previousBlank)
                return;
            const int from = blank;
            slide(cell);
            path.push_back(cell);
            const int t = search(g + 10, from);
            if (t == found || t == gaveUp) {
                finished = true;
                least = t;
                return;
            }
            path.pop_back();
            slide(from);
            least = std::min(least, t);
        });
        return least;
    }

    const Tables& databases;
    int weight;
    Clock::time_point deadline;
    std::stop_token stop;
    std::array<std::int8_t, 16> tileAt{};
    int blank;
    PatternView own;
    PatternView mirror;
    int bound = 0;
    long nodes = 0;
    std::vector<int> path;
};

} // namespace

void prepareFourByFour(std::stop_token stop)
{
    fourByFourTables(std::move(stop));
}

std::size_t fourByFourBytes()
{
    return tables().bytes;
}

SearchOutcome idaStar(const Board& start, int weightTenths, Clock::time_point deadline, std::stop_token stop,
                      std::vector<int>& presses)
{
    IdaStar search(fourByFourTables(stop), start, weightTenths, deadline, stop);
    const IdaStar::Outcome outcome = search.run();
    presses = search.presses();
    return outcome == IdaStar::Outcome::Found     ? SearchOutcome::Found
           : outcome == IdaStar::Outcome::Stopped ? SearchOutcome::Stopped
                                                  : SearchOutcome::OutOfTime;
}

} // namespace vellumi::solver
