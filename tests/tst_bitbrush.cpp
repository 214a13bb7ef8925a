#include "RecordingSurface.h"

#include "effects/BitBrush.h"
#include "effects/EffectError.h"

#include <QTest>

#include <set>

using namespace vellumi;

namespace {

const QRgb colour0 = qRgb(10, 20, 30);
const QRgb colour1 = qRgb(200, 150, 100);

using Cell = std::set<std::pair<int, int>>;

// Fills a box with the given rows (row 1 first) and returns it.
QImage fill(const QStringList& rows, QSize outer = {24, 20})
{
    RecordingSurface box(outer);
    BitBrush brush;
    brush.DispPict(&box);
    for (int k = 1; k <= 8; ++k)
        brush.SetPattern(rows.value(k - 1).toStdString(), k);
    brush.SetuBitmap(10, 20, 30, 200, 150, 100);
    brush.BuildBitmap();
    brush.ShowPattern();
    return box.surface();
}

// The pixels of colour 1 must be exactly `ones`, repeated in every 8 × 8 cell from the top left,
// and every other pixel colour 0.
void expectCell(const QImage& image, const Cell& ones)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb want = ones.count({x % 8, y % 8}) ? colour1 : colour0;
            QVERIFY2(image.pixel(x, y) == want, qPrintable(QStringLiteral("pixel (%1, %2)").arg(x).arg(y)));
        }
}

const QStringList zeros(8, QStringLiteral("00000000"));

} // namespace

class BitBrushTest : public QObject {
    Q_OBJECT
private slots:
    void theCellIsTheTextTurnedHalfRound();
    void rowsAreCutOrPaddedToEightCharacters();
    void fillsTheWholeInteriorWhateverWasThere();
    void refusesBadArgumentsAndStoresNothing();
    void aBrushIsShownOnceAndThenGone();
};

void BitBrushTest::theCellIsTheTextTurnedHalfRound()
{
    expectCell(fill(zeros), {});
    expectCell(fill(QStringList(8, QStringLiteral("11111111"))), [] {
        Cell all;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                all.insert({x, y});
        return all;
    }());

    // Row 1 is the bottom row, and its first character the rightmost pixel.
    QStringList rows = zeros;
    rows[0] = QStringLiteral("10001000");
    expectCell(fill(rows), {{7, 7}, {3, 7}});

    // Row 8 is the top row: its one "0", the seventh character, is the second pixel from the left.
    rows = QStringList(8, QStringLiteral("11111111"));
    rows[7] = QStringLiteral("11111101");
    const QImage image = fill(rows);
    int zerosSeen = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            zerosSeen += image.pixel(x, y) == colour0;
    QCOMPARE(zerosSeen, 1);
    QCOMPARE(image.pixel(1, 0), colour0);
}

void BitBrushTest::rowsAreCutOrPaddedToEightCharacters()
{
    BitBrush brush;
    brush.SetPattern("1", 3);
    QCOMPARE(brush.patternRow(3), std::string("1       "));
    brush.SetPattern("000000011111", 2);
    QCOMPARE(brush.patternRow(2), std::string("00000001"));

    // Only an exact "1" counts; anything else in a row is a 0.
    QStringList rows = zeros;
    rows[2] = QStringLiteral("1");
    rows[1] = QStringLiteral("000000011111");
    rows[4] = QStringLiteral("x 0I-l0L");
    expectCell(fill(rows), {{7, 5}, {0, 6}});
}

void BitBrushTest::fillsTheWholeInteriorWhateverWasThere()
{
    // An interior that is not a multiple of 8 in either direction: the pattern still starts at
    // the top-left corner and runs to the last pixel.
    QStringList rows = zeros;
    rows[7] = QStringLiteral("00000001"); // top-left pixel of each cell
    const QImage image = fill(rows, {31, 15});
    QCOMPARE(image.size(), QSize(27, 11));
    expectCell(image, {{0, 0}});
}

void BitBrushTest::refusesBadArgumentsAndStoresNothing()
{
    BitBrush brush;
    brush.SetPattern("10101010", 1);
    QVERIFY_THROWS_EXCEPTION(EffectError, brush.SetPattern("11111111", 9));
    QVERIFY_THROWS_EXCEPTION(EffectError, brush.SetPattern("11111111", -1));
    QCOMPARE(brush.patternRow(1), std::string("10101010"));
    brush.SetPattern("11111111", 0); // kept, never drawn

    // No picture box yet: nothing can be built or drawn.
    QVERIFY_THROWS_EXCEPTION(EffectError, brush.BuildBitmap());
    QVERIFY_THROWS_EXCEPTION(EffectError, brush.ShowPattern());
    QVERIFY_THROWS_EXCEPTION(EffectError, brush.SelectBrush());
    QVERIFY_THROWS_EXCEPTION(EffectError, brush.DeleteBrush());

    RecordingSurface box({12, 12});
    brush.DispPict(&box);
    brush.SetuBitmap(10, 20, 30, 200, 150, 100);
    QVERIFY_THROWS_EXCEPTION(EffectError, brush.SetuBitmap(0, 0, 0, 0, 0, 256));
    QVERIFY_THROWS_EXCEPTION(EffectError, brush.SetuBitmap(-1, 0, 0, 0, 0, 0));
    // The refused colours left the earlier palette in place, and row 0 changed nothing.
    for (int k = 2; k <= 8; ++k)
        brush.SetPattern("00000000", k);
    brush.BuildBitmap();
    brush.ShowPattern();
    QCOMPARE(box.surface().pixel(1, 7), colour1);
    QCOMPARE(box.surface().pixel(0, 7), colour0);
    QCOMPARE(box.surface().pixel(1, 0), colour0);
}

void BitBrushTest::aBrushIsShownOnceAndThenGone()
{
    RecordingSurface box({12, 12});
    BitBrush brush;
    brush.DispPict(&box);
    brush.SetuBitmap(0, 0, 0, 255, 255, 255);
    QVERIFY_THROWS_EXCEPTION(EffectError, brush.ShowPattern()); // never built
    brush.BuildBitmap();
    brush.ShowPattern();
    QVERIFY_THROWS_EXCEPTION(EffectError, brush.ShowPattern());
    QVERIFY_THROWS_EXCEPTION(EffectError, brush.SelectBrush());

    brush.BuildBitmap();
    QVERIFY_THROWS_EXCEPTION(EffectError, brush.DeleteBrush()); // built, not selected
    brush.SelectBrush();
    brush.DeleteBrush();
    QVERIFY_THROWS_EXCEPTION(EffectError, brush.DeleteBrush());
    QVERIFY_THROWS_EXCEPTION(EffectError, brush.ShowPattern());
    QCOMPARE(box.frames.size(), 1); // only the one fill that was allowed drew anything
}

QTEST_GUILESS_MAIN(BitBrushTest)
#include "tst_bitbrush.moc"
