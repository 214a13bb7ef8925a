#include "sound/SoundPlayer.h"

namespace vellumi {

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent)
{
    // Only the last file asked for comes this way: a play() of anything else gives up on it.
    connect(&m_file, &SoundFile::decoded, this, [this](const Sound& sound) { m_output.play(sound); });
}

void SoundPlayer::play(const QString& fileName)
{
    // The last sound ends here even when the new one turns out to be silent: the next move has
    // begun. It also lets go of its samples before another file is decoded.
    m_output.stop();
    m_output.play(m_file.load(fileName));
}

} // namespace vellumi
