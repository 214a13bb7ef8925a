#pragma once

#include <array>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// Korf's 100 random 15-puzzle instances with their optimal lengths, as published (korf100.txt):
// tile 0 is the blank and the goal is 0 1 2 ... 15 read row by row. Turning the board half a turn
// and relabelling each tile t as 15 - t gives this game's goal with the same distances;
// korfBoard does that.
struct KorfInstance {
    int number;
    int optimalLength;
    std::array<int, 16> tiles;
};

inline const std::vector<KorfInstance>& korf100()
{
    static const std::vector<KorfInstance> instances = [] {
        std::vector<KorfInstance> read;
        std::ifstream in(KORF100_FILE);
        for (std::string line; std::getline(in, line);) {
            std::istringstream fields(line);
            KorfInstance k{};
            if (line.starts_with('#') || !(fields >> k.number >> k.optimalLength))
                continue;
            for (int& tile : k.tiles)
                fields >> tile;
            read.push_back(k);
        }
        return read;
    }();
    return instances;
}

// The instance on this game's board: blank 15, home at the bottom right.
inline std::array<int, 16> korfBoard(const KorfInstance& k)
{
    std::array<int, 16> board{};
    for (int cell = 0; cell < 16; ++cell)
        board[15 - cell] = 15 - k.tiles[cell];
    return board;
}
