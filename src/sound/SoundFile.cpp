#include "sound/SoundFile.h"

#include <QFile>

#include <sndfile.h>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumi {

namespace {

// Decoding stops here: a file whose sound would take more is played only as far as this goes
// (three minutes of CD-like stereo), so no file can make the game run out of memory.
constexpr qint64 maxDecodedBytes = 64 * 1024 * 1024;

} // namespace

const Sound& SoundFile::load(const QString& fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    struct stat info;
    const auto stampOf = [](const struct stat& s) {
        return Stamp{s.st_dev, s.st_ino, s.st_size, s.st_mtim.tv_sec * 1'000'000'000LL + s.st_mtim.tv_nsec};
    };
    // Only a plain file: a pipe or a device under that name could block the game on open.
    if (path.isEmpty() || ::stat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        clear();
        return m_sound;
    }
    if (fileName == m_fileName && stampOf(info) == m_stamp)
        return m_sound;

    clear();
    m_fileName = fileName;
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return m_sound;
    // Stamped from what was opened, so a file replaced meanwhile is decoded again next time.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return m_sound;
    }
    m_stamp = stampOf(info);
    decode(fd);
    return m_sound;
}

void SoundFile::clear()
{
    m_fileName.clear();
    m_stamp = {};
    m_sound = {};
}

// Float samples at the file's own rate: the sound server converts for the device as it does
// for any other stream, and libsndfile scales every kind of sample, float files included, to
// the same range.
void SoundFile::decode(int fd)
{
    SF_INFO info{};
    SNDFILE* file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
    if (!file)
        return;
    if (info.samplerate > 0 && info.frames > 0 && (info.channels == 1 || info.channels == 2)) {
        Sound sound{{}, info.samplerate, info.channels};
        const qint64 frames = std::min<qint64>(info.frames, maxDecodedBytes / sound.bytesPerFrame());
        sound.samples = QByteArray(frames * sound.bytesPerFrame(), Qt::Uninitialized);
        const sf_count_t read = sf_readf_float(file, reinterpret_cast<float*>(sound.samples.data()), frames);
        if (read > 0) {
            sound.samples.truncate(read * sound.bytesPerFrame());
            m_sound = std::move(sound);
        }
    }
    sf_close(file);
}

} // namespace vellumi
