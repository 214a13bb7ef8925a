#pragma once

#include <QImage>

// The window's own small pictures, drawn in code so that nothing is copied from elsewhere.
// They keep to the classic 16-colour palette on the light grey ground of the button face.
namespace vellumi::artwork {

QImage difficultyButton(); // 14 × 12: a black triangle pointing down, shadowed lower right
QImage previousButton();   // 12 × 12: a black wedge pointing left, shadowed below
QImage nextButton();       // 12 × 12: a black wedge pointing right, shadowed below
QImage windowIcon();       // 32 × 32: a curved rainbow band on a transparent ground

} // namespace vellumi::artwork
