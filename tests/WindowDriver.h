#pragma once

#include "game/Scramble.h"
#include "ui/MainWindow.h"

#include <QMenu>
#include <QMessageBox>
#include <QTest>

#include <random>

// Finding and driving the main window's controls by their design names, for the tests of the
// window.
namespace vellumi {

// The scramble walks the blank left and right from its corner: an odd number of moves (3 × 3)
// leaves the board one slide from home, blank at cell 7; an even one (4 × 4) leaves it in order.
inline Rnd leftAndRight()
{
    return [i = 0]() mutable { return (i++ % 2) ? 0.3f : 0.1f; };
}

inline Rnd seeded(int seed)
{
    return
        [generator = std::mt19937(seed)]() mutable { return std::uniform_real_distribution<float>(0, 1)(generator); };
}

template <typename T = QWidget>
T* control(const QWidget& w, const QString& name)
{
    T* found = w.findChild<T*>(name);
    return found ? found : (qFatal("no control %s", qPrintable(name)), nullptr);
}

inline QAction* command(const QWidget& w, const char* name)
{
    return control<QMenu>(w, "E_games")->findChild<QAction*>(name);
}
// What the problem box tells, a line a problem; nothing when there is none.
inline QStringList told(const QWidget& w)
{
    const auto* box = w.findChild<QMessageBox*>();
    return box ? box->text().split('\n') : QStringList();
}

inline bool settled(const MainWindow& w)
{
    return QTest::qWaitFor([&] { return w.isEnabled() && !w.isFading(); }, 10000);
}

} // namespace vellumi
