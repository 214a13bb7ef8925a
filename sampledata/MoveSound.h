#pragma once

#include <QByteArray>

namespace mksamples {

// The move sound as the bytes of a wave file; empty, after saying why on
// standard error, if it could not be made.
QByteArray moveSound();

} // namespace mksamples
