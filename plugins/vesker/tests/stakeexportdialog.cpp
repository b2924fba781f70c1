#include "roads.h"

#include <stakeexportdialog.h>
#include <stakeexportprompter.h>
#include <stakelistmodel.h>

#include <filewatch.h>
#include <qttestmain.h>

#include <QDoubleValidator>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableView>

using namespace Zemko::Trelvin;
using Pelko::Road::Station;

namespace {

// Answers the dialog's file question from a queue and records every box.
class ScriptedPrompter : public StakeExportPrompter
{
public:
    struct Box
    {
        QString title;
        QString text;
    };
    struct Question
    {
        QString caption;
        QString dir;
        QString filter;
        QString selectedFilter;
    };

    void critical(QWidget*, const QString& title, const QString& text) override
    {
        boxes.append({ title, text });
    }

    void warning(QWidget*, const QString& title, const QString& text) override
    {
        warnings.append({ title, text });
    }

    bool confirm(QWidget*, const QString& title, const QString& text) override
    {
        confirmations.append({ title, text });
        return confirmAnswers.isEmpty() ? false : confirmAnswers.takeFirst();
    }

    QString getSaveFileName(QWidget*, const QString& caption, const QString& dir, const QString& filter,
                            QString* selectedFilter) override
    {
        questions.append({ caption, dir, filter, selectedFilter ? *selectedFilter : QString() });
        if (selectedFilter && !chosenFilters.isEmpty())
            *selectedFilter = chosenFilters.takeFirst();
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }

    QStringList answers;
    // The filter the user picks with each answer.
    QStringList chosenFilters;
    QList<bool> confirmAnswers;
    QList<Box> boxes;
    QList<Box> warnings;
    QList<Box> confirmations;
    QList<Question> questions;
};

QLineEdit* edit(QDialog& dialog, const char* name)
{
    return dialog.findChild<QLineEdit*>(QLatin1String(name));
}

void click(QDialog& dialog, const char* name)
{
    dialog.findChild<QPushButton*>(QLatin1String(name))->click();
}

int rowCount(QDialog& dialog)
{
    return dialog.findChild<QTableView*>(QStringLiteral("tableView"))->model()->rowCount();
}

QString recentPath()
{
    return QSettings(QStringLiteral("Zemko"), QStringLiteral("VeskerPlugin"))
        .value(QStringLiteral("RecentPath"))
        .toString();
}

} // namespace

class StakeExportDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void stationTextOfTheEdits_data();
    void stationTextOfTheEdits();
    void opensWithTheAlignmentsStations();
    void validatorsReadTheCLocale();
    void generateShowsFailures();
    void numbersAtTheEndsOfTheirRangesAreUsed();
    void exportAsksForAFileAndRemembersItsFolder();
    void aNameWithoutExtensionTakesTheFilters();
    void stationsOffTheRoadDoNotExist();
    void failedExportIsShown();
    void aListWrittenWithAWarningIsNoFailure();

private:
    ScriptedPrompter m_prompter;
    QTemporaryDir m_folder;
    std::unique_ptr<Pelko::Road::RoadSurface> m_road;
};

void StakeExportDialogTest::init()
{
    m_prompter = ScriptedPrompter();
    StakeExportPrompter::setInstance(&m_prompter);
    QSettings(QStringLiteral("Zemko"), QStringLiteral("VeskerPlugin")).clear();
    m_road = TestRoads::saved(m_folder, QStringLiteral("road.rod"), { true, true, true });
    QVERIFY(m_road);
}

void StakeExportDialogTest::cleanup()
{
    FileWatch::stop();
    StakeExportPrompter::setInstance(nullptr);
}

void StakeExportDialogTest::stationTextOfTheEdits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("after");
    QTest::newRow("K0+250.5") << "K0+250.5" << 250.5 << false;
    QTest::newRow("-K0+100") << "-K0+100" << -100.0 << false;
    QTest::newRow("250A") << "250A" << 250.0 << true;
    QTest::newRow("k0+155a") << "K0+155a" << 155.0 << true;
    QTest::newRow("K2+5") << "K2+5" << 2005.0 << false;
    QTest::newRow("K0+2+3") << "K0+2+3" << TestRoads::nan << false;
    QTest::newRow("empty") << "" << TestRoads::nan << false;
    QTest::newRow("K") << "K" << TestRoads::nan << false;
    QTest::newRow("nan") << "nan" << TestRoads::nan << false;
}

