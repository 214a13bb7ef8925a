#include "WindowDriver.h"

#include "files/PictureFile.h"
#include "ui/Artwork.h"
#include "ui/DeviceGrid.h"
#include "ui/MainForm.h"
#include "ui/WindowZoom.h"

#include <QFontInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>

// The window on a screen of any device pixel ratio (this program runs once for each, with
// QT_SCALE_FACTOR set) and at any zoom: every line whole device pixels thick and in its place,
// every picture at the screen's own resolution.
namespace vellumi {

namespace {

MainForm& formOf(const MainWindow& w)
{
    return *static_cast<MainForm*>(w.centralWidget());
}

// The form as its device pixels show it.
QImage devicePixels(const MainWindow& w)
{
    QImage image = w.centralWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    return image;
}

// Where the pixels of `rect` are not all `colour`, the first one that is not; an empty string if all are.
QString notAll(const QImage& image, const QRect& rect, const QColor& colour)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixel(x, y) != colour.rgb())
                return QStringLiteral("(%1, %2) of %3,%4 %5×%6")
                    .arg(x)
                    .arg(y)
                    .arg(rect.x())
                    .arg(rect.y())
                    .arg(rect.width())
                    .arg(rect.height());
    return {};
}

#define VERIFY_ALL(image, rect, colour)                                                                                \
    do {                                                                                                               \
        const QString where = notAll(image, rect, colour);                                                             \
        QVERIFY2(where.isEmpty(), qPrintable(where));                                                                  \
    } while (false)

