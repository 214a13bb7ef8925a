#include "ui/HelpBox.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace vellumi {

void showHelpBox(QWidget* parent, const QString& readmePath)
{
    const QString title = QStringLiteral("使用帮助");
    QMessageBox box(QMessageBox::NoIcon, title, QStringLiteral("详情请见readme.txt"), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("helpBox"));
    box.setInformativeText(QStringLiteral("<small>%1</small>").arg(readmePath.toHtmlEscaped()));
    // A message box sizes itself by its text alone, and a window manager then cuts a title
    // longer than that; leave room for the title and the title bar's buttons.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int titleWidth = box.fontMetrics().horizontalAdvance(title) + 160;
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0,
                      1, grid->columnCount());
    }
    box.exec();
}

} // namespace vellumi
