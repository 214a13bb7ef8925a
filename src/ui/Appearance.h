#pragma once

#include <QColor>

class QApplication;

namespace vellumi {

// The design names classic system colours; these are the palette roles that stand for them.
enum class SystemColour { InactiveCaption, Menu, Window, WindowFrame, WindowText, ActiveBorder };

QColor systemColour(SystemColour which);

// The design's default face, 12 pixels high, Chinese characters 12 and Latin 6 pixels wide
// (without a CJK face Qt draws empty boxes for every Chinese caption), and Qt's own Chinese
// texts for standard buttons.
void applyAppearance(QApplication& app);

} // namespace vellumi
