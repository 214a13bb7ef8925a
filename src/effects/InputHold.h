#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

namespace vellumi {

// While one exists, presses, releases, wheel turns and keys meant for the program's windows
// are held back, and when it goes they are posted again in the order they came: nothing a
// player does during a fade can act in the middle of it, and nothing is lost. Paint, timer,
// close and other window-system events flow as usual.
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
