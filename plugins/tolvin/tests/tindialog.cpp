#include "pointfiles.h"
#include "tindatabase.h"

#include <tindialog.h>
#include <tingenerator.h>
#include <tinprompter.h>

#include <qttestmain.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <memory>

using Zemko::Trelvin::TinGenerator;
using Zemko::Trelvin::TinPrompter;

namespace {

// Answers every box and file dialog from a script and records what was asked.
class ScriptedPrompter : public TinPrompter
{
public:
    struct Box
    {
        QString kind;
        QString title;
        QString text;
        int barValue;
        bool barShown;
    };
    struct FileDialog
    {
        QString caption;
        QString dir;
        QString filter;
        QString selectedFilter;
    };

    void critical(QWidget*, const QString& title, const QString& text) override
    {
        record(QStringLiteral("critical"), title, text);
    }
    void information(QWidget*, const QString& title, const QString& text) override
    {
        record(QStringLiteral("information"), title, text);
    }
    QMessageBox::StandardButton question(QWidget*, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons) override
    {
        record(QStringLiteral("question"), title, text);
        questionButtons = buttons;
        return answer;
    }
    QString getOpenFileName(QWidget*, const QString& caption, const QString& dir, const QString& filter,
                            QString* selectedFilter) override
    {
        fileDialogs.append({ caption, dir, filter, selectedFilter ? *selectedFilter : QString() });
        return openAnswer;
    }
    QString getSaveFileName(QWidget*, const QString& caption, const QString& dir, const QString& filter,
                            QString* selectedFilter) override
    {
        fileDialogs.append({ caption, dir, filter, selectedFilter ? *selectedFilter : QString() });
        return saveAnswer;
    }

    QProgressBar* bar = nullptr;
    QList<Box> boxes;
    QList<FileDialog> fileDialogs;
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    QMessageBox::StandardButtons questionButtons;
    QString openAnswer;
    QString saveAnswer;

private:
    void record(const QString& kind, const QString& title, const QString& text)
    {
        boxes.append({ kind, title, text, bar ? bar->value() : -2, bar && !bar->isHidden() });
    }
};

} // namespace

class TinDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startState();
    void chooseFiles();
    void generateFromPoints();
    void failedGenerationLeavesNoTarget();
    void everyOutcomeSaysWhy_data();
    void everyOutcomeSaysWhy();
    void quitWhileWritingLeavesNoTarget_data();
    void quitWhileWritingLeavesNoTarget();
    void refusals_data();
    void refusals();
    void overwriteReplacesOldTin();
    void failedRunKeepsOldTin_data();
    void failedRunKeepsOldTin();
    void rejectDuringRunLeavesNoTarget();
    void rejectDuringRunKeepsOldTin();
    void destroyDuringRunLeavesNoTarget();
    void finishWithoutGenerator();
    void longPathsWrapInTheBox();

private:
    // Picks both files through the scripted dialogs.
    void choose(const QString& data, const QString& target);
    // Clicks Generate and waits until the dialog is idle again.
    bool generateAndWait();
    // Starts a run on a point file of that many random points into "large.qvr"; null when none started.
    QPointer<TinGenerator> startLargeRun(int points);
    QString largeTarget() const { return m_folder->filePath(QStringLiteral("large.qvr")); }
    QToolButton* button(const char* name) const { return m_dialog->findChild<QToolButton*>(name); }
    QPushButton* generateButton() const { return m_dialog->findChild<QPushButton*>("generateButton"); }
    QLineEdit* edit(const char* name) const { return m_dialog->findChild<QLineEdit*>(name); }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<TinDialog> m_dialog;
    QProgressBar* m_bar = nullptr;
};

void TinDialogTest::init()
{
    QSettings(QStringLiteral("Zemko"), QStringLiteral("Tolvin")).clear();
    m_folder = std::make_unique<QTemporaryDir>();
    m_prompter = std::make_unique<ScriptedPrompter>();
    TinPrompter::setInstance(m_prompter.get());
    m_dialog = std::make_unique<TinDialog>();
    m_bar = m_dialog->findChild<QProgressBar*>(QStringLiteral("progressBar"));
    m_prompter->bar = m_bar;
}

