#include "game/Solver.h"

#include "game/PatternDatabase.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace vellumi {

namespace {

using Clock = std::chrono::steady_clock;
using Stopped = PatternDatabase::Stopped;

struct Board {
    int n = 3;
    std::array<std::int8_t, 36> tiles{};
    int blank = 0;

    int cells() const { return n * n; }
    void press(int cell)
    {
        std::swap(tiles[static_cast<std::size_t>(blank)], tiles[static_cast<std::size_t>(cell)]);
        blank = cell;
    }
    bool operator==(const Board&) const = default;
};

// The blank's neighbours in a fixed order (up, left, right, down), so that every way found is
// the same each time it is asked for.
template <class Visit>
void forEachNeighbour(int cell, int n, Visit visit)
{
    const int row = cell / n;
    const int col = cell % n;
    if (row > 0) visit(cell - n);
    if (col > 0) visit(cell - 1);
    if (col < n - 1) visit(cell + 1);
    if (row < n - 1) visit(cell + n);
}

void checkSize(const Puzzle& p)
{
    if (p.n < 3 || p.n > 6 || p.tiles.size() != static_cast<std::size_t>(p.n * p.n))
        throw std::invalid_argument("not a board of 3 × 3 to 6 × 6");
}

Board boardOf(const Puzzle& p)
{
    checkSize(p);
    Board b;
    b.n = p.n;
    std::array<bool, 36> present{};
    for (int cell = 0; cell < b.cells(); ++cell) {
        const int tile = p.tiles[static_cast<std::size_t>(cell)];
        if (tile < 0 || tile >= b.cells() || present[static_cast<std::size_t>(tile)])
            throw std::invalid_argument("the tiles are not each of 0 … n² − 1 once");
        present[static_cast<std::size_t>(tile)] = true;
        b.tiles[static_cast<std::size_t>(cell)] = static_cast<std::int8_t>(tile);
        if (tile == b.cells() - 1)
            b.blank = cell;
    }
    // Every move is one transposition and moves the blank one step, so the permutation's parity
    // and that of the blank's distance from home change together; home has both even. The
    // distance's parity is that of the blank's row plus its column, as the home corner's is even.
    int transpositions = 0;
    std::array<bool, 36> done{};
    for (int start = 0; start < b.cells(); ++start)
        for (int cell = start; !done[static_cast<std::size_t>(cell)]; cell = b.tiles[static_cast<std::size_t>(cell)]) {
            done[static_cast<std::size_t>(cell)] = true;
            transpositions += cell != start;
        }
    const int blankParity = (b.blank / b.n ^ b.blank % b.n) & 1;
    if (transpositions % 2 != blankParity)
        throw std::invalid_argument("no sequence of moves brings this board home");
    return b;
}

// ---- 3 × 3: every arrangement's distance home -------------------------------------------------

constexpr std::array<std::uint32_t, 10> factorial{1, 1, 2, 6, 24, 120, 720, 5040, 40320, 362880};
constexpr std::uint8_t unreached = 0xFF;

// The arrangement's rank among the 9! orderings (its Lehmer code).
std::uint32_t permutationRank(const std::int8_t* tiles)
{
    std::uint32_t rank = 0;
    for (int i = 0; i < 9; ++i) {
        std::uint32_t smallerLater = 0;
        for (int j = i + 1; j < 9; ++j)
            smallerLater += tiles[j] < tiles[i];
        rank += smallerLater * factorial[static_cast<std::size_t>(8 - i)];
    }
    return rank;
}

Board unrankPermutation(std::uint32_t rank)
{
    Board b;
    std::array<std::int8_t, 9> left{0, 1, 2, 3, 4, 5, 6, 7, 8};
    int count = 9;
    for (int i = 0; i < 9; ++i) {
        const std::uint32_t f = factorial[static_cast<std::size_t>(8 - i)];
        const auto k = static_cast<int>(rank / f);
        rank %= f;
        b.tiles[static_cast<std::size_t>(i)] = left[static_cast<std::size_t>(k)];
        std::copy(left.begin() + k + 1, left.begin() + count, left.begin() + k);
        --count;
        if (b.tiles[static_cast<std::size_t>(i)] == 8)
            b.blank = i;
    }
    return b;
}

std::vector<std::uint8_t> buildHomeDistances()
{
    std::vector<std::uint8_t> distance(factorial[9], unreached);
    // From home, every tile in order: the ordering of rank 0.
    std::vector<std::uint32_t> queue{0};
    distance[0] = 0;
    for (std::size_t next = 0; next < queue.size(); ++next) {
        const Board b = unrankPermutation(queue[next]);
        const std::uint8_t d = distance[queue[next]];
        forEachNeighbour(b.blank, 3, [&](int cell) {
            Board moved = b;
            moved.press(cell);
            const std::uint32_t rank = permutationRank(moved.tiles.data());
            if (distance[rank] == unreached) {
                distance[rank] = static_cast<std::uint8_t>(d + 1);
                queue.push_back(rank);
            }
        });
    }
    return distance;
}

// ---- 4 × 4: additive pattern databases ----------------------------------------------------------

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
    std::once_flag threeByThreeBuilt;
    std::vector<std::uint8_t> homeDistance;
    std::once_flag fourByFourBuilt;
    std::optional<PatternDatabase> block;
    std::optional<PatternDatabase> row;
    std::atomic<std::size_t> bytes = 0;
};

