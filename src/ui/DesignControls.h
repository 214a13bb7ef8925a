#pragma once

#include <QPoint>
#include <QString>

#include <functional>

class QImage;
class QLabel;
class QWidget;

namespace vellumi {

class ImageControl;
class PictureBox;

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
PictureBox* pictureBox(QWidget* parent, const char* name, double left, double top, double width, double height);
// A picture button sinks from `rest` to `pressed` while any mouse button holds it down, and acts
// on the press; the release only lifts it back. Its caption and keys are its tooltip, and the
// caption what a screen reader calls it.
ImageControl* pictureButton(QWidget* parent, const char* name, QPoint rest, QPoint pressed, const QImage& picture,
                            const QString& caption, const QString& keys, std::function<void()> action);

} // namespace design

} // namespace vellumi
