#include "effects/InputHold.h"

#include <QCoreApplication>
#include <QEvent>

namespace vellumi {

namespace {

bool isUserInput(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

} // namespace

InputHold::InputHold()
{
    QCoreApplication::instance()->installEventFilter(this);
}

InputHold::~InputHold()
{
    QCoreApplication::instance()->removeEventFilter(this);
    for (Held& h : held)
        if (h.receiver)
            QCoreApplication::postEvent(h.receiver, h.event.release());
}

bool InputHold::eventFilter(QObject* receiver, QEvent* event)
{
    // Held at the widget it is meant for. Returning true stops it there, so Qt never passes
    // copies up to the parents, and it is delivered exactly once, later.
    if (!isUserInput(event) || !receiver->isWidgetType())
        return false;
    held.push_back({receiver, std::unique_ptr<QEvent>(event->clone())});
    return true;
}

} // namespace vellumi
