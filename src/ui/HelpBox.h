#pragma once

#include <QString>

class QWidget;

namespace vellumi {

// The design's help: a modal box that sends the player to readme.txt, naming where it lies.
void showHelpBox(QWidget* parent, const QString& readmePath);

} // namespace vellumi
