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
        return decodedSound;
    }
    if (fileName == loadedName && stampOf(info) == loadedStamp)
        return decodedSound;

    clear();
    loadedName = fileName;
    loadedStamp = stampOf(info);
    {
        const std::lock_guard lock(mutex);
        pending = Job{path, wantedGeneration};
    }
    if (!decoder.joinable())
        decoder = std::jthread([this](std::stop_token quit) { decodeInTurn(quit); });
    wake.notify_one();
    return decodedSound;
}

void SoundFile::clear()
{
    ++wantedGeneration;
    loadedStamp = {};
    {
        const std::lock_guard lock(mutex);
        pending.reset();
        if (!decodedSound.isEmpty())
            toFree.push_back(std::exchange(decodedSound, {}));
    }
    wake.notify_one();
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
            std::unique_lock lock(mutex);
            if (!wake.wait(lock, quit, [this] { return pending || !toFree.empty(); }))
                return;
            job = std::exchange(pending, std::nullopt);
            dropped = std::exchange(toFree, {});
        }
        dropped.clear();
        if (!job)
            continue;
        FileStamp opened;
        const Sound sound = decode(*job, quit, &opened);
        // A sound asked for since is weeded out on the window's thread, where the asking is.
        if (!quit.stop_requested()) {
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
        while (done < frames && job.generation == wantedGeneration && !quit.stop_requested()) {
            const sf_count_t read =
                sf_readf_float(file, samples + done * format.channels, std::min(framesAtOnce, frames - done));
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
    if (generation != wantedGeneration)
        return;
    // Stamped from what was opened, so a file replaced meanwhile is decoded again next time.
    loadedStamp = stamp;
    decodedSound = sound;
    if (!decodedSound.isEmpty())
        emit decoded(decodedSound);
}

} // namespace vellumi
