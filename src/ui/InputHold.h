#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class QWidget;

namespace vellumi {

// While one exists, presses, releases, wheel turns and keys meant for the program's windows
// are held back, and when it goes they are posted again in the order they came: nothing a
// player does during a fade can act in the middle of it, and nothing is lost. Paint, timer,
// close and other window-system events flow as usual.
//
// What the window system delivers is held at the window it came to, before it has been given
// to any control, so that when it is posted again it goes where it would have gone had it not
// been held: a key to the pop-up menu a held press opened, a press to what now lies under it.
// A key that is a shortcut of one of `commands`' actions waits too; posted again, Qt tries it
// against the shortcuts before anything else, as it does every key press it is handed.
class InputHold : public QObject {
    Q_OBJECT
public:
    explicit InputHold(const QWidget& commands);
    ~InputHold() override;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    struct Held {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };
    bool isCommandKey(const QEvent* event) const;

    const QWidget& commands;
    std::vector<Held> held;
};

} // namespace vellumi
