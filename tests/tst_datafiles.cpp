#include "game/DataFiles.h"
#include "game/PictureCount.h"

#include <QTest>

#include <sstream>

using namespace vellumi;

Q_DECLARE_METATYPE(vellumi::CountError)

class DataFilesTest : public QObject {
    Q_OBJECT
private slots:
    void readsTheFirstFieldOfTheCountFile_data();
    void readsTheFirstFieldOfTheCountFile();
    void readsNoFurtherThanTheFirstField();
    void namesPicturesByTheirPlainNumber();
    void keepsTheProgramFolderWhole();
};

void DataFilesTest::readsTheFirstFieldOfTheCountFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("value");
    QTest::addColumn<CountError>("error");

    QTest::newRow("a plain number") << QByteArray("12") << 12 << CountError::None;
    QTest::newRow("a comma ends the field") << QByteArray("3,") << 3 << CountError::None;
    QTest::newRow("leading blanks, a second field") << QByteArray(" 3 4") << 3 << CountError::None;
    QTest::newRow("a second line") << QByteArray("3\n9") << 3 << CountError::None;
    QTest::newRow("CRLF line ends") << QByteArray("7\r\n") << 7 << CountError::None;
    QTest::newRow("blank lines first") << QByteArray("\n\n  5\n") << 5 << CountError::None;
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF" "8\n") << 8 << CountError::None;
    QTest::newRow("junk after the field") << QByteArray("3 junk") << 3 << CountError::None;
    QTest::newRow("negative") << QByteArray("-5") << -5 << CountError::None;
    QTest::newRow("largest") << QByteArray("32767") << 32767 << CountError::None;
    QTest::newRow("smallest") << QByteArray("-32768") << -32768 << CountError::None;
    QTest::newRow("empty") << QByteArray("") << 0 << CountError::Empty;
    QTest::newRow("only blanks") << QByteArray("   \n \t ") << 0 << CountError::Empty;
    QTest::newRow("letters") << QByteArray("abc") << 0 << CountError::NotANumber;
    QTest::newRow("digits then letters") << QByteArray("3x") << 0 << CountError::NotANumber;
    QTest::newRow("a lone sign") << QByteArray("-") << 0 << CountError::NotANumber;
    QTest::newRow("a fraction") << QByteArray("3.5") << 0 << CountError::NotANumber;
    QTest::newRow("an empty first field") << QByteArray(",3") << 0 << CountError::NotANumber;
    QTest::newRow("too large") << QByteArray("40000") << 0 << CountError::OutOfRange;
    QTest::newRow("one past the largest") << QByteArray("32768") << 0 << CountError::OutOfRange;
    QTest::newRow("one past the smallest") << QByteArray("-32769") << 0 << CountError::OutOfRange;
    QTest::newRow("a hundred digits") << QByteArray(100, '9') << 0 << CountError::OutOfRange;
}

void DataFilesTest::readsTheFirstFieldOfTheCountFile()
{
    QFETCH(QByteArray, content);
    QFETCH(int, value);
    QFETCH(CountError, error);
    std::istringstream in(content.toStdString());
    const PictureCount count = readPictureCount(in);
    QCOMPARE(count.error, error);
    QCOMPARE(int(count.value), value);
}

void DataFilesTest::readsNoFurtherThanTheFirstField()
{
    std::string huge = "4\n" + std::string(1 << 20, 'x');
    std::istringstream in(huge);
    QCOMPARE(readPictureCount(in).value, std::int16_t(4));
    QCOMPARE(in.tellg(), std::streampos(2));
}

void DataFilesTest::namesPicturesByTheirPlainNumber()
{
    QCOMPARE(pictureFile("/g", 1), std::string("/g/image/angle1.jpg"));
    QCOMPARE(pictureFile("/g", 10), std::string("/g/image/angle10.jpg"));
    QCOMPARE(pictureFile("/g", -3), std::string("/g/image/angle-3.jpg"));
    QCOMPARE(pictureCountFile("/g"), std::string("/g/image/picture.txt"));
    QCOMPARE(moveSoundFile("/g"), std::string("/g/move.wav"));
    // The root folder already ends in a separator.
    QCOMPARE(pictureFile("/", 2), std::string("/image/angle2.jpg"));
}

void DataFilesTest::keepsTheProgramFolderWhole()
{
    const std::string folder = "/home/玩家/my games/拼图 1";
    QCOMPARE(pictureFile(folder, 3), folder + "/image/angle3.jpg");
}

QTEST_GUILESS_MAIN(DataFilesTest)
#include "tst_datafiles.moc"
