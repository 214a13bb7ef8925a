#pragma once

#include <cstdint>
#include <random>

namespace mksamples {

// <random>'s distributions are not bit-exact across standard libraries, so
// the raw engine output is mapped by hand. Callers keep to one draw per
// expression (or a braced list, which is sequenced) for the same reason.
class Rng {
public:
    explicit Rng(std::uint32_t seed)
        : generator(seed)
    {
    }
    double real(double lo, double hi) { return lo + (hi - lo) * (double(generator()) / 4294967296.0); }
    int integer(int lo, int hi) { return lo + int(generator() % std::uint32_t(hi - lo + 1)); }
    bool chance(double p) { return real(0, 1) < p; }

private:
    std::mt19937 generator;
};

} // namespace mksamples
