#include "sound/SoundFile.h"

#include <QFile>

#include <sndfile.h>

#include <algorithm>

#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumi {

namespace {

// Decoding stops here: a file whose sound would take more is played only as far as this goes
// (three minutes of CD-like stereo), so no file can make the game run out of memory.
constexpr qint64 maxDecodedBytes = 64 * 1024 * 1024;

// A decode no longer of use goes on for at most this much more, a fraction of a millisecond
// for plain samples; the program's end waits for it.
constexpr qint64 framesAtOnce = 16 * 1024;

} // namespace

const Sound& SoundFile::load(const QString& fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    struct stat info;
    // Only a plain file: a pipe or a device under that name could block the game on open.
    if (path.isEmpty() || ::stat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        clear();
        return m_sound;
    }
    if (fileName == m_fileName && stampOf(info) == m_stamp)
        return m_sound;

    clear();
    m_fileName = fileName;
    m_stamp = stampOf(info);
    {
        const std::lock_guard lock(m_mutex);
        m_job = Job{path, m_generation};
    }
    if (!m_decoder.joinable())
        m_decoder = std::jthread([this](std::stop_token quit) { decodeInTurn(quit); });
    m_wake.notify_one();
    return m_sound;
}

void SoundFile::clear()
{
    ++m_generation;
    m_stamp = {};
    {
        const std::lock_guard lock(m_mutex);
        m_job.reset();
        if (!m_sound.isEmpty())
            m_dropped.push_back(std::exchange(m_sound, {}));
    }
    m_wake.notify_one();
}

// One file at a time, so that the samples of one are gone before the next is decoded.
void SoundFile::decodeInTurn(std::stop_token quit)
{
    // Woken, it would otherwise take the processor from the window thread that woke it, in
    // the middle of a press, for milliseconds at a time. Not the lowest priority, though: the
    // program's end waits for it to notice, however busy the machine.
    const sched_param noPriority{};
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &noPriority);
    setpriority(PRIO_PROCESS, gettid(), 10);
    for (;;) {
        std::optional<Job> job;
        std::vector<Sound> dropped;
        {
            std::unique_lock lock(m_mutex);
            if (!m_wake.wait(lock, quit, [this] { return m_job || !m_dropped.empty(); }))
                return;
            job = std::exchange(m_job, std::nullopt);
            dropped = std::exchange(m_dropped, {});
        }
        dropped.clear();
        if (!job)
            continue;
        FileStamp opened;
        const Sound sound = decode(*job, quit, &opened);
        if (job->generation == m_generation && !quit.stop_requested()) {
            QMetaObject::invokeMethod(
                this, [this, generation = job->generation, opened, sound] { onDecoded(generation, opened, sound); },
                Qt::QueuedConnection);
        }
    }
}

// Float samples at the file's own rate: the sound server converts for the device as it does
// for any other stream, and libsndfile scales every kind of sample, float files included, to
// the same range.
Sound SoundFile::decode(const Job& job, std::stop_token quit, FileStamp* stamp) const
{
    RegularFile opened(QFile::decodeName(job.path));
    if (!opened.isOpen())
        return {};
    *stamp = stampOf(opened.info());
    SF_INFO format{};
    SNDFILE* file = sf_open_fd(opened.release(), SFM_READ, &format, SF_TRUE);
    if (!file)
        return {};
    Sound sound{{}, format.samplerate, format.channels};
    if (format.samplerate > 0 && format.frames > 0 && (format.channels == 1 || format.channels == 2)) {
        const qint64 frames = std::min<qint64>(format.frames, maxDecodedBytes / sound.bytesPerFrame());
        sound.samples = QByteArray(frames * sound.bytesPerFrame(), Qt::Uninitialized);
        auto* samples = reinterpret_cast<float*>(sound.samples.data());
        qint64 done = 0;
        while (done < frames && job.generation == m_generation && !quit.stop_requested()) {
            const sf_count_t read = sf_readf_float(file, samples + done * format.channels, std::min(framesAtOnce, frames - done));
            if (read <= 0)
                break;
            done += read;
        }
        sound.samples.truncate(done * sound.bytesPerFrame());
    }
    sf_close(file);
    return sound;
}

void SoundFile::onDecoded(quint64 generation, const FileStamp& stamp, const Sound& sound)
{
    if (generation != m_generation)
        return;
    // Stamped from what was opened, so a file replaced meanwhile is decoded again next time.
    m_stamp = stamp;
    m_sound = sound;
    if (!m_sound.isEmpty())
        emit decoded(m_sound);
}

} // namespace vellumi