void StakeExportDialogTest::stationTextOfTheEdits()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(bool, after);
    const Station station = StakeExportDialog::stationFromEdit(text);
    if (std::isnan(value)) {
        QVERIFY(std::isnan(station.getStation()));
    } else {
        QCOMPARE(station.getStation(), value);
        QCOMPARE(station.isAfter(), after);
    }
}

void StakeExportDialogTest::opensWithTheAlignmentsStations()
{
    StakeExportDialog dialog(m_road.get());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Stake Table"));
    QVERIFY(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
    QCOMPARE(edit(dialog, "intervalEdit")->text(), QStringLiteral("20"));
    QCOMPARE(edit(dialog, "offsetEdit")->text(), QStringLiteral("0.0"));
    // 450 m of alignment with 10 m repeated by the equation.
    QCOMPARE(edit(dialog, "startStationEdit")->text(), QStringLiteral("K0+000.000"));
    QCOMPARE(edit(dialog, "endStationEdit")->text(), QStringLiteral("K0+440.000"));
    QCOMPARE(rowCount(dialog), 0);

    click(dialog, "generateButton");
    QVERIFY(m_prompter.boxes.isEmpty());
    auto* model = qobject_cast<StakeListModel*>(dialog.findChild<QTableView*>()->model());
    QVERIFY(model);
    QCOMPARE(model->cellText(0, StakeListModel::StationColumn), QStringLiteral("K0+000.000"));
    QCOMPARE(model->cellText(model->rowCount() - 1, StakeListModel::StationColumn),
             QStringLiteral("K0+440.000"));
}

void StakeExportDialogTest::validatorsReadTheCLocale()
{
    // Under a decimal-comma locale "2,5" must not pass for a number, and in the C locale it is no
    // number either: it would read as 0.
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    StakeExportDialog dialog(m_road.get());
    QLocale::setDefault(previous);

    struct Case
    {
        const char* edit;
        const char* text;
        QValidator::State state;
    };
    const Case cases[] = {
        { "intervalEdit", "2.5", QValidator::Acceptable },
        { "intervalEdit", "2,5", QValidator::Invalid },
        { "intervalEdit", "0.123", QValidator::Invalid },
        { "offsetEdit", "-3.25", QValidator::Acceptable },
        { "offsetEdit", "-3,25", QValidator::Invalid },
        { "offsetEdit", "1,000", QValidator::Invalid },
        { "startStationEdit", "K0+250.5", QValidator::Acceptable },
        { "startStationEdit", "K0+2+3", QValidator::Invalid },
    };
    for (const Case& c : cases) {
        const QValidator* validator = edit(dialog, c.edit)->validator();
        QVERIFY(validator);
        QString text = QLatin1String(c.text);
        int position = 0;
        QVERIFY2(validator->validate(text, position) == c.state, c.text);
    }
    QCOMPARE(edit(dialog, "intervalEdit")->validator()->locale().name(), QStringLiteral("C"));
    QCOMPARE(edit(dialog, "offsetEdit")->validator()->locale().name(), QStringLiteral("C"));

    // What the edits hold is read in the C locale as well.
    edit(dialog, "intervalEdit")->setText(QStringLiteral("112.5"));
    edit(dialog, "offsetEdit")->setText(QStringLiteral("1.5"));
    click(dialog, "generateButton");
    QVERIFY(m_prompter.boxes.isEmpty());
    auto* model = qobject_cast<StakeListModel*>(dialog.findChild<QTableView*>()->model());
    QCOMPARE(model->cellText(0, StakeListModel::OffsetColumn), QStringLiteral("1.500"));
    QCOMPARE(model->cellText(1, StakeListModel::StationColumn), QStringLiteral("K0+100.000"));
}

void StakeExportDialogTest::generateShowsFailures()
{
    StakeExportDialog dialog(m_road.get());
    click(dialog, "generateButton");
    const int rows = rowCount(dialog);
    QVERIFY(rows > 10);

    struct Case
    {
        const char* edit;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        { "startStationEdit", "K0+2+3", "Begin Station does not exist" },
        { "startStationEdit", "", "Begin Station does not exist" },
        { "startStationEdit", "K1+000", "Begin Station does not exist" },
        { "endStationEdit", "-K1+000", "End Station does not exist" },
        { "intervalEdit", "0.05", "Interval is too small" },
        { "intervalEdit", "", "Interval is too small" },
        { "intervalEdit", "-20", "Interval is too small" },
        // Numbers beyond what the validators allow stay in the edits as half-typed: they are refused
        // rather than used.
        { "intervalEdit", "2000000", "Interval must lie within 0.1 .. 1000000" },
        { "intervalEdit", "1e308", "Interval must lie within 0.1 .. 1000000" },
        { "intervalEdit", "1e309", "Interval must lie within 0.1 .. 1000000" },
        { "offsetEdit", "2000000", "Offset must lie within -1000000 .. 1000000" },
        { "offsetEdit", "1000000.01", "Offset must lie within -1000000 .. 1000000" },
        { "offsetEdit", "1e308", "Offset must lie within -1000000 .. 1000000" },
        { "offsetEdit", "-1e308", "Offset must lie within -1000000 .. 1000000" },
        { "offsetEdit", "-1e309", "Offset must lie within -1000000 .. 1000000" },
        { "offsetEdit", "inf", "Offset must lie within -1000000 .. 1000000" },
        { "startStationEdit", "K1000000000+000", "Begin Station does not exist" },
        { "endStationEdit", "1e308", "End Station does not exist" },
    };
    for (const Case& c : cases) {
        StakeExportDialog fresh(m_road.get());
        click(fresh, "generateButton");
        auto* model = qobject_cast<StakeListModel*>(fresh.findChild<QTableView*>()->model());
        const QString north = model->cellText(0, StakeListModel::NorthColumn);
        m_prompter.boxes.clear();
        edit(fresh, c.edit)->setText(QLatin1String(c.text));
        click(fresh, "generateButton");
        QVERIFY2(m_prompter.boxes.size() == 1, c.text);
        QCOMPARE(m_prompter.boxes.at(0).title, QStringLiteral("Generate Failed"));
        QCOMPARE(m_prompter.boxes.at(0).text, QLatin1String(c.message));
        // The list generated before stays as it was.
        QCOMPARE(rowCount(fresh), rows);
        QCOMPARE(model->cellText(0, StakeListModel::NorthColumn), north);
        QCOMPARE(model->cellText(0, StakeListModel::OffsetColumn), QStringLiteral("0.000"));
    }

    // An unreadable offset reads as 0.
    edit(dialog, "offsetEdit")->setText(QStringLiteral("-"));
    m_prompter.boxes.clear();
    click(dialog, "generateButton");
    QVERIFY(m_prompter.boxes.isEmpty());
    auto* model = qobject_cast<StakeListModel*>(dialog.findChild<QTableView*>()->model());
    QCOMPARE(model->cellText(0, StakeListModel::OffsetColumn), QStringLiteral("0.000"));
}

void StakeExportDialogTest::numbersAtTheEndsOfTheirRangesAreUsed()
{
    StakeExportDialog dialog(m_road.get());
    edit(dialog, "offsetEdit")->setText(QStringLiteral("-1000000"));
    edit(dialog, "intervalEdit")->setText(QStringLiteral("1000000"));
    click(dialog, "generateButton");
    QVERIFY(m_prompter.boxes.isEmpty());
    auto* model = qobject_cast<StakeListModel*>(dialog.findChild<QTableView*>()->model());
    QVERIFY(model->rowCount() > 0);
    QCOMPARE(model->cellText(0, StakeListModel::OffsetColumn), QStringLiteral("-1000000.000"));
}

void StakeExportDialogTest::exportAsksForAFileAndRemembersItsFolder()
{
    StakeExportDialog dialog(m_road.get());
    click(dialog, "generateButton");

    // Cancelled: nothing stored, nothing written.
    click(dialog, "exportButton");
    QCOMPARE(m_prompter.questions.size(), 1);
    const ScriptedPrompter::Question question = m_prompter.questions.at(0);
    QCOMPARE(question.caption, QStringLiteral("Export To"));
    QCOMPARE(question.dir, QDir::homePath());
    QCOMPARE(question.filter, QStringLiteral("CASS Data File (*.dat);;Stake Data (*.csv)"));
    QCOMPARE(question.selectedFilter, QStringLiteral("*.dat"));
    QVERIFY(recentPath().isEmpty());
    QVERIFY(m_prompter.boxes.isEmpty());

    QVERIFY(QDir(m_folder.path()).mkdir(QStringLiteral("out")));
    const QString path = m_folder.filePath(QStringLiteral("out/stakes.DAT"));
    m_prompter.answers << path;
    click(dialog, "exportButton");
    QVERIFY(m_prompter.boxes.isEmpty());
    QCOMPARE(recentPath(), m_folder.filePath(QStringLiteral("out")));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count('\n'), rowCount(dialog));

    // The next question starts in that folder; a cancel keeps it.
    click(dialog, "exportButton");
    QCOMPARE(m_prompter.questions.last().dir, m_folder.filePath(QStringLiteral("out")));
    QCOMPARE(recentPath(), m_folder.filePath(QStringLiteral("out")));
}

