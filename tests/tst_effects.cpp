#include "effects/BitBrush.h"
#include "effects/PatternFade.h"

#include <QElapsedTimer>
#include <QTest>

#include <bitset>
#include <memory>

using namespace vellumi;

namespace {

const QRgb white = 0xffffffff;
const QRgb black = 0xff000000;

// A picture box without a widget: an outer size with a 2-pixel border, an interior image, and a
// copy of the interior each time it is told it changed, so that every fade step can be looked at.
struct RecordingSurface : PictureSurface {
    explicit RecordingSurface(QSize outer) { setOuterSize(outer); }
    QSize outerSize() const override { return outer; }
    void setOuterSize(QSize size) override
    {
        outer = size;
        image = QImage(size - QSize(4, 4), QImage::Format_RGB32);
        image.fill(qRgb(1, 2, 3));
    }
    QImage& surface() override { return image; }
    void surfaceChanged() override { frames.append(image.copy()); }

    QSize outer;
    QImage image;
    QList<QImage> frames;
};

// The stored word, alpha included: QImage::pixel() would hide a cleared alpha byte.
QRgb word(const QImage& image, int x, int y)
{
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
}

// The three boxes as the main window has them: source and work start at other sizes. The picture
// has no black pixel and is smaller than the box, so the AND's extent shows.
struct Boxes {
    RecordingSurface source{{57, 33}}, work{{45, 33}}, target{{84, 68}};
    PatternFade fade{source, work, target};
    QImage picture{source.image.size() - QSize(5, 3), QImage::Format_RGB32};

    Boxes()
    {
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(1 + x % 250, 1 + y % 250, 1 + (x * y) % 250));
        source.image = picture;
    }
    // The design's 20 patterns as looked at, step 1 to 20 from left to right.
    QImage patterns = QImage(QFINDTESTDATA("artwork/fade.png")).convertToFormat(QImage::Format_RGB32);
    // What step k must show: its pattern, each of its cells `cell` pixels square, black on the
    // picture (white beyond it, where the work surface keeps the brush).
    QRgb expected(int k, int x, int y, int cell = 1) const
    {
        const bool masked = patterns.pixel((k - 1) * 8 + x / cell % 8, y / cell % 8) == black;
        return masked ? black : picture.valid(x, y) ? picture.pixel(x, y) : white;
    }
};

} // namespace

class EffectsTest : public QObject {
    Q_OBJECT
private slots:
    void brushCell_data()
    {
        QTest::addColumn<int>("row"); // the one row set; the others are all "0"
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<QPoint>>("ones"); // where colour 1 lies in each on-screen cell
        QTest::newRow("row 1 is the bottom, read right to left") << 1 << "10001000" << QList<QPoint>{{7, 7}, {3, 7}};
        QTest::newRow("row 8 is the top") << 8 << "00000010" << QList<QPoint>{{1, 0}};
        QTest::newRow("short row padded") << 3 << "1" << QList<QPoint>{{7, 5}};
        QTest::newRow("long row cut") << 2 << "000000011111" << QList<QPoint>{{0, 6}};
        QTest::newRow("only '1' counts, and the brush covers what was there") << 5 << "x 0I-l0L" << QList<QPoint>{};
    }