void TinDialogTest::cleanup()
{
    m_dialog.reset();
    TinPrompter::setInstance(nullptr);
    m_prompter.reset();
    const QString faults = tinBorderFaults(m_folder->path());
    QVERIFY2(faults.isEmpty(), qPrintable(faults));
}

void TinDialogTest::choose(const QString& data, const QString& target)
{
    m_prompter->openAnswer = data;
    m_prompter->saveAnswer = target;
    button("selectData")->click();
    button("selectQVR")->click();
}

bool TinDialogTest::generateAndWait()
{
    generateButton()->click();
    if (!m_dialog->generator())
        return true;
    return QTest::qWaitFor([this] { return !m_dialog->generator(); }, 120000);
}

QPointer<TinGenerator> TinDialogTest::startLargeRun(int points)
{
    const QString data = m_folder->filePath(QStringLiteral("large.dat"));
    if (!writeRandomPoints(data, points))
        return nullptr;
    choose(data, largeTarget());
    generateButton()->click();
    return m_dialog->generator();
}

void TinDialogTest::startState()
{
    QCOMPARE(m_dialog->objectName(), QStringLiteral("TIN_Generator"));
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("TIN Generator"));
    QVERIFY(m_dialog->windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(m_dialog->windowFlags() & Qt::WindowContextHelpButtonHint));
    QVERIFY(m_bar->isHidden());
    QCOMPARE(m_bar->minimum(), 0);
    QCOMPARE(m_bar->maximum(), 100);
    QVERIFY(edit("dataFileEdit")->isReadOnly());
    QVERIFY(edit("qvrFileEdit")->isReadOnly());
    QVERIFY(!generateButton()->isEnabled());
    QVERIFY(!m_dialog->generator());
}

void TinDialogTest::chooseFiles()
{
    QSettings settings(QStringLiteral("Zemko"), QStringLiteral("Tolvin"));
    const QString data = m_folder->filePath(QStringLiteral("site.dat"));

    // Cancelling the file dialog changes nothing.
    button("selectData")->click();
    QCOMPARE(m_prompter->fileDialogs.size(), 1);
    QCOMPARE(m_prompter->fileDialogs.at(0).caption, QStringLiteral("Convert File"));
    QCOMPARE(m_prompter->fileDialogs.at(0).dir, QDir::homePath());
    QCOMPARE(m_prompter->fileDialogs.at(0).filter,
             QStringLiteral("CASS Point Data (*.dat);;DXF Triangles (*.dxf)"));
    QCOMPARE(m_prompter->fileDialogs.at(0).selectedFilter, QStringLiteral("CASS Point Data (*.dat)"));
    QVERIFY(edit("dataFileEdit")->text().isEmpty());
    QVERIFY(!settings.contains(QStringLiteral("RecentPath")));

    m_prompter->openAnswer = data;
    button("selectData")->click();
    QCOMPARE(edit("dataFileEdit")->text(), data);
    QCOMPARE(settings.value(QStringLiteral("RecentPath")).toString(), m_folder->path());
    QVERIFY(!generateButton()->isEnabled());

    // The save dialog starts nowhere in particular but remembers its folder too.
    QTemporaryDir other;
    m_prompter->saveAnswer = other.filePath(QStringLiteral("site.qvr"));
    button("selectQVR")->click();
    QCOMPARE(m_prompter->fileDialogs.at(2).dir, QString());
    QCOMPARE(m_prompter->fileDialogs.at(2).filter, QStringLiteral("QVR File (*.qvr)"));
    QCOMPARE(m_prompter->fileDialogs.at(2).selectedFilter, QStringLiteral("QVR File (*.qvr)"));
    QCOMPARE(edit("qvrFileEdit")->text(), m_prompter->saveAnswer);
    QVERIFY(generateButton()->isEnabled());
    settings.sync();
    QCOMPARE(settings.value(QStringLiteral("RecentPath")).toString(), other.path());

    button("selectData")->click();
    QCOMPARE(m_prompter->fileDialogs.at(3).dir, other.path());
    QVERIFY(m_prompter->boxes.isEmpty());
}

