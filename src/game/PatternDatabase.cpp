#include "game/PatternDatabase.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstddef>
#include <future>

namespace vellumi {

namespace {

constexpr std::uint32_t allCells = 0xFFFF;
constexpr std::uint32_t firstColumn = 0x1111;
constexpr std::uint32_t lastColumn = 0x8888;

std::uint32_t neighbours(std::uint32_t cells)
{
    return (((cells << 1) & ~firstColumn) | ((cells >> 1) & ~lastColumn) | (cells << 4) | (cells >> 4)) & allCells;
}

// Every cell the blank reaches from `seed` without moving a pattern tile: such moves cost
// nothing, so all placements of the blank inside one region are one state.
std::uint32_t blankRegion(std::uint32_t seed, std::uint32_t freeCells)
{
    std::uint32_t region = seed;
    for (;;) {
        const std::uint32_t grown = (region | neighbours(region)) & freeCells;
        if (grown == region)
            return region;
        region = grown;
    }
}

std::uint32_t rankCells(const std::int8_t* cells, std::size_t k)
{
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < k; ++i) {
        int digit = cells[i];
        for (std::size_t j = 0; j < i; ++j)
            digit -= cells[j] < cells[i];
        rank = rank * static_cast<std::uint32_t>(16 - i) + static_cast<std::uint32_t>(digit);
    }
    return rank;
}

// A search state packed in 32 bits: four bits per pattern tile's cell, then the lowest cell of
// the blank's region.
struct PackedState {
    std::array<std::int8_t, 7> cells{};
    std::size_t k = 0;

    std::uint32_t pack(int regionCell) const
    {
        std::uint32_t word = 0;
        for (std::size_t i = 0; i < k; ++i)
            word |= static_cast<std::uint32_t>(cells[i]) << (4 * i);
        return word | static_cast<std::uint32_t>(regionCell) << (4 * k);
    }
};

} // namespace

PatternDatabase::PatternDatabase(std::vector<int> tiles, std::stop_token stop)
    : patternTiles(std::move(tiles))
{
    const std::size_t k = patternTiles.size();
    std::size_t entries = 1;
    for (std::size_t i = 0; i < k; ++i)
        entries *= 16 - i;
    movesHome.assign(entries, 0xFF);

    // The lowest cell of the blank's region for every set of free cells and every blank cell,
    // four bits each: half a megabyte that saves a flood fill per successor.
    std::vector<std::uint64_t> regionOf(std::size_t{1} << 16);
    for (std::uint32_t freeCells = 0; freeCells <= allCells; ++freeCells)
        for (std::uint32_t cell = 0; cell < 16; ++cell)
            if (freeCells >> cell & 1)
                regionOf[freeCells] |= std::uint64_t(std::countr_zero(blankRegion(1u << cell, freeCells)))
                                       << (4 * cell);

    // Breadth-first from home over (placement, blank region): each edge moves one pattern tile
    // into the blank's region, so the depth counts pattern moves only. Each layer is expanded
    // by two threads, which share the marks of states seen.
    std::vector<std::uint64_t> seen((entries * 16 + 63) / 64);
    auto visit = [&](std::uint32_t rank, int regionCell) {
        const std::size_t bit = std::size_t{rank} * 16 + static_cast<std::size_t>(regionCell);
        const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
        return (std::atomic_ref(seen[bit / 64]).fetch_or(mask, std::memory_order_relaxed) & mask) == 0;
    };

    PackedState home;
    home.k = k;
    std::uint32_t homeCells = 0;
    for (std::size_t i = 0; i < k; ++i) {
        home.cells[i] = static_cast<std::int8_t>(patternTiles[i]);
        homeCells |= 1u << patternTiles[i];
    }
    const int homeRegion = std::countr_zero(blankRegion(1u << 15, allCells & ~homeCells));
    visit(rankCells(home.cells.data(), k), homeRegion);
    movesHome[rankCells(home.cells.data(), k)] = 0;

    // The tables are far larger than the cache, so looking a successor up is a wait on memory.
    // The successors of a batch of states are all asked for first and looked at after, so the
    // waits overlap.
    auto expand = [&](const std::uint32_t* begin, const std::uint32_t* end, std::uint8_t depth,
                      std::vector<std::uint32_t>& next) {
        struct Successor {
            std::uint32_t rank;
            std::uint32_t word;
            int regionCell;
        };
        constexpr std::ptrdiff_t batch = 128;
        std::vector<Successor> successors;
        for (const std::uint32_t* first = begin; first < end; first += std::min(batch, end - first)) {
            if (stop.stop_requested())
                throw Stopped{};
            successors.clear();
            for (const std::uint32_t* word = first; word < first + std::min(batch, end - first); ++word) {
                PackedState s;
                s.k = k;
                std::uint32_t occupied = 0;
                for (std::size_t i = 0; i < k; ++i) {
                    s.cells[i] = static_cast<std::int8_t>(*word >> (4 * i) & 15);
                    occupied |= 1u << s.cells[i];
                }
                const std::uint32_t freeCells = allCells & ~occupied;
                const std::uint32_t region = blankRegion(1u << (*word >> (4 * k) & 15), freeCells);
                for (std::size_t i = 0; i < k; ++i) {
                    const int from = s.cells[i];
                    for (std::uint32_t to = neighbours(1u << from) & region; to != 0; to &= to - 1) {
                        const int cell = std::countr_zero(to);
                        s.cells[i] = static_cast<std::int8_t>(cell);
                        const std::uint32_t movedFree = (freeCells | 1u << from) & ~(1u << cell);
                        const int regionCell = static_cast<int>(regionOf[movedFree] >> (4 * from) & 15);
                        const std::uint32_t rank = rankCells(s.cells.data(), k);
                        __builtin_prefetch(&seen[(std::size_t{rank} * 16) / 64]);
                        __builtin_prefetch(&movesHome[rank]);
                        successors.push_back({rank, s.pack(regionCell), regionCell});
                    }
                    s.cells[i] = static_cast<std::int8_t>(from);
                }
            }
            for (const Successor& s : successors)
                if (visit(s.rank, s.regionCell)) {
                    next.push_back(s.word);
                    // Both threads may reach one placement; both then write the same depth.
                    std::atomic_ref moves(movesHome[s.rank]);
                    if (moves.load(std::memory_order_relaxed) == 0xFF)
                        moves.store(depth, std::memory_order_relaxed);
                }
        }
    };

    std::vector<std::uint32_t> layer{home.pack(homeRegion)};
    std::vector<std::uint32_t> next;
    std::vector<std::uint32_t> otherNext;
    for (std::uint8_t depth = 1; !layer.empty(); ++depth) {
        next.clear();
        otherNext.clear();
        const std::uint32_t* middle = layer.data() + layer.size() / 2;
        auto other =
            std::async(std::launch::async, [&] { expand(middle, layer.data() + layer.size(), depth, otherNext); });
        expand(layer.data(), middle, depth, next);
        other.get();
        next.insert(next.end(), otherNext.begin(), otherNext.end());
        layer.swap(next);
    }
}

std::uint32_t PatternDatabase::index(const CellOfTile& cellOf) const
{
    std::array<std::int8_t, 7> cells{};
    for (std::size_t i = 0; i < patternTiles.size(); ++i)
        cells[i] = cellOf[static_cast<std::size_t>(patternTiles[i])];
    return rankCells(cells.data(), patternTiles.size());
}

} // namespace vellumi
