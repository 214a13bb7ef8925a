#pragma once

#include "sound/Sound.h"
#include "system/SafeFiles.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace vellumi {

// The sound a wave file holds, decoded by libsndfile at most once while the file stays the
// same, and on a thread of its own, so that no file, however big, holds up the caller. The file
// is looked at on every load(), so a file replaced, changed or deleted is noticed at the next
// one. The thread lives as long as this does, at a low priority, rather than one per task as a
// LatestTask's does: sounds no longer wanted, up to 64 MiB each, are freed there too, where
// freeing them costs the window nothing.
class SoundFile : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The sound, once decoded; empty when the file is missing, is not a plain file, or holds
    // nothing that decodes to mono or stereo. A sound that would take more than 64 MiB keeps
    // only its beginning. A file new or changed since the last load() is empty here and comes
    // by decoded() when it is ready, unless a load() of anything else comes first.
    const Sound& load(const QString& fileName);

    // Lets go of the samples, and of a decode under way, until the next load(); the sound
    // before is gone before another file is decoded, so two are never held at once.
    void clear();

signals:
    void decoded(const Sound& sound);

private:
    struct Job {
        QByteArray path;
        quint64 generation{};
    };

    void decodeInTurn(std::stop_token quit);
    Sound decode(const Job& job, std::stop_token quit, FileStamp* stamp) const;
    void onDecoded(quint64 generation, const FileStamp& stamp, const Sound& sound);

    QString loadedName; // decoded, or on its way
    FileStamp loadedStamp;
    Sound decodedSound;

    // Shared with the decoding thread.
    std::atomic<quint64> wantedGeneration{}; // of the one load() whose sound is still of use
    std::mutex mutex;
    std::condition_variable_any wake;
    std::optional<Job> pending; // not begun yet
    std::vector<Sound> toFree;  // freed there, as freeing 64 MiB takes milliseconds
    std::jthread decoder;       // last, so it has stopped before anything it uses goes
};

} // namespace vellumi