void TinDialogTest::generateFromPoints()
{
    const QString target = m_folder->filePath(QStringLiteral("site.qvr"));
    choose(QStringLiteral(TEST_DATA_DIR "/site.dat"), target);
    QVERIFY(generateAndWait());

    QCOMPARE(m_prompter->boxes.size(), 1);
    const ScriptedPrompter::Box box = m_prompter->boxes.at(0);
    QCOMPARE(box.kind, QStringLiteral("information"));
    QCOMPARE(box.title, QStringLiteral("Generator"));
    QCOMPARE(box.text, QStringLiteral("Generating TIN succeeded"));
    // The bar stands at 100 while the message is up.
    QVERIFY(box.barShown);
    QCOMPARE(box.barValue, 100);

    QVERIFY(m_bar->isHidden());
    QVERIFY(button("selectData")->isEnabled());
    QVERIFY(button("selectQVR")->isEnabled());
    QVERIFY(generateButton()->isEnabled());
    QVERIFY(QFile::exists(target));
}

void TinDialogTest::failedGenerationLeavesNoTarget()
{
    const QString data = m_folder->filePath(QStringLiteral("bad.dat"));
    const QString target = m_folder->filePath(QStringLiteral("bad.qvr"));
    QVERIFY(writeText(data, "a,,0,0,1\nb,,10,0,1\nc,,0,10,1\nd,,nan,5,1\n"));
    choose(data, target);
    QVERIFY(generateAndWait());
    QCOMPARE(m_prompter->boxes.size(), 1);
    QCOMPARE(m_prompter->boxes.at(0).kind, QStringLiteral("critical"));
    QCOMPARE(m_prompter->boxes.at(0).title, QStringLiteral("Generator"));
    QCOMPARE(
        m_prompter->boxes.at(0).text,
        QStringLiteral("Generating TIN failed\n\nLine 4 of %1: the east coordinate \"nan\" is not a finite "
                       "number.")
            .arg(data));
    QTRY_VERIFY(!QFile::exists(target));
    QVERIFY(generateButton()->isEnabled());
}