    void brushCell()
    {
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(QList<QPoint>, ones);
        RecordingSurface box({31, 15}); // an interior of 27 × 11: no whole number of cells
        BitBrush brush;
        for (int k = 1; k <= 8; ++k)
            brush.setRow(k, k == row ? text.toStdString() : "00000000");
        // Rows other than 1 … 8 are refused and change nothing.
        QVERIFY(!brush.setRow(0, "11111111") && !brush.setRow(9, "11111111"));
        brush.setColours(white, black);
        brush.build();
        brush.fill(box);
        QCOMPARE(box.frames.size(), 1);
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 27; ++x)
                QVERIFY2(word(box.image, x, y) == (ones.contains(QPoint(x % 8, y % 8)) ? black : white),
                         qPrintable(QStringLiteral("pixel (%1, %2)").arg(x).arg(y)));
    }

    // A fade in, and a fade out started from its `then`: every frame must be the picture under
    // the mask of the right step, 20 … 1 and then 1 … 20, lined up with the visible box. On a
    // scaled screen the pattern's cells are whole squares of device pixels.
    void everyFrameIsThePictureUnderItsStepsMask_data()
    {
        QTest::addColumn<int>("cell");
        QTest::newRow("the design's size") << 1;
        QTest::newRow("ratios 1.5 to 2.49") << 2;
        QTest::newRow("ratios 2.5 to 3.49") << 3;
    }
    void everyFrameIsThePictureUnderItsStepsMask()
    {
        QFETCH(int, cell);
        Boxes b;
        b.fade.setPixelSize(cell);
        QVERIFY(b.source.outerSize() == QSize(84, 68) && b.work.outerSize() == QSize(84, 68));
        bool done = false;
        b.fade.fadeIn(0, [&] { b.fade.fadeOut(0, [&] { done = true; }); });
        QTRY_VERIFY(done);
        const int n = PatternFade::stepCount;
        QCOMPARE(b.target.frames.size(), 2 * n);
        for (int i = 0; i < 2 * n; ++i) {
            const int k = i < n ? n - i : i - n + 1;
            const QImage& frame = b.target.frames[i];
            for (int y = 0; y < frame.height(); ++y)
                for (int x = 0; x < frame.width(); ++x)
                    if (word(frame, x, y) != b.expected(k, x, y, cell))
                        QFAIL(qPrintable(QStringLiteral("frame %1, pixel (%2, %3)").arg(i).arg(x).arg(y)));
        }
    }

    // Each step masks what the step before did and more, from nothing to all 64 dots.
    void theMaskGrowsStepByStep()
    {
        std::bitset<64> before;
        for (int k = 1; k <= PatternFade::stepCount; ++k) {
            std::bitset<64> mask;
            for (int i = 0; i < 64; ++i)
                mask[std::size_t(i)] = PatternFade::steps[k][i / 8][i % 8] == '1';
            QVERIFY2((mask & before) == before && (k == 1 || mask.count() > before.count()),
                     qPrintable(QString::number(k)));
            before = mask;
        }
        QCOMPARE(before.count(), 64u);
    }

    void thenRunsOnceAfterTheWholeFade()
    {
        Boxes b;
        int calls = 0;
        QElapsedTimer clock;
        clock.start();
        b.fade.fadeIn(20, [&] {
            ++calls;
            QCOMPARE(b.target.frames.size(), PatternFade::stepCount);
            QVERIFY(!b.fade.isRunning());
            QCOMPARE_GE(clock.elapsed(), qint64(20 * 20)); // timers never fire early
        });
        QCOMPARE(b.target.frames.size(), 1); // the first step is on screen at once
        QVERIFY(b.fade.isRunning());
        QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 10000);
        QTest::qWait(60);
        QCOMPARE(calls, 1);
    }

    // The window's zoom or another screen can resize the boxes between steps: each step draws
    // within each box as it is then, and the fade still ends all black.
    void boxesResizedDuringAFadeAreDrawnWithin()
    {
        Boxes b;
        bool done = false;
        b.fade.fadeOut(5, [&] { done = true; });
        b.target.setOuterSize({40, 30});
        b.source.setOuterSize({100, 90});
        QTRY_VERIFY(done);
        const QImage last = b.target.frames.last();
        QCOMPARE(last.size(), QSize(36, 26));
        for (int y = 0; y < last.height(); ++y)
            for (int x = 0; x < last.width(); ++x)
                QCOMPARE(word(last, x, y), black);
    }

    void destroyingAFadeStopsIt()
    {
        RecordingSurface source({20, 20}), work({20, 20}), target({20, 20});
        bool done = false;
        auto fade = std::make_unique<PatternFade>(source, work, target);
        fade->fadeOut(0, [&] { done = true; });
        fade.reset();
        QTest::qWait(30);
        QVERIFY(!done && target.frames.size() == 1);
    }
};

QTEST_GUILESS_MAIN(EffectsTest)
#include "tst_effects.moc"
