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
    void blankLinesEndingTheFileAreIgnored_data();
    void blankLinesEndingTheFileAreIgnored();
    void progressNeverPassesHundred();
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
    // What the failure says after "Line N of <file>".
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");
    const QString fields
        = QStringLiteral(" holds %1 fields; a point needs five: name, code, east, north, height.");
    QTest::newRow("four fields") << QByteArray("P1,,1,2,3\nP2,,1,2\nP3,,4,5,6\n") << 2 << fields.arg(4);
    QTest::newRow("one field") << QByteArray("P1,,1,2,3\r\nP2,,1,2,3\r\nnothing\r\n") << 3 << fields.arg(1);
    QTest::newRow("empty line") << QByteArray("P1,,1,2,3\n\nP3,,4,5,6\n") << 2
                                << QStringLiteral(" is empty.");
    QTest::newRow("blanks among points")
        << QByteArray("P1,,1,2,3\n \n\t\nP3,,4,5,6\n\n") << 2 << QStringLiteral(" is empty.");
    QTest::newRow("empty east") << QByteArray("P1,,,2,3\n") << 1
                                << QStringLiteral(": the east coordinate \"\" is not a number.");
    QTest::newRow("text") << QByteArray("P1,,1, north ,3\n") << 1
                          << QStringLiteral(": the north coordinate \"north\" is not a number.");
    QTest::newRow("nan") << QByteArray("P1,,1,2,3\nP2,,nan,5,6\n") << 2
                         << QStringLiteral(": the east coordinate \"nan\" is not a finite number.");
    QTest::newRow("inf") << QByteArray("P1,,1,inf,3\n") << 1
                         << QStringLiteral(": the north coordinate \"inf\" is not a finite number.");
    QTest::newRow("-inf height") << QByteArray("P1,,1,2,-inf\n") << 1
                                 << QStringLiteral(": the height \"-inf\" is not a finite number.");
    const QString tooLarge
        = QStringLiteral(": the %1 \"%2\" is too large; a TIN holds coordinates up to 1e38 in size.");
    QTest::newRow("overflow") << QByteArray("P1,,1,2,1e999\n") << 1 << tooLarge.arg("height", "1e999");
    // Both finite, but their difference would not be, and the index would hold infinite boxes.
    QTest::newRow("far apart") << QByteArray("P1,,1e308,0,0\nP2,,-1e308,0,0\nP3,,0,1,0\n") << 1
                               << tooLarge.arg("east coordinate", "1e308");
    QTest::newRow("beyond the index")
        << QByteArray("P1,,1,2,3\nP2,,4,-1.1e38,6\n") << 2 << tooLarge.arg("north coordinate", "-1.1e38");
    QTest::newRow("decimal comma") << QByteArray("P1,,1;5,2,3\n") << 1
                                   << QStringLiteral(": the east coordinate \"1;5\" is not a number.");
}

void CassPointReaderTest::badLineFailsTheFile()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, reason);
    const QString path = write(text);
    CassPointReader reader(path);
    QVERIFY(!reader.read());
    QCOMPARE(reader.errorString(), QStringLiteral("Line %1 of %2").arg(line).arg(path) + reason);
}

void CassPointReaderTest::blankLinesEndingTheFileAreIgnored_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("one") << QByteArray("P1,,1,2,3\nP2,,4,5,6\n\n");
    QTest::newRow("several, with blanks") << QByteArray("P1,,1,2,3\r\nP2,,4,5,6\r\n\r\n  \t \r\n\r\n");
    QTest::newRow("unterminated") << QByteArray("P1,,1,2,3\nP2,,4,5,6\n\n   ");
}

void CassPointReaderTest::blankLinesEndingTheFileAreIgnored()
{
    QFETCH(QByteArray, text);
    CassPointReader reader(write(text));
    QVERIFY(reader.read());
    QCOMPARE(reader.points().size(), size_t(2));
    QCOMPARE(reader.points().at(1).z(), 6.0);
    QVERIFY(reader.errorString().isEmpty());
    QCOMPARE(reader.progress(), 100);
}

void CassPointReaderTest::progressNeverPassesHundred()
{
    // The share of the file's lines read: 100 at the end, not 133 after the final empty read.
    CassPointReader three(write("a,,1,2,3\nb,,4,5,6\nc,,7,8,10\n"));
    QCOMPARE(three.progress(), 0);
    QVERIFY(three.read());
    QCOMPARE(three.progress(), 100);

    // Without a line feed at all, and with an unterminated last line (not 200).
    CassPointReader single(write("a,,1,2,3"));
    QVERIFY(single.read());
    QCOMPARE(single.points().size(), size_t(1));
    QCOMPARE(single.progress(), 100);
    CassPointReader unterminated(write("a,,1,2,3\nb,,4,5,6"));
    QVERIFY(unterminated.read());
    QCOMPARE(unterminated.progress(), 100);

    // A failure stops where it is.
    CassPointReader failing(write("a,,1,2,3\nbad\nc,,1,2,3\nd,,1,2,3\n"));
    QVERIFY(!failing.read());
    QCOMPARE(failing.progress(), 50);
}

void CassPointReaderTest::missingOrEmptyFile()
{
    const QString missingPath = m_folder.filePath(QStringLiteral("missing.dat"));
    CassPointReader missing(missingPath);
    QVERIFY(!missing.read());
    QCOMPARE(missing.progress(), 0);
    QCOMPARE(missing.errorString(),
             QStringLiteral("Cannot open the point file %1: No such file or directory.").arg(missingPath));

    const QString emptyPath = write(QByteArray());
    CassPointReader empty(emptyPath);
    QVERIFY(!empty.read());
    QVERIFY(empty.points().empty());
    QCOMPARE(empty.errorString(), QStringLiteral("The point file %1 is empty.").arg(emptyPath));

    // Blank lines alone hold no point.
    const QString blankPath = write("\n \n");
    CassPointReader blank(blankPath);
    QVERIFY(!blank.read());
    QCOMPARE(blank.errorString(), QStringLiteral("The point file %1 holds no points.").arg(blankPath));

    CassPointReader folder(m_folder.path());
    QVERIFY(!folder.read());
    QVERIFY(folder.errorString().contains(m_folder.path()));
}

TRELVIN_TEST_MAIN(CassPointReaderTest)
#include "casspointreader.moc"