void StakeExportDialogTest::aNameWithoutExtensionTakesTheFilters()
{
    StakeExportDialog dialog(m_road.get());
    click(dialog, "generateButton");
    const QString bare = m_folder.filePath(QStringLiteral("stakes"));
    const QString csv = bare + QStringLiteral(".csv");
    QFile::remove(csv);
    m_prompter.answers << bare;
    m_prompter.chosenFilters << QStringLiteral("Stake Data (*.csv)");
    click(dialog, "exportButton");
    QVERIFY(m_prompter.boxes.isEmpty());
    QVERIFY(m_prompter.confirmations.isEmpty());
    QVERIFY(!QFile::exists(bare));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    file.close();
    QCOMPARE(written.count('\n'), rowCount(dialog));
    // Six columns: the stake list, not the CASS file.
    QCOMPARE(written.left(written.indexOf('\n')).count(','), 5);

    // The dialog asked about the bare name: replacing the file with the suffix is asked first.
    QVERIFY(QFile::remove(csv) && QFile(csv).open(QIODevice::WriteOnly));
    m_prompter.answers << bare;
    m_prompter.chosenFilters << QStringLiteral("Stake Data (*.csv)");
    m_prompter.confirmAnswers << false;
    click(dialog, "exportButton");
    QCOMPARE(m_prompter.confirmations.size(), 1);
    QCOMPARE(
        m_prompter.confirmations.last().text,
        QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(QDir::toNativeSeparators(csv)));
    QCOMPARE(QFileInfo(csv).size(), 0);
    m_prompter.answers << bare;
    m_prompter.chosenFilters << QStringLiteral("Stake Data (*.csv)");
    m_prompter.confirmAnswers << true;
    click(dialog, "exportButton");
    QCOMPARE(QFileInfo(csv).size(), written.size());

    // The CASS filter gives ".dat".
    m_prompter.answers << bare;
    m_prompter.chosenFilters << QStringLiteral("CASS Data File (*.dat)");
    click(dialog, "exportButton");
    QVERIFY(QFile::exists(bare + QStringLiteral(".dat")));
    QVERIFY(m_prompter.boxes.isEmpty());
}

