#include "ui/InputHold.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>

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
    case QEvent::ContextMenu: return true;
    default: return false;
    }
}

} // namespace

InputHold::InputHold(const QWidget& commands)
    : commands(commands)
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
    // Accepted, the override keeps the shortcut from acting now; the key press follows and is
    // held like any other.
    if (event->type() == QEvent::ShortcutOverride && isCommandKey(event)) {
        event->accept();
        return true;
    }
    // Held at the window, or at the widget where it was sent straight; returning true stops it
    // there, so Qt never passes copies on, and it is delivered exactly once, later.
    if (!isUserInput(event) || !(receiver->isWidgetType() || receiver->isWindowType()))
        return false;
    held.push_back({receiver, std::unique_ptr<QEvent>(event->clone())});
    return true;
}

bool InputHold::isCommandKey(const QEvent* event) const
{
    const QKeySequence pressed(static_cast<const QKeyEvent*>(event)->keyCombination());
    const QList<QAction*> actions = commands.actions();
    return std::any_of(actions.begin(), actions.end(),
                       [&](const QAction* a) { return a->shortcuts().contains(pressed); });
}

} // namespace vellumi