void TinDialogTest::everyOutcomeSaysWhy_data()
{
    QTest::addColumn<QString>("dataName");
    QTest::addColumn<QByteArray>("dataText");
    // Empty: the target in the temporary folder.
    QTest::addColumn<QString>("targetName");
    QTest::addColumn<bool>("succeeds");
    // After "Generating TIN succeeded" or "failed" and a blank line; %1 stands for the data path, %2 for
    // the target's.
    QTest::addColumn<QString>("details");

    QTest::newRow("text named .dxf") << "notes.dxf" << QByteArray("Survey notes\nno drawing here\n")
                                     << QString() << false << "%1 is not a DXF drawing.";
    QByteArray blockOnly;
    {
        QFile file(QStringLiteral(TEST_DATA_DIR "/blockonly.dxf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        blockOnly = file.readAll();
    }
    QTest::newRow("faces in blocks only") << "door.dxf" << blockOnly << QString() << false
                                          << "The drawing holds no 3DFACE entities in its model space";
    const QByteArray head("0\nSECTION\n2\nENTITIES\n");
    const QByteArray good("0\n3DFACE\n10\n0\n20\n0\n30\n1\n11\n10\n21\n0\n31\n2\n12\n0\n22\n10\n32\n3\n");
    QByteArray bad = good;
    bad.replace("21\n0\n", "21\nnan\n");
    QTest::newRow("no usable face")
        << "nan.dxf" << head + bad + bad + "0\nENDSEC\n0\nEOF\n"
        << QString() << false
        << "No 3DFACE entity of the drawing's model space can be used: each has a "
           "corner that is not a finite number or is larger than 1e38 (2 left out; the "
           "first ends at line 24).";
    QTest::newRow("faces left out")
        << "some.dxf" << head + good + bad + bad + "0\nENDSEC\n0\nEOF\n"
        << QString() << true
        << "3DFACE entities left out for a corner that is not a finite number or is "
           "larger than 1e38: 2 (the first ends at line 44).";
    // Corners on one line: the third corner of each face is its first.
    QByteArray flat = good;
    flat.replace("22\n10\n", "22\n0\n");
    const QString noArea("No 3DFACE entity of the drawing's model space has an area: seen from above, the "
                         "corners of each lie on one line.");
    QTest::newRow("faces without area") << "flat.dxf" << head + flat + flat + "0\nENDSEC\n0\nEOF\n"
                                        << QString() << false << noArea;
    QTest::newRow("faces without area, others left out")
        << "flatnan.dxf" << head + flat + bad + "0\nENDSEC\n0\nEOF\n"
        << QString() << false
        << noArea
            + " 3DFACE entities left out for a corner that is not a finite number or is larger than 1e38: 1 "
              "(the "
              "first ends at line 44).";
    QTest::newRow("binary drawing")
        << "binary.dxf" << QByteArray("AutoCAD Binary DXF\r\n\x1a\0\0\0", 25) << QString() << false
        << "%1 is a binary DXF drawing, which cannot be read; save it as an ASCII DXF "
           "drawing.";

    const QByteArray points("P1,,0,0,1\nP2,,10,0,2\nP3,,0,10,3\n");
    QTest::newRow("blank lines ending a point file") << "end.dat" << points + "\r\n\n  \n"
                                                     << QString() << true << QString();
    QTest::newRow("collinear points")
        << "line.dat" << QByteArray("a,,0,0,1\nb,,1,1,1\nc,,2,2,1\n") << QString() << false
        << "The points of %1 make no triangle: there are fewer than three distinct "
           "points, or all lie on one line.";
    QTest::newRow("points too far apart")
        << "far.dat" << points + "P4,,1e308,-1e308,0\n"
        << QString() << false
        << "Line 4 of %1: the north coordinate \"-1e308\" is too large; a TIN "
           "holds coordinates up to 1e38 in size.";
    // Root may write anywhere, but not into a folder that is not there or below a file.
    QTest::newRow("no such folder") << "site.dat" << points << "missing/site.qvr" << false
                                    << "Cannot create the TIN database %2: no such file or folder.";
    QTest::newRow("folder is a file") << "site.dat" << points << "site.dat/site.qvr" << false
                                      << "Cannot create the TIN database %2: not a folder.";
}

void TinDialogTest::everyOutcomeSaysWhy()
{
    QFETCH(QString, dataName);
    QFETCH(QByteArray, dataText);
    QFETCH(QString, targetName);
    QFETCH(bool, succeeds);
    QFETCH(QString, details);
    const QString data = m_folder->filePath(dataName);
    const QString target = m_folder->filePath(targetName.isEmpty() ? QStringLiteral("out.qvr") : targetName);
    QVERIFY(writeText(data, dataText));
    choose(data, target);
    QVERIFY(generateAndWait());

    QCOMPARE(m_prompter->boxes.size(), 1);
    const ScriptedPrompter::Box box = m_prompter->boxes.at(0);
    QCOMPARE(box.kind, succeeds ? QStringLiteral("information") : QStringLiteral("critical"));
    QString text
        = succeeds ? QStringLiteral("Generating TIN succeeded") : QStringLiteral("Generating TIN failed");
    if (!details.isEmpty())
        text += QStringLiteral("\n\n")
            + QString(details).replace(QLatin1String("%1"), data).replace(QLatin1String("%2"), target);
    QCOMPARE(box.text, text);
    // A failed run leaves no database, not even an empty one.
    QTRY_COMPARE(QFileInfo::exists(target), succeeds);
    QVERIFY(QFileInfo::exists(data));
}

void TinDialogTest::refusals_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("no data file") << "missing"
                                  << "Generating Error"
                                  << "Data file does not exist!";
    QTest::newRow("data file as target") << "same"
                                         << "Generating Error"
                                         << "Target file must differ from data file";
    QTest::newRow("link to data file as target") << "link"
                                                 << "Generating Error"
                                                 << "Target file must differ from data file";
    QTest::newRow("keep target") << "no"
                                 << "Overwrite?"
                                 << "Target file already exists, overwrite";
    QTest::newRow("target cannot go") << "locked"
                                      << "Access denied"
                                      << "Unable to overwrite given file";
    // Refused without a question: a yes would not change it.
    QTest::newRow("text file as target") << "text"
                                         << "Generating Error"
                                         << "Target file is not a TIN database and is not overwritten";
    QTest::newRow("road file as target") << "road"
                                         << "Generating Error"
                                         << "Target file is not a TIN database and is not overwritten";
    QTest::newRow("empty file as target") << "empty"
                                          << "Generating Error"
                                          << "Target file is not a TIN database and is not overwritten";
    // A TIN another program was killed while writing: a new TIN in its place would take the old write.
    QTest::newRow("TIN with the journal of an unfinished write")
        << "journal"
        << "Generating Error"
        << "%1 is not replaced: beside it lies %1-journal, the journal of a write to it that did not end. "
           "Open "
           "it once with the program that wrote it, which rolls that write back, or remove the journal to "
           "replace it all the same.";
    // A TIN a program had open in write-ahead-log mode: the log would be played over a new TIN.
    QTest::newRow("TIN with the write-ahead log of a killed program")
        << "log"
        << "Generating Error"
        << "%1 is not replaced: beside it lies %1-wal, the write-ahead log of a program that has it open or "
           "ended without closing it, which would be played over the new TIN. Close that program, or open "
           "the "
           "TIN once with it and close it again, which writes the log into the TIN, or remove the log to "
           "replace the TIN all the same. Nothing was changed.";
}

void TinDialogTest::refusals()
{
    QFETCH(QString, situation);
    QFETCH(QString, title);
    QFETCH(QString, text);
    const QString data = m_folder->filePath(QStringLiteral("site.dat"));
    QVERIFY(QFile::copy(QStringLiteral(TEST_DATA_DIR "/site.dat"), data));
    QString target = m_folder->filePath(QStringLiteral("site.qvr"));
    QVERIFY(writeTin(target));
    QString chosenData = data;
    if (situation == QLatin1String("missing")) {
        chosenData = m_folder->filePath(QStringLiteral("missing.dat"));
    } else if (situation == QLatin1String("same")) {
        target = data;
    } else if (situation == QLatin1String("link")) {
        target = m_folder->filePath(QStringLiteral("link.qvr"));
        QVERIFY(QFile::link(data, target));
    } else if (situation == QLatin1String("no")) {
        m_prompter->answer = QMessageBox::No;
    } else if (situation == QLatin1String("locked")) {
        // A folder cannot be replaced by a file, not even by root.
        target = m_folder->filePath(QStringLiteral("folder.qvr"));
        QVERIFY(QDir(m_folder->path()).mkpath(QStringLiteral("folder.qvr/inside")));
    } else if (situation == QLatin1String("text")) {
        QVERIFY(writeText(target, "old model"));
    } else if (situation == QLatin1String("road")) {
        // The road file open in the program, say.
        target = m_folder->filePath(QStringLiteral("road.rod"));
        QVERIFY(writeText(target, "<?xml version=\"1.0\"?>\n<Road><Version>4</Version></Road>\n"));
    } else if (situation == QLatin1String("empty")) {
        QVERIFY(writeText(target, QByteArray()));
    } else if (situation == QLatin1String("journal")) {
        QVERIFY(leaveHotJournal(target));
    } else if (situation == QLatin1String("log")) {
        QVERIFY(leaveWriteAheadLog(target));
    }
    const QByteArray before = QFileInfo(target).isFile() ? readAll(target) : QByteArray();
    choose(chosenData, target);
    generateButton()->click();

    QVERIFY(!m_dialog->generator());
    QVERIFY(m_bar->isHidden());
    QVERIFY(generateButton()->isEnabled());
    QCOMPARE(m_prompter->boxes.last().title, title);
    QCOMPARE(m_prompter->boxes.last().text, text.replace(QLatin1String("%1"), target));
    if (title == QLatin1String("Overwrite?"))
        QCOMPARE(m_prompter->questionButtons, QMessageBox::No | QMessageBox::Yes);
    QVERIFY(QFileInfo::exists(target));
    QFile input(data);
    QVERIFY(input.open(QIODevice::ReadOnly));
    QVERIFY(input.readAll().startsWith("P1,,100.0"));
    if (QFileInfo(target).isFile())
        QCOMPARE(readAll(target), before);
    QVERIFY(beside(target).isEmpty());
    if (title == QLatin1String("Generating Error") && situation != QLatin1String("missing"))
        QCOMPARE(m_prompter->boxes.size(), 1);
}

void TinDialogTest::overwriteReplacesOldTin()
{
    const QString target = m_folder->filePath(QStringLiteral("site.qvr"));
    QVERIFY(writeTin(target));
    const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(target, permissions));
    choose(QStringLiteral(TEST_DATA_DIR "/site.dat"), target);
    QVERIFY(generateAndWait());
    QCOMPARE(m_prompter->boxes.size(), 2);
    QCOMPARE(m_prompter->boxes.at(0).kind, QStringLiteral("question"));
    QCOMPARE(m_prompter->boxes.at(1).text, QStringLiteral("Generating TIN succeeded"));
    // The four triangles of the point file, readable by whom the old TIN was.
    QCOMPARE(readTin(target).triangles.size(), size_t(4));
    QCOMPARE(QFile::permissions(target) & 0x7077, permissions);
    QVERIFY(beside(target).isEmpty());
}

