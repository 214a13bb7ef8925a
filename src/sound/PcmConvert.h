#pragma once

#include "sound/WaveFile.h"

#include <QAudioFormat>
#include <QByteArray>

namespace vellumi::modSound {

// Turns the sound into the given format (sample type, channel count and rate), for a device
// that will not take the file's own. Mono goes to every channel; from stereo, a mono device
// gets the mean and any further channels stay silent. The rate changes by straight-line
// interpolation, which is plenty for a click. Gives nothing for a format it cannot write.
QByteArray convertPcm(const WaveSound& sound, const QAudioFormat& target);

} // namespace vellumi::modSound
