#include "sound/SoundPlayer.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QFile>
#include <QMediaDevices>
#include <QThread>

#include <sndfile.h>

#include <algorithm>
#include <array>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumi {

namespace {

// Decoding stops here: a file whose sound would take more is played only as far as this goes
// (three minutes of CD-like stereo), so no file can make the game run out of memory.
constexpr qint64 maxPreparedBytes = 64 * 1024 * 1024;

// Small, so that the click follows the move at once; the sound server is still never starved,
// because the stream is kept filled far beyond this (leadUs).
constexpr qint64 sinkBufferUs = 30'000;

// How far ahead of the clock the stream is filled. The feed runs on the GUI thread, and a busy
// moment there, such as loading a picture, must not leave a hole in a long sound.
constexpr qint64 leadUs = 400'000;
constexpr int feedIntervalMs = 40;

// Silence played after the sound, on top of one sink buffer. The server starts a stream only
// once its buffer is full, so a click shorter than the buffer would never start without it;
// and when the stream is closed, what the device still holds is this silence, not the click.
constexpr qint64 tailUs = 100'000;

// Extra time the stream stays open after it should have played out, for a slow start.
constexpr qint64 releaseMarginMs = 300;

// A sink, once made for a format, is kept for the next sound in that format; a new stream on
// it is all a move costs. A game needs one; a few more cover sounds that change format.
constexpr qsizetype maxSinks = 4;

const std::array<char, 16384> silence{}; // whole frames of float mono and stereo

QtMessageHandler forwardTo = nullptr;

void dropServerComplaint(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (forwardTo && !message.startsWith(QLatin1String("PulseAudioService:")))
        forwardTo(type, context, message);
}

// Without a sound server, Qt's first look for one prints a warning. A machine without sound is
// an ordinary place for this game to run, so that one line is kept out of the log; every other
// message passes through.
QAudioDevice defaultOutput()
{
    static bool looked = false;
    if (looked)
        return QMediaDevices::defaultAudioOutput();
    looked = true;
    forwardTo = qInstallMessageHandler(dropServerComplaint);
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    qInstallMessageHandler(forwardTo);
    return device;
}

} // namespace

SoundPlayer::SoundPlayer(QObject* parent)
    : QObject(parent)
{
    m_feed.setInterval(feedIntervalMs);
    m_feed.setTimerType(Qt::PreciseTimer);
    connect(&m_feed, &QTimer::timeout, this, &SoundPlayer::feed);
    m_release.setSingleShot(true);
    connect(&m_release, &QTimer::timeout, this, &SoundPlayer::stop);
}

void SoundPlayer::play(const QString& fileName)
{
    Q_ASSERT(QThread::currentThread() == thread());
    // The last sound ends here even when the new one turns out to be silent: the next move has
    // begun.
    stop();
    if (!prepare(fileName))
        return;
    const QAudioDevice device = defaultOutput();
    if (device.isNull() || !device.isFormatSupported(m_format))
        return;
    QAudioSink* sink = sinkFor(device);
    m_stream = sink->start();
    if (!m_stream)
        return;
    m_sink = sink;
    m_tailBytes = m_format.bytesForDuration(m_format.durationForBytes(sink->bufferSize()) + tailUs);
    m_written = 0;
    m_clock.start();
    // The first part goes to the server before this call returns, so the click is not held up
    // until the next timer tick.
    feed();
    if (m_stream && !m_release.isActive())
        m_feed.start();
}

