#pragma once

#include <QObject>

#include <array>

class QMainWindow;
class QMenu;

namespace vellumi {

class MainForm;
class Settings;

// The player's zoom of the whole window, its controls, captions and pictures together: Ctrl+=
// (or Ctrl++) a step larger, Ctrl+- a step smaller, Ctrl+0 back to the design's size. Never
// larger than the screen's free area, and remembered. Also follows the window to a screen of
// another device pixel ratio, so that what it shows stays sharp there.
class WindowZoom : public QObject {
    Q_OBJECT
public:
    static constexpr std::array<int, 6> steps{100, 125, 150, 200, 250, 300}; // percent

    WindowZoom(QMainWindow& window, MainForm& form, QMenu& menu, Settings& settings);

    int percent() const { return current; }
    void zoomIn();
    void zoomOut();
    void reset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The step nearest `wanted` that fits on the screen.
    void apply(int wanted, bool remember);
    bool fits(int percent) const;
    void followScreen();

    QMainWindow& window;
    MainForm& form;
    QMenu& menu;
    Settings& settings;
    int current = 100;
    bool screenFollowed = false;
};

} // namespace vellumi
