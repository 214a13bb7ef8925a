#pragma once

#include "sound/SoundFile.h"
#include "sound/SoundOutput.h"

#include <QObject>
#include <QString>

namespace vellumi {

// Plays a wave file, such as the click of a move: returns at once, cuts off the sound before,
// and gives silence, never a message, when the file cannot be played or the machine has no
// sound. The file is decoded once while it stays the same; the first play() after it has
// changed sounds once it is decoded, unless another play() comes first.
class SoundPlayer : public QObject {
    Q_OBJECT

public:
    explicit SoundPlayer(QObject* parent = nullptr);

    void play(const QString& fileName);

private:
    SoundFile file;
    SoundOutput output;
};

} // namespace vellumi
