#pragma once

#include "Random.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace mksamples {

// Smooth lattice noise: enough to give water, sand, glass and nebulae some
// texture without pulling in a noise library. Kept inline: the textured
// scenes ask for it at every pixel.
class Noise {
public:
    Noise(Rng& rng, double size)
        : cellSize(size)
    {
        for (double& v : grid)
            v = rng.real(0, 1);
    }
    double at(double x, double y) const
    {
        x /= cellSize;
        y /= cellSize;
        const int ix = int(std::floor(x)), iy = int(std::floor(y));
        const double tx = smooth(x - ix), ty = smooth(y - iy);
        auto g = [this](int i, int j) { return grid[std::size_t((j & (N - 1)) * N + (i & (N - 1)))]; };
        const double top = g(ix, iy) + (g(ix + 1, iy) - g(ix, iy)) * tx;
        const double bottom = g(ix, iy + 1) + (g(ix + 1, iy + 1) - g(ix, iy + 1)) * tx;
        return top + (bottom - top) * ty;
    }
    double fractal(double x, double y, int octaves) const
    {
        double sum = 0, amp = 1, norm = 0;
        for (int o = 0; o < octaves; ++o, amp *= 0.5, x = x * 2 + 17.3, y = y * 2 + 5.1) {
            sum += amp * at(x, y);
            norm += amp;
        }
        return sum / norm;
    }

private:
    static constexpr int N = 64;
    static double smooth(double t) { return t * t * (3 - 2 * t); }
    double cellSize;
    std::array<double, N * N> grid{};
};

} // namespace mksamples
