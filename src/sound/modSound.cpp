#include "sound/modSound.h"

#include "sound/PcmConvert.h"
#include "sound/WaveFile.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
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
    if (!message.startsWith(QLatin1String("PulseAudioService:")))
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
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxFileBytes)
        return std::nullopt;
    return readWave(file.read(maxFileBytes));
}

// What to send when the device refuses the file's own format: the device's choice if it has one
// we can write, else CD-like stereo at either common rate.
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

// Owns the one sink and feeds it. One sound at a time: starting a sound drops the last one.
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

        const QAudioDevice device = defaultOutput();
        if (device.isNull())
            return;
        std::optional<WaveSound> sound = loadWave(fileName);
        if (!sound)
            return;

        QAudioFormat format = sound->format();
        QByteArray pcm;
        if (device.isFormatSupported(format)) {
            pcm = std::move(sound->pcm);
        } else {
            format = fallbackFormat(device);
            if (!format.isValid())
                return;
            pcm = convertPcm(*sound, format);
            if (pcm.isEmpty())
                return;
        }

        QAudioSink* sink = sinkFor(device, format);
        m_stream = sink->start();
        if (!m_stream)
            return;
        pcm += silence(format, format.durationForBytes(sink->bufferSize()) + tailUs);
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
    // Keeping the sink between sounds of one format saves setting it up on every move; a change
    // of device or format needs a new one. The old one is stopped now but deleted later:
    // deleting a sink runs the event loop, which must not happen in the middle of play().
    QAudioSink* sinkFor(const QAudioDevice& device, const QAudioFormat& format)
    {
        if (m_sink && m_sinkDevice == device.id() && m_sink->format() == format)
            return m_sink;
        if (m_sink) {
            m_sink->stop();
            m_sink->deleteLater();
        }
        m_sink = new QAudioSink(device, format, this);
        m_sink->setBufferSize(format.bytesForDuration(sinkBufferUs));
        m_sinkDevice = device.id();
        return m_sink;
    }

    void feed()
    {
        if (!m_stream || m_sink->state() == QAudio::StoppedState) { // the server went away
            stop();
            return;
        }
        const QAudioFormat format = m_sink->format();
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
        if (m_sink)
            m_sink->stop();
        m_stream = nullptr;
        m_pcm.clear();
        m_written = 0;
    }

    QAudioSink* m_sink = nullptr;
    QByteArray m_sinkDevice;
    QPointer<QIODevice> m_stream; // owned by m_sink, gone when it stops
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
