#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

namespace vellumi {

// While one exists, presses, releases, wheel turns and keys meant for the program's windows
// are held back, and when it goes they are posted again in the order they came: nothing a
// player does during a fade can act in the middle of it, and nothing is lost. Paint, timer and
// window-system events flow as usual. (Input still queued by the window system is held there
// by the fade's own event loop; this catches what is sent to a widget directly.)
class InputHold : public QObject {
    Q_OBJECT
public:
    InputHold();
    ~InputHold() override;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    struct Held {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };
    std::vector<Held> held;
};

} // namespace vellumi
