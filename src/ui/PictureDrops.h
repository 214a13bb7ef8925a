#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QDropEvent;
class QWidget;

namespace vellumi {

class PictureImport;

// Pictures dropped on a window from a file manager join the player's own folder, when the
// window welcomes them. A drag keeps the welcome it had as it entered; the drop is judged
// again. One drop is copied at a time, off the window's thread, with a progress box that can
// cancel it once the copying takes long enough to be noticed.
class PictureDrops : public QObject {
    Q_OBJECT
public:
    PictureDrops(QWidget* window, QString folder, std::function<bool()> welcome);

signals:
    // Where the copies went, in the order dropped, and a line for each file refused, in the
    // player's language. What is not a local file is refused at the drop.
    void finished(const QStringList& copied, const QStringList& refused);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool welcomes() const;
    void drop(QDropEvent* event);

    QWidget* window;
    QString folder;
    std::function<bool()> welcome;
    PictureImport* import;
};

} // namespace vellumi
