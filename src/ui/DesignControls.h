#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace vellumi {

// The design's controls as both windows make them: named by their design names, placed in
// twips on their parent.
namespace design {

// The label for a difficulty: "难易度:初级" for 3 up to "难易度:特级" for 6.
QString difficultyCaption(int gridSize);

// A label whose presses are its own, doing nothing with them: sized by its text unless sized
// later.
QLabel* label(QWidget* parent, const char* name, double left, double top, const QString& text);
QLabel* fixedLabel(QWidget* parent, const char* name, double left, double top, double width, double height,
                   const QString& text);

} // namespace design

} // namespace vellumi
