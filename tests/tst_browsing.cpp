#include "DataFolder.h"

#include "files/PictureBrowser.h"
#include "files/PictureCatalog.h"
#include "files/PictureFile.h"

#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vellumi;
using namespace Qt::StringLiterals;

// The pictures as the player steps through them: the numbered ones, then the own folder in the
// language's order as it comes and goes, and the pictures passed over on the way.
class BrowsingTest : public QObject {
    Q_OBJECT
private slots:
    void ownPicturesFollowTheLanguage();
    void theListingFollowsTheFolder();
    void positionsStopAtTheLastPictureNumber();
    void ownPicturesJoinTheCycleAsTheyCome();
    void aLargePictureIsReadWhileBrowsingGoesOn();

private:
    // Browsing five numbered pictures and an own folder, in a folder named for the test, picture 1
    // on show; what it tells is told.
    std::unique_ptr<PictureBrowser> openBrowser();

    QTemporaryDir dir;
    QStringList told;
};

std::unique_ptr<PictureBrowser> BrowsingTest::openBrowser()
{
    const QString folder = dir.filePath(QTest::currentTestFunction());
    auto browser = std::make_unique<PictureBrowser>(folder, folder + "/own");
    connect(browser.get(), &PictureBrowser::problems, this, [this](const QStringList& problems) { told += problems; });
    if (!testdata::makeDataFolder(folder, "5", 5) || !QDir(folder).mkpath("own") || !browser->open().isEmpty())
        qFatal("cannot browse the data folder");
    return browser;
}

void BrowsingTest::ownPicturesFollowTheLanguage()
{
    const auto sorted = [](QStringList names) {
        PictureCatalog::sortNaturally(names);
        return names;
    };
    QStringList names{"10.jpg", "9.jpg",   "09.jpg", "２.jpg", "１０.jpg", "1２.jpg", "a１.jpg",
                      "a9.jpg", "a10.jpg", "A.jpg",  "a.jpg",  "北京.jpg", "上海.jpg"};
    const QStringList inOrder{"２.jpg", "9.jpg", "10.jpg", "北京.jpg", "上海.jpg", "a9.jpg", "a10.jpg"};
    std::mt19937 generator(7);
    // Under "C", no language set, the game's own order.
    for (const char* locale : {"zh_CN", "C"}) {
        QLocale::setDefault(QLocale(locale));
        const QStringList order = sorted(names);
        for (qsizetype i = 1; i < inOrder.size(); ++i)
            QVERIFY2(order.indexOf(inOrder[i - 1]) < order.indexOf(inOrder[i]), qPrintable(order.join(' ')));
        // Case does not order names; names alike but for it stand side by side, capital first.
        QVERIFY2(order.indexOf("A.jpg") + 1 == order.indexOf("a.jpg"), qPrintable(order.join(' ')));
        // One order whatever order the folder lists them in, and any two names sorted alone
        // agree with it, so no three go round in a circle.
        for (int round = 0; round < 100; ++round) {
            std::shuffle(names.begin(), names.end(), generator);
            QCOMPARE(sorted(names), order);
        }
        for (qsizetype i = 0; i < order.size(); ++i)
            for (qsizetype j = i + 1; j < order.size(); ++j)
                QCOMPARE(sorted({order[j], order[i]}).first(), order[i]);
    }
    QLocale::setDefault(QLocale::system());
}

void BrowsingTest::theListingFollowsTheFolder()
{
    const QDir own(dir.filePath("own"));
    PictureCatalog catalog(dir.path(), own.path());
    const auto listing = [&] {
        catalog.refresh();
        QStringList names;
        for (int position = 0; position < catalog.size(); ++position)
            names << QFileInfo(catalog.path(position)).fileName();
        return names.join(' ');
    };
    const auto add = [&](const char* name) { return testdata::writeFile(own.filePath(name), {}); };
    QCOMPARE(listing(), u""_s);
    // A folder made after the start; folders, linked or not, and hidden files are never pictures.
    QVERIFY(own.mkpath("album.jpg") && add("b.jpg") && add("notes.txt") && add(".b.jpg") &&
            QFile::link(own.path(), own.filePath("link.jpg")));
    QCOMPARE(listing(), u"b.jpg"_s);
    // Read afresh, in the order of the moment, until the folder has rested; then kept as it
    // was read, but only until the folder changes.
    QVERIFY(add("ä.jpg"));                 // where times are coarse, most likely the very time of b.jpg
    QLocale::setDefault(QLocale("sv_SE")); // ä after z
    QCOMPARE(listing(), u"b.jpg ä.jpg"_s);
    QLocale::setDefault(QLocale("en_GB"));
    QCOMPARE(listing(), u"ä.jpg b.jpg"_s);
    QTest::qSleep(int(std::chrono::milliseconds(PictureCatalog::restTime).count()) + 100);
    QCOMPARE(listing(), u"ä.jpg b.jpg"_s);
    QLocale::setDefault(QLocale("sv_SE"));
    QCOMPARE(listing(), u"ä.jpg b.jpg"_s);
    QVERIFY(QFile::remove(own.filePath("b.jpg")) && add("c.jpg"));
    QCOMPARE(listing(), u"c.jpg ä.jpg"_s);
    QLocale::setDefault(QLocale::system());
    QVERIFY(QDir(own).removeRecursively());
    QCOMPARE(listing(), u""_s);
}

