#include "sound/modSound.h"

#include "sound/PcmConvert.h"
#include "sound/WaveFile.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <utility>

namespace vellumi::modSound {

namespace {

// A move sound is a click. A file this large is something else, and reading it on every move
// would stall the game.
constexpr qint64 maxFileBytes = 32 * 1024 * 1024;

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
constexpr int releaseMarginMs = 300;

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

std::optional<WaveSound> loadWave(const QString& fileName)
{
    // Only a plain file: a pipe or a device under that name would block the game on open.
    const QFileInfo info(fileName);
    if (!info.isFile() || info.size() > maxFileBytes)
        return std::nullopt;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return readWave(file.read(info.size()));
}

// The one format a device is sent every sound in whose own format it refuses, or would need a
// sink too many for: the device's choice if we can write it, else CD-like stereo at either
// common rate.
QAudioFormat fallbackFormat(const QAudioDevice& device)
{
    QList<QAudioFormat> candidates{device.preferredFormat()};
    for (int rate : {48000, 44100}) {
        QAudioFormat format;
        format.setSampleRate(rate);
        format.setChannelCount(2);
        format.setSampleFormat(QAudioFormat::Int16);
        candidates << format;
    }
    for (const QAudioFormat& format : std::as_const(candidates)) {
        if (format.isValid() && device.isFormatSupported(format))
            return format;
    }
    return {};
}

QByteArray silence(const QAudioFormat& format, qint64 microseconds)
{
    const char zero = format.sampleFormat() == QAudioFormat::UInt8 ? char(0x80) : char(0);
    return QByteArray(format.bytesForDuration(microseconds), zero);
}

// Plays one sound at a time, feeding it to a sink from the GUI thread's event loop.
class Player : public QObject {
public:
    explicit Player(QObject* parent)
        : QObject(parent)
    {
        m_feed.setInterval(feedIntervalMs);
        m_feed.setTimerType(Qt::PreciseTimer);
        connect(&m_feed, &QTimer::timeout, this, &Player::feed);
        m_release.setSingleShot(true);
        connect(&m_release, &QTimer::timeout, this, &Player::stop);
    }

    void play(const QString& fileName)
    {
        // The last sound ends here even when the new one turns out to be silent: the next
        // move has begun.
        stop();

        std::optional<WaveSound> sound = loadWave(fileName);
        if (!sound)
            return;
        const QAudioDevice device = defaultOutput();
        if (device.isNull())
            return;
        if (device.id() != m_device)
            forgetSinks(device.id());

        QAudioFormat format = sound->format();
        QByteArray pcm;
        if (device.isFormatSupported(format) && (sinkFor(format) || m_sinks.size() < maxOwnFormats)) {
            pcm = std::move(sound->pcm);
        } else {
            // Chosen once per device: the format a device prefers can follow whatever rate
            // its hardware was last switched to.
            if (!m_houseFormat.isValid())
                m_houseFormat = fallbackFormat(device);
            format = m_houseFormat;
            if (!format.isValid())
                return;
            pcm = convertPcm(*sound, format);
            if (pcm.isEmpty())
                return;
        }

        m_current = sinkFor(format);
        if (!m_current)
            m_current = addSink(device, format);
        m_stream = m_current->start();
        if (!m_stream)
            return;
        pcm += silence(format, format.durationForBytes(m_current->bufferSize()) + tailUs);
        m_pcm = std::move(pcm);
        m_written = 0;
        m_clock.start();
        // The first part goes to the server before this call returns, so the click is not
        // held up until the next timer tick.
        feed();
        if (m_written < m_pcm.size())
            m_feed.start();
        m_release.start(int(format.durationForBytes(m_pcm.size()) / 1000) + releaseMarginMs);
    }

private:
    // A sink, once made for a format, is kept for the next sound in that format; a new stream
    // on it is all a move costs. Nor is a sink deleted when the format changes: QAudioSink's
    // destructor runs the event loop, from which the next sound may start and delete another
    // sink, nesting deeper with every move. A handful of formats covers any game; past that,
    // sounds are converted to one the device prefers.
    static constexpr qsizetype maxOwnFormats = 4;

    QAudioSink* sinkFor(const QAudioFormat& format) const
    {
        for (QAudioSink* sink : m_sinks) {
            if (sink->format() == format)
                return sink;
        }
        return nullptr;
    }

    QAudioSink* addSink(const QAudioDevice& device, const QAudioFormat& format)
    {
        auto* sink = new QAudioSink(device, format, this);
        sink->setBufferSize(format.bytesForDuration(sinkBufferUs));
        m_sinks.append(sink);
        return sink;
    }

    // Only another output device, chosen by the user or after the sound server restarted,
    // gets here, so deleting the old sinks cannot nest as above.
    void forgetSinks(const QByteArray& device)
    {
        for (QAudioSink* sink : std::as_const(m_sinks))
            sink->deleteLater();
        m_sinks.clear();
        m_current = nullptr;
        m_device = device;
        m_houseFormat = {};
    }

    void feed()
    {
        if (!m_stream || m_current->state() == QAudio::StoppedState) { // the server went away
            stop();
            return;
        }
        const QAudioFormat format = m_current->format();
        const qint64 due = std::min<qint64>(m_pcm.size(),
            format.bytesForDuration(m_clock.nsecsElapsed() / 1000 + leadUs));
        while (m_written < due) {
            const qint64 sent = m_stream->write(m_pcm.constData() + m_written, due - m_written);
            if (sent <= 0)
                break;
            m_written += sent;
        }
        if (m_written >= m_pcm.size())
            m_feed.stop();
    }

    void stop()
    {
        m_feed.stop();
        m_release.stop();
        // Closes the server's stream, which drops whatever it still holds.
        if (m_current)
            m_current->stop();
        m_stream = nullptr;
        m_pcm.clear();
        m_written = 0;
    }

    QByteArray m_device;
    QList<QAudioSink*> m_sinks; // all for m_device, children of this
    QAudioFormat m_houseFormat; // what m_device gets when its own format is refused or too many
    QAudioSink* m_current = nullptr;
    QPointer<QIODevice> m_stream; // owned by m_current, gone when it stops
    QByteArray m_pcm;
    qint64 m_written = 0;
    QElapsedTimer m_clock;
    QTimer m_feed;
    QTimer m_release;
};

} // namespace

void PlayWave(const QString& FileName)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    // The sink and its timers belong to the GUI thread.
    if (QThread::currentThread() != app->thread()) {
        QMetaObject::invokeMethod(app, [FileName] { PlayWave(FileName); }, Qt::QueuedConnection);
        return;
    }
    static QPointer<Player> player;
    if (!player)
        player = new Player(app);
    player->play(FileName);
}

} // namespace vellumi::modSound
