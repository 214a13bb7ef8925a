#include "ui/AboutDialog.h"

#include "ui/Appearance.h"
#include "ui/DesignControls.h"
#include "ui/Twips.h"

#include <QLabel>

namespace vellumi {

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmabout"));
    setWindowTitle(QStringLiteral("版权"));
    setFixedSize(twips::size(4065, 2070));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, systemColour(SystemColour::ActiveBorder));
    setPalette(pal);

    design::fixedLabel(this, "Label2", 2640, 1620, 1035, 195, QStringLiteral("作者:Tessra"));
    QLabel* web = design::label(this, "Label1", 2400, 1800, QStringLiteral("www.example.org"));
    QFont underlined = font();
    underlined.setUnderline(true);
    web->setFont(underlined);
    QPalette blue = web->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    web->setPalette(blue);
    web->adjustSize();
    design::label(this, "Label5", 1440, 360, QStringLiteral("2000.4 第一版"));
    design::label(this, "Label4", 1020, 120, QStringLiteral("GNU通用公共许可证(GPL)"));
    QLabel* copyright =
        design::fixedLabel(this, "Label3", 240, 660, 3555, 1035,
                           QStringLiteral("    版权所有 (C) 2000, 2026 Vellumi 开发者，网址 www.example.org。"
                                          "任何人都可以复制和分发本许可证文档的完整逐字副本，"
                                          "但不允许对其作任何修改。"));
    copyright->setTextFormat(Qt::PlainText);
    copyright->setWordWrap(true);
}

} // namespace vellumi
