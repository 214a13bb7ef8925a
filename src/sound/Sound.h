#pragma once

#include <QByteArray>

namespace vellumi {

// A sound as the sound server takes it: interleaved 32-bit float samples in the machine's byte
// order. Copies share the samples, so the playing side can hold one without a second copy.
struct Sound {
    QByteArray samples;
    int rate{};
    int channels{};

    bool isEmpty() const { return samples.isEmpty(); }
    int bytesPerFrame() const { return channels * int(sizeof(float)); }
};

} // namespace vellumi
