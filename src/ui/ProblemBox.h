#pragma once

#include <QPointer>
#include <QStringList>

class QMessageBox;
class QWidget;

namespace vellumi {

// How the player is told of problems that do not stop the game: files that cannot be shown or
// kept, settings set aside. However many come at once, one box tells of them, named on
// standard error too. The box stays open beside the game and takes in what comes while it is
// open; once closed, the next problem has a box of its own.
class ProblemBox {
public:
    explicit ProblemBox(QWidget* window)
        : window(window)
    {
    }

    void tell(const QStringList& problems);

private:
    QWidget* window;
    QPointer<QMessageBox> box;
    QStringList shown;
};

} // namespace vellumi
