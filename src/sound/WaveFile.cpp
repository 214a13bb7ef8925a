#include "sound/WaveFile.h"

#include <QtEndian>

#include <algorithm>
#include <bit>

namespace vellumi::modSound {

namespace {

constexpr quint16 formatPcm = 0x0001;
constexpr quint16 formatExtensible = 0xFFFE;

// Extensible headers name their real format by GUID; PCM's is 00000001-0000-0010-8000-00AA00389B71.
// Its first two bytes repeat the classic format tag, the rest is this fixed tail.
constexpr char pcmGuidTail[] = "\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71";

quint16 le16(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

quint32 le32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

struct Layout {
    int sampleRate;
    int channels;
    int bitsPerSample;
};

std::optional<Layout> readFormatChunk(QByteArrayView fmt)
{
    if (fmt.size() < 16)
        return std::nullopt;
    const quint16 tag = le16(fmt, 0);
    const quint32 rate = le32(fmt, 4);
    if (rate < quint32(minSampleRate) || rate > quint32(maxSampleRate))
        return std::nullopt;
    const Layout layout{int(rate), le16(fmt, 2), le16(fmt, 14)};
    const int blockAlign = le16(fmt, 12);

    if (tag == formatExtensible) {
        // cbSize, valid bits, channel mask, then the sub-format GUID.
        if (fmt.size() < 40 || le16(fmt, 24) != formatPcm
            || fmt.sliced(26, 14) != QByteArrayView(pcmGuidTail, 14))
            return std::nullopt;
        const int validBits = le16(fmt, 18);
        if (validBits > layout.bitsPerSample)
            return std::nullopt;
    } else if (tag != formatPcm) {
        return std::nullopt;
    }

    if (layout.channels < 1 || layout.channels > 2)
        return std::nullopt;
    if (layout.bitsPerSample != 8 && layout.bitsPerSample != 16)
        return std::nullopt;
    // A header that contradicts itself was not written by anything we can trust to have laid the
    // samples out the way the other fields say.
    if (blockAlign != layout.channels * layout.bitsPerSample / 8)
        return std::nullopt;
    return layout;
}

} // namespace

QAudioFormat WaveSound::format() const
{
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(channels);
    format.setSampleFormat(bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return format;
}

qint64 WaveSound::frameCount() const
{
    const int frameBytes = channels * bitsPerSample / 8;
    return frameBytes > 0 ? pcm.size() / frameBytes : 0;
}

std::optional<WaveSound> readWave(QByteArrayView bytes)
{
    if (bytes.size() < 12 || bytes.first(4) != "RIFF" || bytes.sliced(8, 4) != "WAVE")
        return std::nullopt;

    // The RIFF size field is often wrong in files that were streamed or cut, so the chunks are
    // walked up to the real end of the bytes instead.
    std::optional<QByteArrayView> fmt;
    std::optional<QByteArrayView> data;
    qsizetype at = 12;
    while (at + 8 <= bytes.size() && !(fmt && data)) {
        const QByteArrayView id = bytes.sliced(at, 4);
        const qint64 size = le32(bytes, at + 4);
        at += 8;
        const qint64 left = bytes.size() - at;
        if (id == "data" && !data) {
            data = bytes.sliced(at, std::min(size, left));
        } else if (id == "fmt " && !fmt && size <= left) {
            fmt = bytes.sliced(at, size);
        }
        if (size > left)
            break; // a chunk cut short: whatever follows it is not there
        at += size + (size & 1); // chunks are padded to an even length
    }
    if (!fmt || !data)
        return std::nullopt;

    const std::optional<Layout> layout = readFormatChunk(*fmt);
    if (!layout)
        return std::nullopt;

    WaveSound sound;
    sound.sampleRate = layout->sampleRate;
    sound.channels = layout->channels;
    sound.bitsPerSample = layout->bitsPerSample;
    const qsizetype frameBytes = sound.channels * sound.bitsPerSample / 8;
    const qsizetype wholeFrames = data->size() / frameBytes;
    if (wholeFrames == 0)
        return std::nullopt;
    sound.pcm = data->first(wholeFrames * frameBytes).toByteArray();

    if constexpr (std::endian::native == std::endian::big) {
        if (sound.bitsPerSample == 16) {
            auto* samples = reinterpret_cast<quint16*>(sound.pcm.data());
            for (qsizetype i = 0; i < sound.pcm.size() / 2; ++i)
                samples[i] = qFromLittleEndian(samples[i]);
        }
    }
    return sound;
}

} // namespace vellumi::modSound