Tables& tables()
{
    static Tables t;
    return t;
}

const std::vector<std::uint8_t>& homeDistances()
{
    Tables& t = tables();
    std::call_once(t.threeByThreeBuilt, [&] {
        t.homeDistance = buildHomeDistances();
        t.bytes += t.homeDistance.size();
    });
    return t.homeDistance;
}

// Throws Stopped (and leaves the tables to be built by a later call) if `stop` ends the build.
const Tables& fourByFourTables(std::stop_token stop)
{
    Tables& t = tables();
    std::call_once(t.fourByFourBuilt, [&] {
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

    // A weight above 10 tenths counts the heuristic that much over (weighted IDA*): a way found
    // far sooner, at most that many times longer than the shortest and usually a few moves so.
    IdaStar(const Tables& tables, const Board& start, int weightTenths, Clock::time_point deadline, std::stop_token stop)
        : tables_(tables), weightTenths_(weightTenths), deadline_(deadline), stop_(std::move(stop)), blank_(start.blank)
    {
        for (int cell = 0; cell < 16; ++cell) {
            const int tile = start.tiles[static_cast<std::size_t>(cell)];
            tileAt_[static_cast<std::size_t>(cell)] = static_cast<std::int8_t>(tile);
            if (tile == 15)
                continue;
            own_.place(tile, cell);
            mirror_.place(transposed[static_cast<std::size_t>(tile)], transposed[static_cast<std::size_t>(cell)]);
        }
        for (const int tile : {0, 2, 12}) {
            own_.lookUp(tables_, tile);
            mirror_.lookUp(tables_, tile);
        }
    }

    // Iterative deepening on f = g + h (Korf 1985): each pass is a depth-first search cut off at
    // the bound, the next bound is the least f that was cut off.
    Outcome run()
    {
        for (bound_ = heuristic();;) {
            const int next = search(0, -1);
            if (next == found)
                return Outcome::Found;
            if (next == gaveUp)
                return stop_.stop_requested() ? Outcome::Stopped : Outcome::OutOfTime;
            bound_ = next;
        }
    }

    const std::vector<int>& presses() const { return path_; }

private:
    static constexpr int found = -1;
    static constexpr int gaveUp = -2;

    // In tenths of a move, as are g and the bound.
    int heuristic() const { return weightTenths_ * std::max(own_.sum(), mirror_.sum()); }

    // Slides the tile at `cell` into the blank; only the pattern holding that tile changes, in each
    // view.
    void slide(int cell)
    {
        const int tile = tileAt_[static_cast<std::size_t>(cell)];
        std::swap(tileAt_[static_cast<std::size_t>(cell)], tileAt_[static_cast<std::size_t>(blank_)]);
        own_.place(tile, blank_);
        own_.lookUp(tables_, tile);
        const int mirrorTile = transposed[static_cast<std::size_t>(tile)];
        mirror_.place(mirrorTile, transposed[static_cast<std::size_t>(blank_)]);
        mirror_.lookUp(tables_, mirrorTile);
        blank_ = cell;
    }

    int search(int g, int previousBlank)
    {
        const int h = heuristic();
        if (g + h > bound_)
            return g + h;
        if (h == 0)
            return found;
        if (++nodes_ % 4096 == 0 && (stop_.stop_requested() || Clock::now() > deadline_))
            return gaveUp;
        int least = std::numeric_limits<int>::max();
        bool finished = false;
        forEachNeighbour(blank_, 4, [&](int cell) {
            if (finished || cell == previousBlank)
                return;
            const int from = blank_;
            slide(cell);
            path_.push_back(cell);
            const int t = search(g + 10, from);
            if (t == found || t == gaveUp) {
                finished = true;
                least = t;
                return;
            }
            path_.pop_back();
            slide(from);
            least = std::min(least, t);
        });
        return least;
    }

    const Tables& tables_;
    int weightTenths_;
    Clock::time_point deadline_;
    std::stop_token stop_;
    std::array<std::int8_t, 16> tileAt_{};
    int blank_;
    PatternView own_;
    PatternView mirror_;
    int bound_ = 0;
    long nodes_ = 0;
    std::vector<int> path_;
};

// ---- Larger boards: a row and a column at a time -----------------------------------------------

// What the tiles not yet locked still have to travel, at the least.
int restEstimate(const Board& b, std::uint64_t locked)
{
    int sum = 0;
    for (int cell = 0; cell < b.cells(); ++cell) {
        const int tile = b.tiles[static_cast<std::size_t>(cell)];
        if (tile != b.cells() - 1 && !(locked >> tile & 1))
            sum += std::abs(tile / b.n - cell / b.n) + std::abs(tile % b.n - cell % b.n);
    }
    return sum;
}

// Brings one tile or two home by a shortest way that leaves the `locked` cells alone, and locks
// their cells: breadth-first over the cells of the blank and those tiles, at most 36³ states. Of
// the shortest ways (they end with the blank in different places), the one that leaves the other
// tiles least to travel. False if the locked cells leave no way.
bool placeGroup(Board& b, std::uint64_t& locked, const std::vector<int>& group, std::vector<int>& presses)
{
    const int cells = b.cells();
    auto cellOf = [&](int tile) {
        return static_cast<int>(std::find(b.tiles.begin(), b.tiles.begin() + cells, tile) - b.tiles.begin());
    };
    const bool pair = group.size() == 2;
    const int homeA = group[0];
    const int homeB = pair ? group[1] : 0;
    auto encode = [&](int blank, int a, int c) { return blank + cells * (a + cells * c); };
    const int start = encode(b.blank, cellOf(homeA), pair ? cellOf(homeB) : 0);

    std::vector<int> parent(static_cast<std::size_t>(cells * cells * (pair ? cells : 1)), -1);
    std::vector<int> queue{start};
    parent[static_cast<std::size_t>(start)] = start;
    std::vector<int> goals;
    for (std::size_t next = 0, depthEnd = 1; next < queue.size(); ++next) {
        if (next == depthEnd) {
            if (!goals.empty())
                break;
            depthEnd = queue.size();
        }
        const int state = queue[next];
        const int blank = state % cells;
        const int a = state / cells % cells;
        const int c = state / (cells * cells);
        if (a == homeA && (!pair || c == homeB)) {
            goals.push_back(state);
            continue;
        }
        forEachNeighbour(blank, b.n, [&](int cell) {
            if (locked >> cell & 1)
                return;
            const int moved = encode(cell, a == cell ? blank : a, pair && c == cell ? blank : c);
            if (parent[static_cast<std::size_t>(moved)] < 0) {
                parent[static_cast<std::size_t>(moved)] = state;
                queue.push_back(moved);
            }
        });
    }
    if (goals.empty())
        return false;
    for (const int cell : group)
        locked |= std::uint64_t{1} << cell;
    Board best;
    std::vector<int> bestWay;
    int bestRest = std::numeric_limits<int>::max();
    for (const int goal : goals) {
        std::vector<int> way;
        for (int state = goal; state != start; state = parent[static_cast<std::size_t>(state)])
            way.push_back(state % cells);
        Board after = b;
        for (auto cell = way.rbegin(); cell != way.rend(); ++cell)
            after.press(*cell);
        if (const int rest = restEstimate(after, locked); rest < bestRest) {
            bestRest = rest;
            best = after;
            bestWay = std::move(way);
        }
    }
    b = best;
    presses.insert(presses.end(), bestWay.rbegin(), bestWay.rend());
    return true;
}

// Places the top row and the left column of the square from (offset, offset), then of the
// square inside it, until the square left is `size` wide. Progress is never undone: placed tiles
// are locked.
//
// Tiles go one or two at a time: a pair placed together takes fewer moves than the same two one
// after the other, and the last two of a line must come together, as one placed alone would have
// to leave again to let the other in. Which line goes first, from which end, and which tiles go
// alone all change the way's length, and the shortest start can leave the rest scattered: a beam
// search over these choices ranks each partly placed square by its moves so far plus twice what
// its loose tiles still have to travel (a way home tends to take about twice the Manhattan
// distance).
void reduce(Board& b, int offset, int size, std::vector<int>& presses, const std::stop_token& stop)
{
    constexpr std::size_t beamWidth = 4;
    const int n = b.n;
    std::uint64_t locked = 0;
    for (int cell = 0; cell < b.cells(); ++cell)
        if (cell / n < offset || cell % n < offset)
            locked |= std::uint64_t{1} << cell;
    struct Partial {
        Board board;
        std::uint64_t locked;
        std::vector<int> presses;
        std::vector<int> line; // the cells of the line being placed still to fill, in order
        std::vector<int> next; // the other line's, bar the corner both share
        int score = 0;
    };
    for (int o = offset; n - o > size; ++o) {
        std::vector<int> row;
        std::vector<int> column;
        for (int k = o; k < n; ++k) {
            row.push_back(o * n + k);
            column.push_back(k * n + o);
        }
        const auto reversed = [](const std::vector<int>& line) { return std::vector<int>(line.rbegin(), line.rend()); };
        const std::vector<int> rowRest(row.begin() + 1, row.end());
        const std::vector<int> columnRest(column.begin() + 1, column.end());
        // By the number of the square's cells placed.
        std::vector<std::vector<Partial>> placed(row.size() + column.size());
        for (const auto& [line, next] : {std::pair{row, columnRest}, {reversed(row), columnRest},
                                         {column, rowRest}, {reversed(column), rowRest}})
            placed[0].push_back({b, locked, {}, line, next, 0});
        for (std::size_t count = 0; count + 1 < placed.size(); ++count) {
            auto& beam = placed[count];
            std::stable_sort(beam.begin(), beam.end(), [](const Partial& x, const Partial& y) { return x.score < y.score; });
            beam.resize(std::min(beam.size(), beamWidth));
            for (const Partial& p : beam) {
                std::vector<std::vector<int>> orders{p.line};
                if (p.line.empty())
                    orders = {p.next, reversed(p.next)};
                for (const auto& order : orders)
                    for (const std::size_t together : {1, 2}) {
                        // Never leave one cell of a line over.
                        if (order.size() < together || order.size() - together == 1)
                            continue;
                        if (stop.stop_requested())
                            throw Stopped{};
                        Partial q{p.board, p.locked, p.presses, std::vector<int>(order.begin() + together, order.end()),
                                  p.line.empty() ? std::vector<int>{} : p.next, 0};
                        if (!placeGroup(q.board, q.locked, std::vector<int>(order.begin(), order.begin() + together), q.presses))
                            continue;
                        q.score = static_cast<int>(q.presses.size()) + 2 * restEstimate(q.board, q.locked);
                        placed[count + together].push_back(std::move(q));
                    }
            }
            beam.clear();
        }
        const auto& done = placed.back();
        if (done.empty())
            throw std::logic_error("a row's tiles could not be placed");
        const Partial& best = *std::min_element(done.begin(), done.end(), [](const Partial& x, const Partial& y) { return x.score < y.score; });
        b = best.board;
        locked = best.locked;
        presses.insert(presses.end(), best.presses.begin(), best.presses.end());
    }
}

// The bottom-right square from (offset, offset) as a board of its own, relabelled so that its
// tiles' homes are its own cells.
Board corner(const Board& b, int offset)
{
    Board c;
    c.n = b.n - offset;
    for (int row = 0; row < c.n; ++row)
        for (int col = 0; col < c.n; ++col) {
            const int tile = b.tiles[static_cast<std::size_t>((offset + row) * b.n + offset + col)];
            const int cell = row * c.n + col;
            if (tile == b.cells() - 1) {
                c.tiles[static_cast<std::size_t>(cell)] = static_cast<std::int8_t>(c.cells() - 1);
                c.blank = cell;
            } else {
                c.tiles[static_cast<std::size_t>(cell)] =
                    static_cast<std::int8_t>((tile / b.n - offset) * c.n + tile % b.n - offset);
            }
        }
    return c;
}

void pressInCorner(Board& b, int offset, const std::vector<int>& cornerPresses, std::vector<int>& presses)
{
    const int size = b.n - offset;
    for (const int cell : cornerPresses) {
        const int outer = (offset + cell / size) * b.n + offset + cell % size;
        b.press(outer);
        presses.push_back(outer);
    }
}

// Down the table: at each step the neighbour one move nearer home.
std::vector<int> tableWay(Board b)
{
    const std::vector<std::uint8_t>& distance = homeDistances();
    std::vector<int> presses;
    for (int d = distance[permutationRank(b.tiles.data())]; d > 0; --d) {
        int nearer = -1;
        forEachNeighbour(b.blank, 3, [&](int cell) {
            Board moved = b;
            moved.press(cell);
            if (nearer < 0 && distance[permutationRank(moved.tiles.data())] == d - 1)
                nearer = cell;
        });
        b.press(nearer);
        presses.push_back(nearer);
    }
    return presses;
}

Way wayFor(Board b, const std::stop_token& stop, std::optional<std::chrono::milliseconds> budget)
{
    if (b.n == 3)
        return Way{tableWay(b), true};
    const Tables& t = fourByFourTables(stop);
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
        IdaStar search(t, square, weight, deadline, stop);
        switch (search.run()) {
        case IdaStar::Outcome::Found:
            pressInCorner(b, offset, search.presses(), way.presses);
            way.shortest = b.n == 4 && weight == 10;
            return way;
        case IdaStar::Outcome::Stopped:
            throw Stopped{};
        case IdaStar::Outcome::OutOfTime:
            break;
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
        fourByFourTables(std::move(stop));
    } catch (const Stopped&) {
        return false;
    }
    return true;
}

std::size_t tableBytes()
{
    return tables().bytes;
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

std::optional<int> nextPress(const Puzzle& puzzle, std::stop_token stop, std::optional<std::chrono::milliseconds> budget)
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
