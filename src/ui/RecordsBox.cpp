#include "ui/RecordsBox.h"

#include "ui/DesignControls.h"
#include "ui/ProgressLabel.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vellumi {

void showRecordsBox(QWidget* parent, const Records& records, const Records::Key& current, const QString& currentName)
{
    auto* box = new QDialog(parent);
    box->setObjectName(QStringLiteral("recordsBox"));
    box->setWindowTitle(QStringLiteral("成绩记录"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    std::vector<std::pair<Records::Key, Record>> rows{{current, {}}};
    if (const auto it = records.all().find(current); it != records.all().end())
        rows.front().second = it->second;
    for (const auto& [key, record] : records.all())
        if (key != current)
            rows.emplace_back(key, record);

    auto* table = new QTableWidget(int(rows.size()), 5, box);
    table->setHorizontalHeaderLabels({QStringLiteral("图片"), QStringLiteral("难易度"), QStringLiteral("最少步数"),
                                      QStringLiteral("最短时间"), QStringLiteral("完成次数")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    const QString none = QStringLiteral("—");
    for (int row = 0; row < int(rows.size()); ++row) {
        const auto& [key, record] = rows[std::size_t(row)];
        const QStringList cells{
            row == 0 ? QStringLiteral("%1（当前）").arg(currentName) : QString::fromStdString(record.name),
            design::difficultyCaption(key.second).section(u':', 1),
            record.fewestMoves ? QString::number(*record.fewestMoves) : none,
            record.shortestMilliseconds ? ProgressLabel::timeText(*record.shortestMilliseconds) : none,
            QString::number(record.finished)};
        for (int column = 0; column < cells.size(); ++column)
            table->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    table->resizeColumnsToContents();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, box);
    QObject::connect(buttons, &QDialogButtonBox::rejected, box, &QDialog::reject);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(table);
    layout->addWidget(buttons);
    box->resize(460, 260);
    box->open();
}

} // namespace vellumi
