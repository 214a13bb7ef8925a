#include "sound/SoundPlayer.h"

namespace vellumi {

SoundPlayer::SoundPlayer(QObject* parent)
    : QObject(parent)
{
    // Only the last file asked for comes this way: a play() of anything else gives up on it.
    connect(&file, &SoundFile::decoded, this, [this](const Sound& sound) { output.play(sound); });
}

void SoundPlayer::play(const QString& fileName)
{
    // The last sound ends here even when the new one is silent or still being decoded: the next
    // move has begun.
    output.play(file.load(fileName));
}

} // namespace vellumi