// The road's stations run from its first element's, whatever the alignment's own begin station reads
// after a load: a station before or after them does not exist.
void StakeExportDialogTest::stationsOffTheRoadDoNotExist()
{
    const QString path = m_folder.filePath(QStringLiteral("from1000.rod"));
    QFile::remove(path);
    QVERIFY(QFile::copy(QStringLiteral(SHARED_TEST_DATA_DIR "/alignment_starts_at_1000.rod"), path));
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    Pelko::Road::RoadSurface road(path.toLocal8Bit().toStdString());
    QVERIFY(road.load());
    StakeExportDialog dialog(&road);
    QCOMPARE(edit(dialog, "startStationEdit")->text(), QStringLiteral("K1+000.000"));
    QCOMPARE(edit(dialog, "endStationEdit")->text(), QStringLiteral("K1+140.000"));
    click(dialog, "generateButton");
    QVERIFY(m_prompter.boxes.isEmpty());
    const int rows = rowCount(dialog);
    auto* model = qobject_cast<StakeListModel*>(dialog.findChild<QTableView*>()->model());
    QCOMPARE(model->cellText(0, StakeListModel::StationColumn), QStringLiteral("K1+000.000"));
    QCOMPARE(model->cellText(rows - 1, StakeListModel::StationColumn), QStringLiteral("K1+140.000"));

    struct Case
    {
        const char* start;
        const char* end;
        const char* message;
    };
    const Case cases[] = {
        { "K0+000", "K0+500", "Begin Station does not exist" },
        { "K0+900", "K1+100", "Begin Station does not exist" },
        { "K1+000", "K1+200", "End Station does not exist" },
        { "K1+200", "K1+300", "Begin Station does not exist" },
    };
    for (const Case& c : cases) {
        m_prompter.boxes.clear();
        edit(dialog, "startStationEdit")->setText(QLatin1String(c.start));
        edit(dialog, "endStationEdit")->setText(QLatin1String(c.end));
        click(dialog, "generateButton");
        QVERIFY2(m_prompter.boxes.size() == 1, c.start);
        QCOMPARE(m_prompter.boxes.at(0).text, QLatin1String(c.message));
        QCOMPARE(rowCount(dialog), rows);
    }
}