void BrowsingTest::positionsStopAtTheLastPictureNumber()
{
    const QDir folder(dir.filePath("many"));
    const QStringList own{folder.filePath("a.jpg"), folder.filePath("b.jpg"), folder.filePath("c.jpg")};
    QVERIFY(folder.mkpath("."));
    for (const QString& name : own)
        QVERIFY(testdata::writeFile(name, {}));
    PictureCatalog catalog(dir.path(), folder.path());
    catalog.refresh();
    for (int numbered : {32764, 32765, 32767}) {
        catalog.setNumberedCount(numbered);
        QCOMPARE(catalog.size(), std::min(numbered + 3, 32767));
        QCOMPARE(catalog.capped(), numbered + 3 > 32767);
        QVERIFY(catalog.path(catalog.size()).isEmpty());
        for (int i = 0; i < 3; ++i) {
            const int position = numbered + i < 32767 ? numbered + i : -1;
            QCOMPARE(catalog.positionOf(own[i]), position);
            QCOMPARE(catalog.path(position), position < 0 ? QString() : own[i]);
        }
    }
}

// Own pictures follow the numbered ones in the order of their names, numbers as numbers. A step
// passes over what cannot be shown and says why, once for each file.
void BrowsingTest::ownPicturesJoinTheCycleAsTheyCome()
{
    const auto browser = openBrowser();
    const QDir folder(dir.filePath(QTest::currentTestFunction())), own(folder.filePath("own"));
    const auto step = [&](bool forward) { return browser->step(forward), browser->number(); };
    testdata::picture(6).save(own.filePath("10.jpg"));
    testdata::picture(7).save(own.filePath("9.png"));
    for (int b = 1; b <= 6; ++b)
        testdata::writeFile(own.filePath(QStringLiteral("b%1.jpg").arg(b)), "broken");
    QVERIFY(mkfifo(QFile::encodeName(own.filePath("b7.jpg")).constData(), 0600) == 0);
    QFile::link(own.filePath("b8.jpg"), own.filePath("b8.jpg"));
    ::close(::open(QFile::encodeName(own.filePath("b9")) + "\xff.jpg", O_CREAT | O_WRONLY, 0600)); // not UTF-8
    QFile::remove(folder.filePath("image/angle3.jpg"));
    QVERIFY(mkfifo(QFile::encodeName(folder.filePath("image/angle3.jpg")).constData(), 0600) == 0);
    QFile::remove(folder.filePath("image/angle4.jpg"));
    // Back over the end: past the nine broken ones to 10.jpg, 9.png, then past 4 (missing) and
    // 3 (a pipe) to 2.
    QCOMPARE(step(false), 7);
    QCOMPARE(browser->picture(), QImage(own.filePath("10.jpg")).convertToFormat(QImage::Format_RGB32));
    QCOMPARE(step(false), 6);
    QCOMPARE(step(false), 5);
    QCOMPARE(step(false), 2);
    QCOMPARE(told.size(), 11);
    QVERIFY(told[0].startsWith("文件名不是有效的 UTF-8 编码") && told[0].contains("own/b9"));
    QVERIFY(told[1].startsWith("符号链接循环") && told[2].startsWith("不是普通文件") && told[8].endsWith("own/b1.jpg"));
    QVERIFY(told[9].startsWith("找不到文件") && told[10].startsWith("不是普通文件") && told[10].endsWith("angle3.jpg"));
    // 9.png goes and 1.jpg comes meanwhile: the next step knows.
    QFile::remove(own.filePath("9.png"));
    testdata::picture(8).save(own.filePath("1.jpg"));
    QCOMPARE(step(true), 5); // past 3 and 4 again, without a word
    QCOMPARE(step(true), 6);
    QCOMPARE(browser->picture(), QImage(own.filePath("1.jpg")).convertToFormat(QImage::Format_RGB32));
    QCOMPARE(step(true), 7);
    QFile::remove(own.filePath("10.jpg")); // the one on show goes: the next step starts where it was
    QCOMPARE(step(true), 1);
    QCOMPARE(step(false), 6);
    ::unlink(QFile::encodeName(own.filePath("b9")) + "\xff.jpg"); // a name QDir cannot remove
    QDir(own).removeRecursively(); // every own picture goes while one shows: back to the numbered ones
    QCOMPARE(step(false), 5);
    QCOMPARE(told.size(), 11);
}

// A photo too large to read at once is read while browsing goes on; the picture on show stays
// meanwhile, and a further step passes over the one still being read.
void BrowsingTest::aLargePictureIsReadWhileBrowsingGoesOn()
{
    const auto browser = openBrowser();
    const QDir folder(dir.filePath(QTest::currentTestFunction())), own(folder.filePath("own"));
    const auto step = [&](bool forward) { return browser->step(forward), browser->number(); };
    testdata::picture(6, 2000, 1500).save(own.filePath("a.jpg"));
    testdata::picture(7).save(own.filePath("b.jpg"));
    QCOMPARE(step(false), 7);
    QCOMPARE(step(false), 7);
    QTRY_COMPARE(browser->number(), 6);
    QString why;
    QCOMPARE(browser->picture(), loadPicture(own.filePath("a.jpg"), &why));

    browser->step(false);
    browser->step(true);
    QCOMPARE(step(true), 7);
    QTest::qWait(300);
    QCOMPARE(browser->number(), 7);
    QCOMPARE(browser->picture(), QImage(own.filePath("b.jpg")).convertToFormat(QImage::Format_RGB32));

    // One that turns out broken once read is passed over like any other, and told of.
    QFile broken(own.filePath("a.jpg"));
    QVERIFY(broken.open(QIODevice::ReadWrite) && broken.resize(broken.size() / 2));
    broken.close();
    step(true); // to 1
    told.clear();
    QCOMPARE(step(false), 7);
    QCOMPARE(step(false), 7);
    QTRY_COMPARE(browser->number(), 5);
    QVERIFY(told.size() == 1 && told[0].contains("a.jpg"));
}

QTEST_GUILESS_MAIN(BrowsingTest)
#include "tst_browsing.moc"
