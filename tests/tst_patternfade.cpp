#include "RecordingSurface.h"

#include "effects/EffectError.h"
#include "effects/PatternFade.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using namespace vellumi;

namespace {

const QRgb black = 0xff000000;

// A picture without a single black pixel, different everywhere.
QImage testPicture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(1 + x % 250, 1 + y % 250, 1 + (x * y) % 250));
    return image;
}

// The fade's three boxes, set up as the main window sets them up: the source and the work box
// start at other sizes, the fade makes them the size of the visible box.
struct Boxes {
    RecordingSurface pic1{{57, 33}}, pic2{{45, 33}}, pic3{{84, 68}};
    PatternFade fade;
    QImage picture;

    Boxes()
    {
        fade.pic1(&pic1);
        fade.pic2(&pic2);
        fade.pic3(&pic3);
        fade.Setup();
        picture = testPicture(pic1.surface().size());
        pic1.surface() = picture;
    }
};

// Whether step k's pattern makes pixel (x, y) black: the table's text turned by 180°.
bool blackAt(int k, int x, int y)
{
    return PatternFade::steps[k][7 - y % 8][7 - x % 8] == '1';
}

bool allBlack(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != black)
                return false;
    return true;
}

int blackPerCell(int k)
{
    int count = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            count += blackAt(k, x, y);
    return count;
}

} // namespace

class PatternFadeTest : public QObject {
    Q_OBJECT
private slots:
    void setupLinesTheBoxesUp();
    void everyStepMasksThePictureWithItsPattern();
    void theStepsDarkenSteadilyAndNeverLighten();
    void fadeInEndsOnThePictureAndFadeOutOnBlack();
    void eachStepPausesForTheStepTime();
    void aFadeRequestedDuringAFadeWaitsItsTurn();
    void refusesToFadeBeforeSetup();
};

void PatternFadeTest::setupLinesTheBoxesUp()
{
    Boxes b;
    QCOMPARE(b.pic1.outerSize(), QSize(84, 68));
    QCOMPARE(b.pic2.outerSize(), QSize(84, 68));
    QVERIFY(b.pic1.autoRedraw && b.pic2.autoRedraw);
    QVERIFY(!b.pic3.autoRedraw);
}

void PatternFadeTest::everyStepMasksThePictureWithItsPattern()
{
    Boxes b;
    b.fade.FadeOut(0);
    QCOMPARE(b.pic3.frames.size(), PatternFade::stepCount);
    for (int k = 1; k <= PatternFade::stepCount; ++k) {
        const QImage& frame = b.pic3.frames[k - 1];
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x) {
                const QRgb want = blackAt(k, x, y) ? black : b.picture.pixel(x, y);
                if (frame.pixel(x, y) != want)
                    QFAIL(qPrintable(QStringLiteral("step %1, pixel (%2, %3)").arg(k).arg(x).arg(y)));
            }
    }
}

void PatternFadeTest::theStepsDarkenSteadilyAndNeverLighten()
{
    for (int k = 1; k <= PatternFade::stepCount; ++k)
        QCOMPARE(blackPerCell(k), k <= 16 ? 4 * (k - 1) : 60 + (k - 16));
    for (int k = 2; k <= PatternFade::stepCount; ++k)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                QVERIFY(!blackAt(k - 1, x, y) || blackAt(k, x, y));
    // Halfway, exactly every other pixel is black, in a checkerboard.
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            QCOMPARE(blackAt(9, x, y), blackAt(9, 0, 0) != ((x + y) % 2 == 1));
}

void PatternFadeTest::fadeInEndsOnThePictureAndFadeOutOnBlack()
{
    Boxes b;
    b.fade.FadeIn(0);
    QVERIFY(allBlack(b.pic3.frames.first()));
    QCOMPARE(b.pic3.surface(), b.picture);
    QCOMPARE(b.pic2.surface(), b.picture);

    b.fade.FadeOut(0); // the brushes are rebuilt for a second fade on the same object
    QCOMPARE(b.pic3.frames.size(), 2 * PatternFade::stepCount);
    QCOMPARE(b.pic3.frames[PatternFade::stepCount], b.picture);
    QVERIFY(allBlack(b.pic3.surface()));
}

void PatternFadeTest::eachStepPausesForTheStepTime()
{
    Boxes b;
    QElapsedTimer clock;
    clock.start();
    b.fade.FadeIn(10);
    // A lower bound only: how much longer it takes depends on the machine.
    QVERIFY(clock.elapsed() >= 20 * 10);
    b.fade.FadeOut(-5); // a negative step time is no pause at all
    QCOMPARE(b.pic3.frames.size(), 2 * PatternFade::stepCount);
}

void PatternFadeTest::aFadeRequestedDuringAFadeWaitsItsTurn()
{
    Boxes b;
    bool inner = false;
    QTimer::singleShot(15, [&] {
        b.fade.FadeIn(1);
        inner = true;
    });
    b.fade.FadeOut(5);
    QVERIFY(inner);
    // Twenty steps out, then twenty in: the second fade never broke into the first.
    QCOMPARE(b.pic3.frames.size(), 2 * PatternFade::stepCount);
    const QImage& endOfOut = b.pic3.frames[PatternFade::stepCount - 1];
    QCOMPARE(endOfOut.pixel(0, 0), black);
    QCOMPARE(endOfOut.pixel(1, 1), black);
    QCOMPARE(b.pic3.frames.last().pixel(1, 1), b.picture.pixel(1, 1));
    QVERIFY(!b.fade.isRunning());
}

void PatternFadeTest::refusesToFadeBeforeSetup()
{
    PatternFade fade;
    QVERIFY_THROWS_EXCEPTION(EffectError, fade.FadeIn(0));
    QVERIFY_THROWS_EXCEPTION(EffectError, fade.Setup());
}

QTEST_GUILESS_MAIN(PatternFadeTest)
#include "tst_patternfade.moc"
