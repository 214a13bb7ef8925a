#pragma once

#include "sound/Sound.h"

#include <QString>

namespace vellumi {

// The sound a wave file holds, decoded by libsndfile at most once while the file stays the
// same. The file is looked at on every load(), so a file replaced, changed or deleted is
// noticed at the next one.
class SoundFile {
public:
    // Empty when the file is missing, is not a plain file, or holds nothing that decodes to
    // mono or stereo. A sound that would take more than 64 MiB keeps only its beginning.
    const Sound& load(const QString& fileName);

    // Lets go of the samples until the next load(); the one before is gone before a new file
    // is decoded anyway, so two sounds are never held at once.
    void clear();

private:
    // Tells one version of a file from another without reading it.
    struct Stamp {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = -1;
        qint64 modifiedNs = 0;
        bool operator==(const Stamp&) const = default;
    };

    void decode(int fd);

    QString m_fileName;
    Stamp m_stamp;
    Sound m_sound;
};

} // namespace vellumi
