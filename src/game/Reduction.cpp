#include "game/Reduction.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace vellumi::solver {

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

namespace {

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

} // namespace

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
        for (const auto& [line, next] :
             {std::pair{row, columnRest}, {reversed(row), columnRest}, {column, rowRest}, {reversed(column), rowRest}})
            placed[0].push_back({b, locked, {}, line, next, 0});
        for (std::size_t count = 0; count + 1 < placed.size(); ++count) {
            auto& beam = placed[count];
            std::stable_sort(beam.begin(), beam.end(),
                             [](const Partial& x, const Partial& y) { return x.score < y.score; });
            beam.resize(std::min(beam.size(), beamWidth));
            for (const Partial& p : beam) {
                std::vector<std::vector<int>> orders{p.line};
                if (p.line.empty())
                    orders = {p.next, reversed(p.next)};
                for (const auto& order : orders)
                    for (const std::size_t together : {1, 2}) {
                        if (order.size() < together)
                            continue;
                        if (stop.stop_requested())
                            throw Stopped{};
                        Partial q{p.board,
                                  p.locked,
                                  p.presses,
                                  std::vector<int>(order.begin() + together, order.end()),
                                  p.line.empty() ? std::vector<int>{} : p.next,
                                  0};
                        if (!placeGroup(q.board, q.locked, std::vector<int>(order.begin(), order.begin() + together),
                                        q.presses))
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
        const Partial& best = *std::min_element(done.begin(), done.end(),
                                                [](const Partial& x, const Partial& y) { return x.score < y.score; });
        b = best.board;
        locked = best.locked;
        presses.insert(presses.end(), best.presses.begin(), best.presses.end());
    }
}

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

} // namespace vellumi::solver
