#include "game/HomeDistances.h"

#include <algorithm>
#include <array>
#include <mutex>

namespace vellumi::solver {

namespace {

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

std::vector<std::uint8_t> table;

} // namespace

const std::vector<std::uint8_t>& homeDistances()
{
    static std::once_flag built;
    std::call_once(built, [] { table = buildHomeDistances(); });
    return table;
}

std::size_t homeDistanceBytes()
{
    return table.size();
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

} // namespace vellumi::solver
