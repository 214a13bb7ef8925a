// The sound of a tile sliding into place.
#include "MoveSound.h"
#include "Random.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <vector>

namespace mksamples {

namespace {

// libsndfile writes the wave file into memory, so that it is saved like every other output.
class MemoryFile {
public:
    QByteArray bytes;

    SF_VIRTUAL_IO io()
    {
        return {[](void* self) { return sf_count_t(get(self).bytes.size()); },
                [](sf_count_t offset, int whence, void* self) {
                    MemoryFile& f = get(self);
                    f.pos = offset + (whence == SEEK_CUR ? f.pos : whence == SEEK_END ? f.bytes.size() : 0);
                    return f.pos;
                },
                [](void* to, sf_count_t count, void* self) {
                    MemoryFile& f = get(self);
                    count = std::clamp<sf_count_t>(f.bytes.size() - f.pos, 0, count);
                    std::memcpy(to, f.bytes.constData() + f.pos, size_t(count));
                    f.pos += count;
                    return count;
                },
                [](const void* from, sf_count_t count, void* self) {
                    MemoryFile& f = get(self);
                    if (f.pos + count > f.bytes.size())
                        f.bytes.resize(f.pos + count, '\0');
                    std::memcpy(f.bytes.data() + f.pos, from, size_t(count));
                    f.pos += count;
                    return count;
                },
                [](void* self) { return get(self).pos; }};
    }

private:
    static MemoryFile& get(void* self) { return *static_cast<MemoryFile*>(self); }
    sf_count_t pos = 0;
};

} // namespace

// A short wooden tick followed by silence. Padding to a third of a second
// keeps some audio back-ends from clipping the start of very short clips.
QByteArray moveSound()
{
    constexpr int rate = 44100, total = rate * 320 / 1000, clickLength = rate * 50 / 1000;
    Rng rng(0x5eed0001);
    std::vector<double> wave(total, 0.0);
    double filtered = 0, peak = 0;
    for (int i = 0; i < clickLength; ++i) {
        const double t = double(i) / rate;
        const double attack = std::min(1.0, t / 0.002);
        const double release = std::min(1.0, (clickLength - i) / (0.005 * rate));
        const double tone = std::sin(2 * std::numbers::pi * 1500 * t) * std::exp(-t / 0.012) +
                            0.35 * std::sin(2 * std::numbers::pi * 3150 * t) * std::exp(-t / 0.005);
        filtered += 0.3 * (rng.real(-1, 1) - filtered);
        wave[std::size_t(i)] = attack * release * (tone + 1.2 * filtered * std::exp(-t / 0.003));
        peak = std::max(peak, std::abs(wave[std::size_t(i)]));
    }
    const double gain = 0.5 / peak; // -6 dBFS
    std::vector<short> samples;
    for (double v : wave)
        samples.push_back(short(std::lround(v * gain * 32767)));

    MemoryFile out;
    SF_VIRTUAL_IO io = out.io();
    SF_INFO format{0, rate, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &format, &out);
    if (!file || sf_writef_short(file, samples.data(), total) != total || sf_close(file) != 0) {
        std::fprintf(stderr, "mksamples: cannot make the move sound: %s\n", sf_strerror(nullptr));
        return {};
    }
    return out.bytes;
}

} // namespace mksamples
