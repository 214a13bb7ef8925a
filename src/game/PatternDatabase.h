#pragma once

#include <array>
#include <cstdint>
#include <stop_token>
#include <vector>

namespace vellumi {

// The cell each tile of a 4 × 4 board lies in (blank = tile 15).
using CellOfTile = std::array<std::int8_t, 16>;

// A disjoint pattern database for the 4 × 4 board (Korf & Felner 2002): for every placement of
// the pattern's tiles, the fewest moves of those tiles, moves of the other tiles not counted, that
// bring them home. Because other tiles' moves are free, the values of disjoint patterns add up to
// a lower bound on the whole distance.
class PatternDatabase {
public:
    // Thrown out of the constructor when the stop token asks the build to end.
    struct Stopped {};

    PatternDatabase(std::vector<int> tiles, std::stop_token stop);

    const std::vector<int>& tiles() const { return patternTiles; }
    std::size_t sizeInBytes() const { return movesHome.size(); }

    int lookup(const CellOfTile& cellOf) const { return movesHome[index(cellOf)]; }

private:
    // The rank of the pattern tiles' cells as a k-permutation of 16: 16!/(16 − k)! entries.
    std::uint32_t index(const CellOfTile& cellOf) const;

    std::vector<int> patternTiles;
    std::vector<std::uint8_t> movesHome;
};

} // namespace vellumi