bool SoundPlayer::prepare(const QString& fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    struct stat info;
    // Only a plain file: a pipe or a device under that name could block the game on open.
    if (path.isEmpty() || ::stat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const auto stampOf = [](const struct stat& s) {
        return FileStamp{s.st_dev, s.st_ino, s.st_size, s.st_mtim.tv_sec * 1'000'000'000LL + s.st_mtim.tv_nsec};
    };
    if (fileName == m_fileName && stampOf(info) == m_stamp)
        return !m_pcm.isEmpty();

    // The old sound goes before the new one is decoded: never two of them in memory at once.
    m_pcm = QByteArray();
    m_fileName = fileName;
    m_stamp = {};
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Stamped from what was opened, so a file replaced meanwhile is decoded again next time.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    m_stamp = stampOf(info);
    decode(fd);
    return !m_pcm.isEmpty();
}

// Decodes to float samples at the file's own rate, which the sound server converts for the
// device as it would any other stream's; libsndfile scales every kind of sample to the same
// range that way, float files included. Mono and stereo only: Qt cannot be trusted with frames
// whose size does not divide the server's memory blocks.
void SoundPlayer::decode(int fd)
{
    SF_INFO info{};
    SNDFILE* file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
    if (!file)
        return;
    if (info.samplerate > 0 && info.frames > 0 && (info.channels == 1 || info.channels == 2)) {
        m_format.setSampleFormat(QAudioFormat::Float);
        m_format.setSampleRate(info.samplerate);
        m_format.setChannelConfig(info.channels == 1 ? QAudioFormat::ChannelConfigMono : QAudioFormat::ChannelConfigStereo);
        const qint64 bytesPerFrame = m_format.bytesPerFrame();
        const qint64 frames = std::min<qint64>(info.frames, maxPreparedBytes / bytesPerFrame);
        QByteArray pcm(frames * bytesPerFrame, Qt::Uninitialized);
        const sf_count_t read = sf_readf_float(file, reinterpret_cast<float*>(pcm.data()), frames);
        if (read > 0) {
            pcm.truncate(read * bytesPerFrame);
            m_pcm = std::move(pcm);
        }
    }
    sf_close(file);
}

QAudioSink* SoundPlayer::sinkFor(const QAudioDevice& device)
{
    // The output in use went away, or another took its place: Qt would wait for ever for a
    // stream asked of an output that is gone.
    if (device.id() != m_deviceId) {
        while (!m_sinks.isEmpty())
            dropSink(m_sinks.constFirst());
        m_deviceId = device.id();
    }
    for (QAudioSink* sink : std::as_const(m_sinks)) {
        if (sink->format() == m_format)
            return sink;
    }
    if (m_sinks.size() >= maxSinks)
        dropSink(m_sinks.constFirst());
    auto* sink = new QAudioSink(device, m_format, this);
    sink->setBufferSize(m_format.bytesForDuration(sinkBufferUs));
    m_sinks.append(sink);
    return sink;
}

// QAudioSink's destructor runs the event loop, from which the next sound may start and drop
// another sink, nesting deeper with every move; deleted later, it runs from the top level.
void SoundPlayer::dropSink(QAudioSink* sink)
{
    m_sinks.removeOne(sink);
    sink->deleteLater();
}

void SoundPlayer::feed()
{
    // The sink closes the stream itself when the sound server goes away. Should a tick come
    // first, the stream, failed already, has no free space to report: Qt would write to it and
    // leave the connection to the server locked, and the game would hang at Qt's next tidy-up.
    if (!m_stream || m_sink->bytesFree() < 0) {
        stop();
        return;
    }
    const qint64 total = m_pcm.size() + m_tailBytes;
    const qint64 due = std::min<qint64>(total, m_format.bytesForDuration(m_clock.nsecsElapsed() / 1000 + leadUs));
    while (m_written < due) {
        // In pieces that fit one of the server's memory blocks, so every write is whole frames.
        const bool inSound = m_written < m_pcm.size();
        const qint64 end = inSound ? std::min(due, qint64(m_pcm.size())) : due;
        const qint64 length = std::min<qint64>(end - m_written, silence.size());
        const qint64 sent = m_stream->write(inSound ? m_pcm.constData() + m_written : silence.data(), length);
        if (sent <= 0)
            break;
        m_written += sent;
    }
    if (m_written < total)
        return;
    // All of it is with the server: the stream is closed once that has played, so that an idle
    // game holds no stream open.
    m_feed.stop();
    const qint64 playedMs = m_clock.elapsed();
    m_release.start(int(std::max<qint64>(0, m_format.durationForBytes(total) / 1000 - playedMs) + releaseMarginMs));
}

void SoundPlayer::stop()
{
    m_feed.stop();
    m_release.stop();
    // Closes the server's stream, which drops whatever it still holds.
    if (m_sink)
        m_sink->stop();
    m_sink = nullptr;
    m_stream = nullptr;
}

} // namespace vellumi
