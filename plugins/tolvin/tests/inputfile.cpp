#include "pointfiles.h"

#include <inputfile.h>

#include <qttestmain.h>

#include <QDateTime>
#include <QTemporaryDir>

#include <functional>

using Zemko::Trelvin::InputFile;

namespace {

const QByteArray content = QByteArray("P1,,1,2,3\n").repeated(10);

// Bytes between two looks at the stop callback, so that a 100-byte file takes several.
constexpr qint64 chunk = 16;

} // namespace

class InputFileTest : public QObject
{
    Q_OBJECT

private slots:
    void readsTheWholeFile();
    void changeWhileReadingIsReported_data();
    void changeWhileReadingIsReported();
    void stopCancels();
    void openChecksTheFile();

private:
    QTemporaryDir m_folder;
};

void InputFileTest::readsTheWholeFile()
{
    const QString path = m_folder.filePath(QStringLiteral("whole.dat"));
    QVERIFY(writeText(path, content));
    QFile file(path);
    InputFile input(file);
    QCOMPARE(input.open(1000), InputFile::Read);
    int looks = 0;
    QCOMPARE(input.read([&] { return ++looks < 0; }, chunk), InputFile::Read);
    QCOMPARE(looks, 7);
    QCOMPARE(QByteArray(input.data(), int(input.size())), content);
    // Again, as a job run twice would.
    QCOMPARE(input.open(1000), InputFile::Read);
    QCOMPARE(input.read(nullptr), InputFile::Read);
    QCOMPARE(input.size(), quint64(content.size()));
    input.clear();
    QCOMPARE(input.size(), quint64(0));
    QVERIFY(!input.data());

    // Passed through in chunks instead, and kept nowhere.
    QByteArray passed;
    QCOMPARE(input.scan(
                 nullptr, [&](const char* data, qint64 length) { passed.append(data, int(length)); }, chunk),
             InputFile::Read);
    QCOMPARE(passed, content);
    QVERIFY(!input.data());
    QVERIFY(input.unchanged());
    QVERIFY(QFile(path).resize(content.size() + 1));
    QVERIFY(!input.unchanged());
}

void InputFileTest::changeWhileReadingIsReported_data()
{
    QTest::addColumn<int>("change");
    QTest::newRow("cut short") << 0;
    QTest::newRow("grown") << 1;
    QTest::newRow("rewritten in place") << 2;
    QTest::newRow("replaced") << 3;
}

void InputFileTest::changeWhileReadingIsReported()
{
    QFETCH(int, change);
    const QString path = m_folder.filePath(QStringLiteral("changing.dat"));
    QVERIFY(writeText(path, content));
    QFile file(path);
    InputFile input(file);
    QCOMPARE(input.open(1000), InputFile::Read);
    int looks = 0;
    const std::function<bool()> changeOnce = [&] {
        if (++looks != 2)
            return false;
        QFile other(path);
        switch (change) {
        case 0:
            return !other.resize(5);
        case 1:
            return !(other.open(QIODevice::Append) && other.write("P2,,4,5,6\n") == 10);
        case 2: {
            // The same size; the time stamp says it was written.
            QByteArray text = content;
            text[0] = 'Q';
            if (!(other.open(QIODevice::ReadWrite) && other.write(text) == text.size()))
                return true;
            return !other.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                      QFileDevice::FileModificationTime);
        }
        default: {
            // Saved beside it and renamed over it, as editors do; what the reader holds stays whole.
            const QString saved = m_folder.filePath(QStringLiteral("saved.dat"));
            return !(writeText(saved, content) && std::rename(qPrintable(saved), qPrintable(path)) == 0);
        }
        }
    };
    const bool scanned = change % 2;
    QCOMPARE(scanned ? input.scan(changeOnce, nullptr, chunk) : input.read(changeOnce, chunk),
             InputFile::Changed);
    QVERIFY(looks >= 2);
    QVERIFY(!input.data());
    QCOMPARE(input.size(), quint64(0));
}

void InputFileTest::stopCancels()
{
    const QString path = m_folder.filePath(QStringLiteral("stopped.dat"));
    QVERIFY(writeText(path, content));
    QFile file(path);
    InputFile input(file);
    QCOMPARE(input.open(1000), InputFile::Read);
    int looks = 0;
    QCOMPARE(input.read([&] { return ++looks == 3; }, chunk), InputFile::Cancelled);
    QCOMPARE(looks, 3);
    QVERIFY(!input.data());
}

void InputFileTest::openChecksTheFile()
{
    QFile missing(m_folder.filePath(QStringLiteral("missing.dat")));
    InputFile notThere(missing);
    QCOMPARE(notThere.open(1000), InputFile::CannotOpen);
    QCOMPARE(notThere.errorString(), QStringLiteral("No such file or directory"));
    QCOMPARE(notThere.read(nullptr), InputFile::ReadFailed);

    QFile folder(m_folder.path());
    QCOMPARE(InputFile(folder).open(1000), InputFile::CannotOpen);

    const QString emptyPath = m_folder.filePath(QStringLiteral("empty.dat"));
    QVERIFY(writeText(emptyPath, QByteArray()));
    QFile empty(emptyPath);
    QCOMPARE(InputFile(empty).open(1000), InputFile::Empty);

    const QString largePath = m_folder.filePath(QStringLiteral("large.dat"));
    QVERIFY(writeText(largePath, content));
    QFile large(largePath);
    InputFile tooLarge(large);
    QCOMPARE(tooLarge.open(content.size() - 1), InputFile::TooLarge);
    QCOMPARE(tooLarge.open(content.size()), InputFile::Read);
}

TRELVIN_TEST_MAIN(InputFileTest)
#include "inputfile.moc"
