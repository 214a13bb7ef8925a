#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace vellumi::modSound {

// A wave file reduced to what a sound card needs: the sample layout and whole frames of PCM.
// Samples are in this machine's byte order, so the data can go to an audio sink as it is.
struct WaveSound {
    int sampleRate = 0;
    int channels = 0;      // 1 or 2
    int bitsPerSample = 0; // 8 (unsigned) or 16 (signed)
    QByteArray pcm;

    QAudioFormat format() const;
    qint64 frameCount() const;
};

// A rate outside these is not a sound effect but a broken or hostile file.
inline constexpr int minSampleRate = 1000;
inline constexpr int maxSampleRate = 192000;

// Reads an uncompressed PCM wave file held in memory. Anything it cannot play faithfully
// gives nothing rather than noise. A data chunk that claims more bytes than the file holds
// plays what is there: writers that died or streamed leave such files, and the sound in them
// is still good. Nothing is ever read past the end of the bytes given.
std::optional<WaveSound> readWave(QByteArrayView bytes);

} // namespace vellumi::modSound