void StakeExportDialogTest::failedExportIsShown()
{
    StakeExportDialog dialog(m_road.get());
    click(dialog, "generateButton");
    m_prompter.answers << m_folder.filePath(QStringLiteral("stakes.txt"))
                       << m_folder.filePath(QStringLiteral("missing/stakes.csv"));
    click(dialog, "exportButton");
    click(dialog, "exportButton");
    QCOMPARE(m_prompter.boxes.size(), 2);
    QCOMPARE(m_prompter.boxes.at(0).title, QStringLiteral("Export Failed"));
    QCOMPARE(m_prompter.boxes.at(0).text, QStringLiteral("Unknown format"));
    QCOMPARE(m_prompter.boxes.at(1).title, QStringLiteral("Export Failed"));
    QCOMPARE(m_prompter.boxes.at(1).text, QStringLiteral("Failed to open file: no such file or folder"));
    QVERIFY(!QFile::exists(m_folder.filePath(QStringLiteral("stakes.txt"))));

    // A full disk says so.
    const std::string folder
        = QFile::encodeName(QFileInfo(m_folder.path()).canonicalFilePath()).toStdString();
    FileWatch::start(folder);
    FileWatch::setFreeSpace(0);
    m_prompter.answers << m_folder.filePath(QStringLiteral("full.csv"));
    click(dialog, "exportButton");
    FileWatch::stop();
    QCOMPARE(m_prompter.boxes.size(), 3);
    QCOMPARE(m_prompter.boxes.at(2).text,
             QStringLiteral("Failed to write file: no space left on the device"));
    QVERIFY(!QFile::exists(m_folder.filePath(QStringLiteral("full.csv"))));
    QVERIFY(m_prompter.warnings.isEmpty());
}

// A list in place whose folder could not be synced is exported, with a warning.
void StakeExportDialogTest::aListWrittenWithAWarningIsNoFailure()
{
    StakeExportDialog dialog(m_road.get());
    click(dialog, "generateButton");
    const QString path = m_folder.filePath(QStringLiteral("unsynced.csv"));
    m_prompter.answers << path;
    FileWatch::start(QFile::encodeName(QFileInfo(m_folder.path()).canonicalFilePath()).toStdString(), true);
    click(dialog, "exportButton");
    FileWatch::stop();
    QVERIFY(m_prompter.boxes.isEmpty());
    QCOMPARE(m_prompter.warnings.size(), 1);
    QCOMPARE(
        m_prompter.warnings.at(0).text,
        QStringLiteral("%1 was written, but its folder could not be synced (input/output error): until it "
                       "is written again, a crash may lose it.")
            .arg(path));
    QCOMPARE(QFile(path).size() > 0, true);
}

TRELVIN_TEST_MAIN(StakeExportDialogTest)
#include "stakeexportdialog.moc"