QImage scaledArt(const QImage& art, double factor)
{
    return art.scaled(int(std::lround(art.width() * factor)), int(std::lround(art.height() * factor)),
                      Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace

class ScalingTest : public WindowTest {
    Q_OBJECT
private slots:
    void init() { clearHome(); }
    void everyLineIsWholeAndInPlace();
    void theBoardHasNoSeamGapOrCutRow_data();
    void theBoardHasNoSeamGapOrCutRow();
    void zoomScalesTheWholeWindow();
    void anOwnPhotoIsSharpOnAScaledScreen();
    void anotherScreenRedrawsAtItsRatio();
    void thePictureIsHeldOnce();

private:
    // Between games: the frame hugs the display, every line is as thick as a line is at this
    // scale, and the display shows the picture read at the screen's resolution, untouched.
    void checkBetweenGames(const MainWindow& w);
    // During a game: the tiles as a stack of pieces, each framed by a border one line thick,
    // where each tile's border lies over its neighbour's, so that no separator is doubled.
    void checkBoard(const MainWindow& w);
};

void ScalingTest::checkBetweenGames(const MainWindow& w)
{
    const DeviceGrid& grid = formOf(w).grid();
    const int t = grid.line();
    const QImage form = devicePixels(w);
    const QRect d = control<PictureBox>(w, "Picture3")->deviceGeometry();
    QString why;
    QCOMPARE(form.copy(d.adjusted(2 * t, 2 * t, -2 * t, -2 * t)),
             loadPicture(dir.filePath("image/angle1.jpg"), &why, DeviceGrid::pictureSize(grid.factor())));
    const auto colour = [](SystemColour c) { return systemColour(c); };
    const QPalette& pal = QApplication::palette();
    // The display's sunken edge, two lines deep.
    VERIFY_ALL(form, QRect(d.left(), d.top(), d.width() - t, t), pal.color(QPalette::Dark));
    VERIFY_ALL(form, QRect(d.left() + t, d.top() + t, t, d.height() - 3 * t), pal.color(QPalette::Shadow));
    VERIFY_ALL(form, QRect(d.left(), d.bottom() + 1 - t, d.width(), t), pal.color(QPalette::Light));
    VERIFY_ALL(form, QRect(d.right() + 1 - 2 * t, d.top() + t, t, d.height() - 2 * t), pal.color(QPalette::Midlight));
    // The frame around it: dark above and left, touching it; light right, touching it, and
    // below, one line away.
    VERIFY_ALL(form, QRect(d.left() - t, d.top() - t, d.width() + 2 * t, t), colour(SystemColour::WindowFrame));
    VERIFY_ALL(form, QRect(d.left() - t, d.top() - t, t, d.height() + t), colour(SystemColour::WindowFrame));
    VERIFY_ALL(form, QRect(d.right() + 1, d.top(), t, d.height() + t), colour(SystemColour::Window));
    VERIFY_ALL(form, QRect(d.left() - t, d.bottom() + 1, d.width() + t, t), colour(SystemColour::Menu));
    VERIFY_ALL(form, QRect(d.left() - t, d.bottom() + 1 + t, d.width(), t), colour(SystemColour::Window));
    // No line is thicker than a line.
    VERIFY_ALL(form, QRect(d.left(), d.top() - t - 1, d.width(), 1), colour(SystemColour::Menu));
    VERIFY_ALL(form, QRect(d.left() - t - 1, d.top(), 1, d.height()), colour(SystemColour::Menu));
    VERIFY_ALL(form, QRect(d.right() + t + 1, d.top(), 1, d.height()), colour(SystemColour::Menu));
    VERIFY_ALL(form, QRect(d.left(), d.bottom() + 2 * t + 1, d.width(), 1), colour(SystemColour::Menu));
    // The etched lines under the menu bar and above the bottom bar: dark over light.
    for (const int top : {grid.y(0), grid.y(384)}) {
        const QRect across(grid.x(top ? 4 : 0), top, grid.x(top ? 496 : 497) - grid.x(top ? 4 : 0), t);
        VERIFY_ALL(form, across.intersected(form.rect()), colour(SystemColour::InactiveCaption));
        VERIFY_ALL(form, across.translated(0, t).intersected(form.rect()), colour(SystemColour::Window));
        VERIFY_ALL(form, across.translated(0, 2 * t).intersected(form.rect()), colour(SystemColour::Menu));
    }
    // The buttons' art, each of its pixels a block of device pixels: at 2, the 1× pictures doubled.
    for (auto [name, art, golden] : {std::tuple{"imgchage", artwork::difficultyButton(), "difficulty"},
                                     {"imgprev", artwork::previousButton(), "previous"},
                                     {"imgnext", artwork::nextButton(), "next"}}) {
        const QImage shown = form.copy(control<ImageControl>(w, name)->deviceGeometry());
        QCOMPARE(shown, scaledArt(art, grid.factor()).convertToFormat(QImage::Format_RGB32));
        if (grid.factor() == 2)
            QCOMPARE(shown, QImage(QFINDTESTDATA(QStringLiteral("artwork/%1.png").arg(golden)))
                                .scaled(shown.size())
                                .convertToFormat(QImage::Format_RGB32));
    }
}

void ScalingTest::checkBoard(const MainWindow& w)
{
    const GameState& game = w.state();
    const int n = game.gridSize, t = formOf(w).grid().line();
    const QImage form = devicePixels(w);
    QString why;
    const QImage whole = loadPicture(dir.filePath("image/angle1.jpg"), &why, formOf(w).pictureSize());
    const QSize piece(whole.width() / n, whole.height() / n);
    QImage expected = form;
    QPainter painter(&expected);
    for (int k = 0; k < n * n; ++k) {
        if (k == game.blankPos)
            continue;
        const QRect at = tile(w, k)->deviceGeometry();
        QCOMPARE(at.size(), piece + QSize(2 * t, 2 * t));
        painter.fillRect(at, Qt::black);
        const int p = game.board[k];
        painter.drawImage(at.topLeft() + QPoint(t, t),
                          whole.copy(p % n * piece.width(), p / n * piece.height(), piece.width(), piece.height()));
        // Its right and lower neighbours' borders lie over its own, whole: one separator, one line thick.
        if (k % n + 1 < n) {
            const QRect right = tile(w, k + 1)->deviceGeometry();
            QVERIFY(right.left() <= at.right() + 1 - t && right.left() > at.right() - 2 * t);
        }
        if (k / n + 1 < n) {
            const QRect below = tile(w, k + n)->deviceGeometry();
            QVERIFY(below.top() <= at.bottom() + 1 - t && below.top() > at.bottom() - 2 * t);
        }
    }
    painter.end();
    QCOMPARE(form, expected);
}

void ScalingTest::everyLineIsWholeAndInPlace()
{
    const auto w = openedWindow();
    checkBetweenGames(*w);
}

void ScalingTest::theBoardHasNoSeamGapOrCutRow_data()
{
    QTest::addColumn<int>("gridSize");
    for (int n = 3; n <= 6; ++n)
        QTest::addRow("%d × %d", n, n) << n;
}

void ScalingTest::theBoardHasNoSeamGapOrCutRow()
{
    QFETCH(int, gridSize);
    const auto w = openedWindow();
    w->setRandomSource(seeded(gridSize));
    const QRect d = control<PictureBox>(*w, "Picture3")->deviceGeometry();
    const int t = formOf(*w).grid().line();
    // The display with its frame, and what tiles could cover beyond it.
    const QRect framed = d.adjusted(-3 * t, -3 * t, 3 * t, 3 * t);
    const QImage browsing = devicePixels(*w).copy(framed);
    while (w->state().gridSize != gridSize)
        QTest::keyClick(w.get(), Qt::Key_Up);
    startGame(*w);
    checkBoard(*w);
    // The whole picture in place of the board covers it exactly, frame and all.
    QTest::keyPress(w.get(), Qt::Key_Space);
    QCOMPARE(devicePixels(*w).copy(framed), browsing);
    QTest::keyRelease(w.get(), Qt::Key_Space);
    checkBoard(*w);
}

void ScalingTest::zoomScalesTheWholeWindow()
{
    auto w = openedWindow();
    const double ratio = w->devicePixelRatioF();
    const QSize designSize = w->size();
    const QSize free = w->screen()->availableGeometry().size();
    if (designSize.width() * 1.25 > free.width() || designSize.height() * 1.25 > free.height())
        QSKIP("wants a screen with room for a larger window");
    const auto zoom = [&w](Qt::Key key) {
        QTest::keyClick(w.get(), key, Qt::ControlModifier);
        return formOf(*w).grid().factor() / w->devicePixelRatioF();
    };
    QCOMPARE(zoom(Qt::Key_Equal), 1.25);
    // Lines stay whole device pixels, so the window grows by the zoom near enough, not exactly.
    QVERIFY(std::abs(w->width() / (designSize.width() * 1.25) - 1) < 0.01);
    QCOMPARE(QFontInfo(control<QLabel>(*w, "labchage")->font()).pixelSize(), 15);
    // The moves and time: their room grows with their text, and still ends where the menu bar does.
    const auto* progress = control<QLabel>(*w, "progress");
    QVERIFY(progress->width() >
            progress->fontMetrics().horizontalAdvance(QStringLiteral("完成！99999 步  99:59:59  用了提示，不计纪录")));
    QCOMPARE(progress->geometry().right(), w->menuBar()->geometry().right());
    QCOMPARE(shownPicture(*w).size(), DeviceGrid::pictureSize(1.25 * ratio));
    checkBetweenGames(*w);
    // As large as the screen allows, and no larger.
    for (int i = 0; i < 6; ++i)
        zoom(Qt::Key_Plus);
    QVERIFY(w->frameGeometry().width() <= free.width() && w->frameGeometry().height() <= free.height());
    const double largest = formOf(*w).zoom();
    QVERIFY(largest >= 1.25);
    if (free.height() == 1080 && ratio == 1)
        QCOMPARE(largest, 2.0); // 250 % would be 1110 pixels high
    // Remembered.
    w.reset();
    w = openedWindow();
    QCOMPARE(formOf(*w).zoom(), largest);
    const auto step = std::find(WindowZoom::steps.begin(), WindowZoom::steps.end(), int(std::lround(largest * 100)));
    QCOMPARE(zoom(Qt::Key_Minus), *std::prev(step) / 100.0);
    QCOMPARE(zoom(Qt::Key_0), 1.0);
    QCOMPARE(w->size(), designSize);
    QCOMPARE(zoom(Qt::Key_Minus), 1.0);
}

// A photo far larger than the display gives every tile the detail of the screen's pixels, not
// that of a design-sized picture blown up.
void ScalingTest::anOwnPhotoIsSharpOnAScaledScreen()
{
    auto w = openedWindow();
    if (formOf(*w).grid().factor() < 2)
        QSKIP("wants a ratio of 2 or more");
    // A checkerboard of 2 × 2 blocks: at the design's size it is all grey.
    QImage photo(1920, 1440, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, (x / 2 + y / 2) % 2 ? qRgb(240, 200, 60) : qRgb(20, 40, 160));
    QVERIFY(QDir().mkpath(dir.filePath("own")) && photo.save(dir.filePath("own/photo.png")));
    QTest::keyClick(w.get(), Qt::Key_Left); // from the first picture back to the last: the photo
    QVERIFY(QTest::qWaitFor([&] { return shownPicture(*w).size() == formOf(*w).pictureSize(); }));
    const QSize size = formOf(*w).pictureSize();
    QString why;
    const QImage sharp = loadPicture(dir.filePath("own/photo.png"), &why, size);
    const QImage blownUp =
        loadPicture(dir.filePath("own/photo.png"), &why).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QVERIFY(QTest::qWaitFor([&] { return shownPicture(*w) == sharp; }));
    startGame(*w);
    const QImage piece = tile(*w, 0)->picture();
    const auto differences = [&piece](const QImage& other) {
        int count = 0;
        for (int y = 0; y < piece.height(); ++y)
            for (int x = 0; x < piece.width(); ++x)
                count += std::abs(qRed(piece.pixel(x, y)) - qRed(other.pixel(x, y))) > 16;
        return count;
    };
    const int p = w->state().board[0], n = w->state().gridSize;
    const QRect cell(p % n * piece.width(), p / n * piece.height(), piece.width(), piece.height());
    QCOMPARE(differences(sharp.copy(cell)), 0);
    QVERIFY(differences(blownUp.copy(cell)) > piece.width() * piece.height() / 10);
}

// The window moved to a screen of another ratio draws everything anew for it.
void ScalingTest::anotherScreenRedrawsAtItsRatio()
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() < 2 || screens[0]->devicePixelRatio() == screens[1]->devicePixelRatio())
        QSKIP("wants two screens of different ratios");
    const auto w = openedWindow();
    startGame(*w);
    for (QScreen* screen : {screens[1], screens[0], screens[1]}) {
        w->windowHandle()->setScreen(screen);
        QVERIFY(QTest::qWaitFor([&] { return formOf(*w).grid().factor() == screen->devicePixelRatio(); }));
        QCOMPARE(tile(*w, 0)->picture().width(), int(std::lround(480 * screen->devicePixelRatio())) / 3);
        checkBoard(*w);
    }
}

