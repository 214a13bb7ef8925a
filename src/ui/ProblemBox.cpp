#include "ui/ProblemBox.h"

#include <QMessageBox>

#include <cstdio>

namespace vellumi {

void ProblemBox::tell(const QStringList& problems)
{
    if (problems.isEmpty())
        return;
    for (const QString& problem : problems)
        std::fprintf(stderr, "tessra: %s\n", problem.toUtf8().constData());
    // A box that would list them all could be taller than any screen.
    constexpr int namedAtMost = 8;
    if (!box) {
        shown.clear();
        box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Vellumi"), {}, QMessageBox::Ok, window);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
    }
    shown += problems;
    QString text = shown.mid(0, namedAtMost).join(u'\n');
    if (shown.size() > namedAtMost)
        text += QStringLiteral("\n…等 %1 个文件").arg(shown.size() - namedAtMost);
    box->setText(text);
    box->show();
}

} // namespace vellumi
