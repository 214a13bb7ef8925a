#include "ui/WindowZoom.h"

#include "files/Settings.h"
#include "ui/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace vellumi {

namespace {

const QString zoomKey = QStringLiteral("window/zoom");

} // namespace

WindowZoom::WindowZoom(QMainWindow& window, MainForm& form, QMenu& menu, Settings& settings)
    : QObject(&window)
    , window(window)
    , form(form)
    , menu(menu)
    , settings(settings)
{
    const auto key = [this](const char* name, const QList<QKeySequence>& keys, void (WindowZoom::*command)()) {
        auto* action = new QAction(&this->window);
        action->setObjectName(QLatin1String(name));
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, command);
        this->window.addAction(action);
    };
    key("zoomInKey", {Qt::CTRL | Qt::Key_Equal, Qt::CTRL | Qt::Key_Plus}, &WindowZoom::zoomIn);
    key("zoomOutKey", {Qt::CTRL | Qt::Key_Minus}, &WindowZoom::zoomOut);
    key("zoomResetKey", {Qt::CTRL | Qt::Key_0}, &WindowZoom::reset);
    window.installEventFilter(this);
    const int saved = settings.number(zoomKey, steps.front());
    apply(std::find(steps.begin(), steps.end(), saved) != steps.end() ? saved : steps.front(), false);
}

void WindowZoom::zoomIn()
{
    const auto larger = std::upper_bound(steps.begin(), steps.end(), current);
    if (larger != steps.end() && fits(*larger))
        apply(*larger, true);
}

void WindowZoom::zoomOut()
{
    const auto smaller = std::lower_bound(steps.begin(), steps.end(), current);
    if (smaller != steps.begin())
        apply(*std::prev(smaller), true);
}

void WindowZoom::reset()
{
    apply(steps.front(), true);
}

void WindowZoom::apply(int wanted, bool remember)
{
    if (window.layout())
        window.layout()->activate();
    int chosen = steps.front();
    for (const int step : steps)
        if (step <= wanted && fits(step))
            chosen = step;
    const bool changed = chosen != current;
    current = chosen;
    if (remember)
        settings.setNumber(zoomKey, chosen);
    QFont font = QApplication::font();
    font.setPixelSize(static_cast<int>(std::lround(QFontInfo(QApplication::font()).pixelSize() * chosen / 100.0)));
    // The menu bar and the captions over it follow the window's font; the menu is a window of
    // its own.
    window.setFont(font);
    menu.setFont(font);
    if (changed || form.zoom() != chosen / 100.0)
        form.setZoom(chosen / 100.0);
    // The window takes its new size now, so that the next step is weighed against it, and
    // stays whole on the screen.
    if (window.layout())
        window.layout()->activate();
    if (const QScreen* screen = window.screen(); screen && window.isVisible()) {
        const QRect free = screen->availableGeometry();
        const QRect frame = window.frameGeometry();
        window.move(std::clamp(frame.left(), free.left(), std::max(free.left(), free.right() + 1 - frame.width())),
                    std::clamp(frame.top(), free.top(), std::max(free.top(), free.bottom() + 1 - frame.height())));
    }
}

// The window's frame and menu bar grow with it, near enough in proportion.
bool WindowZoom::fits(int percent) const
{
    const QScreen* screen = window.screen();
    if (!screen)
        return percent == steps.front();
    const double scale = double(percent) / current;
    const QSize frame = window.frameGeometry().size() - window.size();
    const QSize content = window.size();
    const QSize needed(static_cast<int>(std::lround(content.width() * scale)) + frame.width(),
                       static_cast<int>(std::lround(content.height() * scale)) + frame.height());
    const QSize free = screen->availableGeometry().size();
    return percent == steps.front() || (needed.width() <= free.width() && needed.height() <= free.height());
}

bool WindowZoom::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window) {
        if (event->type() == QEvent::Show && !screenFollowed)
            followScreen();
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
        if (event->type() == QEvent::DevicePixelRatioChange)
            form.relayout();
#endif
    }
    return QObject::eventFilter(watched, event);
}

// On another screen the window may be too large, or its device pixels of another size.
void WindowZoom::followScreen()
{
    QWindow* handle = window.windowHandle();
    if (!handle)
        return;
    screenFollowed = true;
    connect(handle, &QWindow::screenChanged, this, [this] {
        form.relayout();
        if (!fits(current))
            apply(current, false);
    });
    if (!fits(current))
        apply(current, false);
}

} // namespace vellumi
