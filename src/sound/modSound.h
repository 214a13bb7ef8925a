#pragma once

#include <QString>

namespace vellumi::modSound {

// Plays a PCM wave file once and returns at once; the sound goes on in the background through
// the GUI thread's event loop. A new call cuts off the sound before it. The file is read afresh
// each time, so replacing or deleting it takes effect at the next call. A file that is missing
// or unplayable, or a machine without sound, gives silence and no message.
void PlayWave(const QString& FileName);

} // namespace vellumi::modSound
