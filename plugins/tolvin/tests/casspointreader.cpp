#include "pointfiles.h"

#include <casspointreader.h>

#include <qttestmain.h>

#include <QTemporaryDir>

using Zemko::Trelvin::CassPointReader;

class CassPointReaderTest : public QObject
{
    Q_OBJECT

private slots:
    void readsNorthEastHeight();
    void badLineFailsTheFile_data();
    void badLineFailsTheFile();
    void progressCountsLineFeeds();
    void missingOrEmptyFile();

private:
    QString write(const QByteArray& text);
    QTemporaryDir m_folder;
    int m_files = 0;
};

QString CassPointReaderTest::write(const QByteArray& text)
{
    const QString path = m_folder.filePath(QStringLiteral("points%1.dat").arg(++m_files));
    if (!writeText(path, text))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void CassPointReaderTest::readsNorthEastHeight()
{
    CassPointReader reader(write("P1,, 500.25 ,120.5,33.1\r\n"
                                 "  P2,TREE,-1e3,2.5E2,0,extra,fields\n"
                                 "P3,,7,8,9"));
    QVERIFY(reader.read());
    QCOMPARE(reader.points().size(), size_t(3));
    const Pelko::Corvex::Point3D first = reader.points().at(0);
    QCOMPARE(first.x(), 120.5);
    QCOMPARE(first.y(), 500.25);
    QCOMPARE(first.z(), 33.1);
    QCOMPARE(reader.points().at(1).x(), 250.0);
    QCOMPARE(reader.points().at(1).y(), -1000.0);
    QCOMPARE(reader.points().at(2).z(), 9.0);

    // A second read starts afresh.
    QVERIFY(reader.read());
    QCOMPARE(reader.points().size(), size_t(3));
}

void CassPointReaderTest::badLineFailsTheFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("four fields") << QByteArray("P1,,1,2,3\nP2,,1,2\nP3,,4,5,6\n");
    QTest::newRow("empty line") << QByteArray("P1,,1,2,3\n\nP3,,4,5,6\n");
    QTest::newRow("blank last line") << QByteArray("P1,,1,2,3\nP2,,4,5,6\n\n");
    QTest::newRow("only blanks") << QByteArray("P1,,1,2,3\n  \t \n");
    QTest::newRow("empty east") << QByteArray("P1,,,2,3\n");
    QTest::newRow("text") << QByteArray("P1,,1,north,3\n");
    QTest::newRow("nan") << QByteArray("P1,,1,2,3\nP2,,nan,5,6\n");
    QTest::newRow("inf") << QByteArray("P1,,1,inf,3\n");
    QTest::newRow("-inf height") << QByteArray("P1,,1,2,-inf\n");
    QTest::newRow("overflow") << QByteArray("P1,,1,2,1e999\n");
    QTest::newRow("decimal comma") << QByteArray("P1,,1;5,2,3\n");
}

void CassPointReaderTest::badLineFailsTheFile()
{
    QFETCH(QByteArray, text);
    CassPointReader reader(write(text));
    QVERIFY(!reader.read());
}

void CassPointReaderTest::progressCountsLineFeeds()
{
    // 33, 66 and 100 for the lines, then 133 on the read that finds the end.
    CassPointReader three(write("a,,1,2,3\nb,,4,5,6\nc,,7,8,10\n"));
    QCOMPARE(three.progress(), 0);
    QVERIFY(three.read());
    QCOMPARE(three.progress(), 133);

    // No line feed at all: counted as one, never a division by zero.
    CassPointReader single(write("a,,1,2,3"));
    QVERIFY(single.read());
    QCOMPARE(single.points().size(), size_t(1));
    QCOMPARE(single.progress(), 200);

    CassPointReader failing(write("bad\n"));
    QVERIFY(!failing.read());
    QCOMPARE(failing.progress(), 100);
}

void CassPointReaderTest::missingOrEmptyFile()
{
    CassPointReader missing(m_folder.filePath(QStringLiteral("missing.dat")));
    QVERIFY(!missing.read());
    QCOMPARE(missing.progress(), 0);

    CassPointReader empty(write(QByteArray()));
    QVERIFY(!empty.read());
    QVERIFY(empty.points().empty());

    CassPointReader folder(m_folder.path());
    QVERIFY(!folder.read());
}

TRELVIN_TEST_MAIN(CassPointReaderTest)
#include "casspointreader.moc"
