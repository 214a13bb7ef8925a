#pragma once

#include "game/Records.h"

#include <QString>

class QWidget;

namespace vellumi {

// A small window of the records, the picture on show at the difficulty chosen first, then every
// other picture and difficulty played. It runs in the window's one event loop and goes when
// closed.
void showRecordsBox(QWidget* parent, const Records& records, const Records::Key& current, const QString& currentName);

} // namespace vellumi