void TinDialogTest::failedRunKeepsOldTin_data()
{
    QTest::addColumn<QString>("dataName");
    QTest::addColumn<QByteArray>("dataText");
    QTest::newRow("drawing without faces")
        << "lines.dxf"
        << QByteArray(
               "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\nT\n10\n0\n20\n0\n11\n1\n21\n1\n0\nENDSEC\n0\nEOF\n");
    QTest::newRow("faces without area")
        << "flat.dxf"
        << QByteArray(
               "0\nSECTION\n2\nENTITIES\n0\n3DFACE\n10\n0\n20\n0\n30\n1\n11\n5\n21\n5\n31\n2\n12\n10\n22\n"
               "10\n32\n3\n0\nENDSEC\n0\nEOF\n");
    QTest::newRow("bad point file") << "bad.dat"
                                    << QByteArray("a,,0,0,1\nb,,10,0,1\nc,,0,10,1\nd,,nan,5,1\n");
    QTest::newRow("points on a line") << "line.dat" << QByteArray("a,,0,0,1\nb,,1,1,1\nc,,2,2,1\n");
}

void TinDialogTest::failedRunKeepsOldTin()
{
    QFETCH(QString, dataName);
    QFETCH(QByteArray, dataText);
    const QString data = m_folder->filePath(dataName);
    const QString target = m_folder->filePath(QStringLiteral("site.qvr"));
    QVERIFY(writeText(data, dataText));
    QVERIFY(writeTin(target));
    const QByteArray before = readAll(target);
    choose(data, target);
    QVERIFY(generateAndWait());
    QCOMPARE(m_prompter->boxes.size(), 2);
    QCOMPARE(m_prompter->boxes.at(0).kind, QStringLiteral("question"));
    QCOMPARE(m_prompter->boxes.at(1).kind, QStringLiteral("critical"));
    QVERIFY(m_prompter->boxes.at(1).text.startsWith(QStringLiteral("Generating TIN failed\n\n")));
    // The old TIN as it was, and nothing of the new one left beside it, right when the run is over.
    QCOMPARE(readAll(target), before);
    QVERIFY(beside(target).isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(readAll(target), before);
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TinDialogTest::rejectDuringRunLeavesNoTarget()
{
    const QString target = largeTarget();
    QPointer<TinGenerator> generator = startLargeRun(8000);
    QVERIFY(generator);
    QVERIFY(!m_bar->isHidden());
    QVERIFY(!generateButton()->isEnabled());
    QVERIFY(!button("selectData")->isEnabled());

    // Once the writer has begun (reading weighs 80), the new TIN is written beside the target, which is
    // not there until it is complete. A run that ends meanwhile has its finish queued, which must come to
    // nothing after the reject.
    QVERIFY(waitForProgress(*generator, *generator->job(), 80));
    QVERIFY(!beside(target).isEmpty() || generator->isFinished());
    QVERIFY(!QFile::exists(target) || generator->isFinished());
    m_dialog->reject();
    QVERIFY(!m_dialog->generator());
    QCOMPARE(m_dialog->result(), int(QDialog::Rejected));

    // The abandoned generator ends on its own and takes its output along; the dialog says nothing.
    QTRY_VERIFY_WITH_TIMEOUT(generator.isNull(), 120000);
    QVERIFY(!QFile::exists(target));
    QVERIFY(beside(target).isEmpty());
    QVERIFY(m_prompter->boxes.isEmpty());
}

void TinDialogTest::rejectDuringRunKeepsOldTin()
{
    const QString target = largeTarget();
    QVERIFY(writeTin(target));
    const QByteArray before = readAll(target);
    QPointer<TinGenerator> generator = startLargeRun(8000);
    QVERIFY(generator);
    QCOMPARE(m_prompter->boxes.size(), 1);
    QCOMPARE(m_prompter->boxes.at(0).kind, QStringLiteral("question"));
    QVERIFY(waitForProgress(*generator, *generator->job(), 80));
    QCOMPARE(readAll(target), before);
    m_dialog->reject();
    QTRY_VERIFY_WITH_TIMEOUT(generator.isNull(), 120000);
    QCOMPARE(readAll(target), before);
    QVERIFY(beside(target).isEmpty());
    QCOMPARE(m_prompter->boxes.size(), 1);
}

void TinDialogTest::destroyDuringRunLeavesNoTarget()
{
    const QString target = largeTarget();
    QPointer<TinGenerator> generator = startLargeRun(8000);
    QVERIFY(generator);
    m_dialog.reset();
    QTRY_VERIFY_WITH_TIMEOUT(generator.isNull(), 120000);
    QVERIFY(!QFile::exists(target));
    QVERIFY(m_prompter->boxes.isEmpty());
}

void TinDialogTest::quitWhileWritingLeavesNoTarget_data()
{
    QTest::addColumn<bool>("rejected");
    QTest::newRow("dialog rejected") << true;
    QTest::newRow("dialog destroyed") << false;
}

void TinDialogTest::quitWhileWritingLeavesNoTarget()
{
    QFETCH(bool, rejected);
    const QString target = largeTarget();
    QPointer<TinGenerator> generator = startLargeRun(100000);
    QVERIFY(generator);
    QVERIFY(waitForProgress(*generator, *generator->job(), 80));
    QVERIFY(!generator->isFinished());
    if (rejected)
        m_dialog->reject();
    else
        m_dialog.reset();

    // The program quits at once: its main loop ends with the generator still at work.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    // Quitting waited for the thread and took the partial database along.
    QVERIFY(generator.isNull());
    QVERIFY(!QFile::exists(target));
    QVERIFY(m_prompter->boxes.isEmpty());
}

void TinDialogTest::finishWithoutGenerator()
{
    QVERIFY(QMetaObject::invokeMethod(m_dialog.get(), "onFinished"));
    QVERIFY(m_prompter->boxes.isEmpty());
    QVERIFY(!generateButton()->isEnabled());
}

void TinDialogTest::longPathsWrapInTheBox()
{
    // The real boxes: a path of long folder names, as the too-long refusal names, wraps within the box
    // and the screen instead of running past the box's edge.
    TinPrompter::setInstance(nullptr);
    QString path = QStringLiteral("/survey");
    for (int i = 0; i < 5; ++i)
        path += QLatin1Char('/') + QString(100, QLatin1Char('d'));
    const QString text
        = QStringLiteral("No TIN is written to %1: its path is too long for a TIN database.").arg(path);
    int shown = 0;
    auto check = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        ++shown;
        auto close = qScopeGuard([box] { box->done(QMessageBox::Ok); });
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label);
        QVERIFY(label->isVisible());
        const QRect screen = box->screen()->availableGeometry();
        QVERIFY2(box->width() <= screen.width(), qPrintable(QString::number(box->width())));
        // Every line of the text lies within the label.
        QVERIFY2(
            label->minimumSizeHint().width() <= label->width(),
            qPrintable(QStringLiteral("%1 > %2").arg(label->minimumSizeHint().width()).arg(label->width())));
        QVERIFY(label->heightForWidth(label->width()) <= label->height());
        // In lines across a wide box, not a column of folder names.
        QVERIFY2(label->width() >= std::min(480, screen.width() / 2),
                 qPrintable(QString::number(label->width())));
        // Copied as written, without the breaks put in.
        QGuiApplication::clipboard()->clear();
        QTest::keySequence(box, QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
    };
    for (int kind = 0; kind < 3; ++kind) {
        QTimer::singleShot(0, this, check);
        if (kind == 0)
            TinPrompter::instance()->critical(m_dialog.get(), QStringLiteral("Generator"), text);
        else if (kind == 1)
            TinPrompter::instance()->information(m_dialog.get(), QStringLiteral("Generator"), text);
        else
            TinPrompter::instance()->question(m_dialog.get(), QStringLiteral("Generator"), text,
                                              QMessageBox::Yes | QMessageBox::No);
        if (QTest::currentTestFailed())
            return;
    }
    QCOMPARE(shown, 3);
}

TRELVIN_TEST_MAIN(TinDialogTest)
#include "tindialog.moc"
