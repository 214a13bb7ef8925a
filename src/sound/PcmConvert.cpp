#include "sound/PcmConvert.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vellumi::modSound {

namespace {

// One sample of the source as a value in [-1, 1).
float sampleAt(const WaveSound& sound, qint64 frame, int channel)
{
    const qint64 index = frame * sound.channels + channel;
    if (sound.bitsPerSample == 8)
        return (int(quint8(sound.pcm[index])) - 128) / 128.0f;
    qint16 value;
    std::memcpy(&value, sound.pcm.constData() + index * 2, sizeof value);
    return value / 32768.0f;
}

float channelValue(const WaveSound& sound, qint64 frame, int channel, int targetChannels)
{
    if (sound.channels == 1)
        return sampleAt(sound, frame, 0);
    if (targetChannels == 1)
        return (sampleAt(sound, frame, 0) + sampleAt(sound, frame, 1)) / 2;
    return channel < 2 ? sampleAt(sound, frame, channel) : 0.0f;
}

template <typename T>
void put(char* to, T value)
{
    std::memcpy(to, &value, sizeof value);
}

void writeSample(char* to, QAudioFormat::SampleFormat format, float value)
{
    const double v = std::clamp(double(value), -1.0, 1.0);
    switch (format) {
    case QAudioFormat::UInt8:
        put(to, quint8(std::clamp(std::lround(v * 128) + 128, 0L, 255L)));
        break;
    case QAudioFormat::Int16:
        put(to, qint16(std::clamp(std::lround(v * 32768), -32768L, 32767L)));
        break;
    case QAudioFormat::Int32:
        put(to, qint32(std::clamp(std::llround(v * 2147483648.0), -2147483648LL, 2147483647LL)));
        break;
    case QAudioFormat::Float:
        put(to, float(v));
        break;
    default:
        break;
    }
}

} // namespace

QByteArray convertPcm(const WaveSound& sound, const QAudioFormat& target)
{
    const QAudioFormat::SampleFormat sampleFormat = target.sampleFormat();
    if (sampleFormat != QAudioFormat::UInt8 && sampleFormat != QAudioFormat::Int16
        && sampleFormat != QAudioFormat::Int32 && sampleFormat != QAudioFormat::Float)
        return {};
    const int channels = target.channelCount();
    const int rate = target.sampleRate();
    const qint64 inFrames = sound.frameCount();
    if (channels < 1 || rate < minSampleRate || rate > maxSampleRate || inFrames == 0
        || sound.sampleRate <= 0)
        return {};

    const qint64 outFrames = std::max<qint64>(1, inFrames * rate / sound.sampleRate);
    const int sampleBytes = target.bytesPerSample();
    QByteArray out(outFrames * channels * sampleBytes, Qt::Uninitialized);
    char* to = out.data();
    const double step = double(sound.sampleRate) / rate;
    for (qint64 frame = 0; frame < outFrames; ++frame) {
        const double position = frame * step;
        const qint64 before = std::min<qint64>(qint64(position), inFrames - 1);
        const qint64 after = std::min<qint64>(before + 1, inFrames - 1);
        const float weight = float(position - before);
        for (int channel = 0; channel < channels; ++channel) {
            const float a = channelValue(sound, before, channel, channels);
            const float b = channelValue(sound, after, channel, channels);
            writeSample(to, sampleFormat, a + (b - a) * weight);
            to += sampleBytes;
        }
    }
    return out;
}

} // namespace vellumi::modSound