// At a high zoom a picture is tens of megabytes: the fade's source box and the tiles show the
// picture read, not copies of it; the fade draws on a copy of its own, and its work box lets go
// of its pixels when a fade ends.
void ScalingTest::thePictureIsHeldOnce()
{
    const auto w = openedWindow();
    auto* source = control<PictureBox>(*w, "Picture1");
    auto* work = control<PictureBox>(*w, "Picture2");
    const auto checkWorkLetGo = [work] {
        const QImage& left = work->surface();
        VERIFY_ALL(left, left.rect(), QColor(left.pixel(0, 0)));
        QVERIFY(left.pixel(0, 0) != qRgb(0, 0, 0));
    };
    checkWorkLetGo(); // after the opening fade in, which ends on the picture itself
    startGame(*w);
    checkWorkLetGo(); // after the fade out, which ends on black

    const QImage picture = source->picture();
    QString why;
    QCOMPARE(picture,
             loadPicture(dir.filePath("image/angle1.jpg"), &why, DeviceGrid::pictureSize(formOf(*w).grid().factor())));
    QCOMPARE(source->surface().constBits(), picture.constBits());
    const uchar* first = picture.constBits();
    const uchar* end = first + picture.sizeInBytes();
    for (int k = 0; k < 9; ++k) {
        const QImage piece = tile(*w, k)->picture();
        QVERIFY2(piece.constBits() >= first && piece.constBits() < end, qPrintable(QString::number(k)));
    }
}

} // namespace vellumi

int main(int argc, char* argv[])
{
    vellumi::ScalingTest test;
    return vellumi::runWindowTests(argc, argv, test);
}

#include "tst_scaling.moc"
