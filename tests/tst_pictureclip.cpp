#include "ui/PictureClip.h"

#include <QPainter>
#include <QTest>

using namespace vellumi;

namespace {

// Every pixel different, so a cell cut from the wrong place cannot pass for the right one.
QImage numberedPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x & 0xff, y & 0xff, (x >> 8) * 16 + (y >> 8)));
    return image;
}

} // namespace

class PictureClipTest : public QObject {
    Q_OBJECT
private slots:
    void cellsPutBackTogetherGiveThePicture_data();
    void cellsPutBackTogetherGiveThePicture();
    void dropsTheSparePixelsAtTheRightAndBottom();
    void refusesWhatCannotBeCut();
};

void PictureClipTest::cellsPutBackTogetherGiveThePicture_data()
{
    QTest::addColumn<int>("n");
    for (int n = 3; n <= 6; ++n)
        QTest::addRow("%dx%d", n, n) << n;
}

void PictureClipTest::cellsPutBackTogetherGiveThePicture()
{
    QFETCH(int, n);
    const QImage picture = numberedPicture(480, 360);
    PictureClip clip;
    clip.setPicture(picture);
    clip.setRows(n);
    clip.setCols(n);

    QImage rebuilt(picture.size(), QImage::Format_RGB32);
    rebuilt.fill(Qt::black);
    QPainter painter(&rebuilt);
    for (int i = 0; i < n * n; ++i) {
        const QImage cell = clip.cell(i);
        QCOMPARE(cell.size(), QSize(480 / n, 360 / n));
        painter.drawImage(i % n * cell.width(), i / n * cell.height(), cell);
    }
    painter.end();
    QCOMPARE(rebuilt, picture);
}

void PictureClipTest::dropsTheSparePixelsAtTheRightAndBottom()
{
    const QImage picture = numberedPicture(7, 5);
    PictureClip clip;
    clip.setPicture(picture);
    clip.setRows(3);
    clip.setCols(3);
    QCOMPARE(clip.cellSize(), QSize(2, 1));
    for (int i = 0; i < 9; ++i)
        QCOMPARE(clip.cell(i), picture.copy(i % 3 * 2, i / 3, 2, 1));
}

void PictureClipTest::refusesWhatCannotBeCut()
{
    PictureClip clip;
    clip.setRows(3);
    clip.setCols(3);
    QVERIFY(!clip.canCut());
    QVERIFY(clip.cell(0).isNull());

    clip.setPicture(numberedPicture(7, 5));
    clip.setRows(6);
    clip.setCols(6);
    QVERIFY(!clip.canCut()); // 5 rows of pixels cannot make 6 rows of cells
    clip.setRows(3);
    clip.setCols(3);
    QVERIFY(clip.cell(9).isNull());
    QVERIFY(clip.cell(-1).isNull());
}

QTEST_GUILESS_MAIN(PictureClipTest)
#include "tst_pictureclip.moc"
