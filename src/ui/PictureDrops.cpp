#include "ui/PictureDrops.h"

#include "files/PictureImport.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QProgressDialog>
#include <QUrl>
#include <QWidget>

namespace vellumi {

PictureDrops::PictureDrops(QWidget* window, QString folder, std::function<bool()> welcome)
    : QObject(window)
    , window(window)
    , folder(std::move(folder))
    , welcome(std::move(welcome))
    , import(new PictureImport(this))
{
    connect(import, &PictureImport::finished, this, &PictureDrops::finished);
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

bool PictureDrops::welcomes() const
{
    return welcome() && !import->isRunning();
}

bool PictureDrops::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::DragEnter) {
        auto* enter = static_cast<QDragEnterEvent*>(event);
        welcomes() && enter->mimeData()->hasUrls() ? enter->acceptProposedAction() : enter->ignore();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        drop(static_cast<QDropEvent*>(event));
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void PictureDrops::drop(QDropEvent* event)
{
    if (!welcomes()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    QStringList files, refused;
    for (const QUrl& url : event->mimeData()->urls())
        url.isLocalFile() ? files << url.toLocalFile()
                          : refused << QStringLiteral("没有加入（不是本机的文件：%1）").arg(url.toDisplayString());
    // Refused at once, said at once, before any copying.
    if (!refused.isEmpty())
        emit finished({}, refused);
    if (files.isEmpty())
        return;
    auto* progress =
        new QProgressDialog(QStringLiteral("正在加入图片…"), QStringLiteral("取消"), 0, int(files.size()), window);
    progress->setObjectName(QStringLiteral("importProgress"));
    // Shown only when the copying takes long enough to be noticed.
    progress->setMinimumDuration(500);
    connect(progress, &QProgressDialog::canceled, import, &PictureImport::cancel);
    connect(import, &PictureImport::progressed, progress, &QProgressDialog::setValue);
    connect(import, &PictureImport::finished, progress, &QObject::deleteLater);
    import->start(files, folder);
}

} // namespace vellumi
