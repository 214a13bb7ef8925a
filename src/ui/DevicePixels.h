#pragma once

#include <QRect>

class QPainter;
class QWidget;

namespace vellumi::devicePixels {

// What the form draws is laid out on its own device pixels (see DeviceGrid), counted from the
// device pixel where the form begins. Qt places widgets in logical pixels, which at a
// fractional ratio fall between device pixels; these two turn one into the other.

// Sets the painter of `widget`, the form or a child of it, to draw in the form's device pixels.
void paintOnForm(QPainter& painter, const QWidget& widget, const QWidget& form);

// The rectangle of logical pixels, in the form's coordinates, that covers a rectangle of the
// form's device pixels: the widget that draws them is given it as its geometry.
QRect covering(const QRect& deviceRect, const QWidget& form);

// The device pixel ratio the form is drawn at.
double ratio(const QWidget& form);

} // namespace vellumi::devicePixels
