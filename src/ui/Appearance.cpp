#include "ui/Appearance.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QTranslator>

namespace vellumi {

QColor systemColour(SystemColour which)
{
    const QPalette palette = QApplication::palette();
    switch (which) {
    case SystemColour::InactiveCaption: return palette.color(QPalette::Dark);
    case SystemColour::Menu: return palette.color(QPalette::Window);
    case SystemColour::Window: return palette.color(QPalette::Base);
    case SystemColour::WindowFrame: return palette.color(QPalette::Shadow);
    case SystemColour::WindowText: return palette.color(QPalette::WindowText);
    case SystemColour::ActiveBorder: return palette.color(QPalette::Button);
    }
    return {};
}

void applyAppearance(QApplication& app)
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    QFont font(QStringLiteral("WenQuanYi Zen Hei"));
    font.setStyleHint(QFont::SansSerif);
    // Pixels rather than points: the layout assumes these metrics whatever DPI the screen reports.
    font.setPixelSize(12);
    app.setFont(font);

    // Qt's own dialogs and buttons ("确定") speak the interface's language too.
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

} // namespace vellumi
