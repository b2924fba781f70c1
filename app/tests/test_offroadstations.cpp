#include "qttestmain.h"

#include "support/roadfiles.h"
#include "support/scriptedprompter.h"
#include "test_checkroads.h"
#include "test_slopesegmentsupport.h"

#include "check/roadcheckdialog.h"
#include "check/roadcheckmodel.h"
#include "check/stationcheckdialog.h"
#include "check/stationcheckmodel.h"
#include "document/trelvin.h"
#include "framework/crosssectioneditcache.h"
#include "section/superelevationpointdialog.h"
#include "section/superelevationpointeditwidget.h"
#include "section/wideningpointdialog.h"
#include "slopes/slopeuselibdialog.h"
#include "slopes/slopeuselibtablemodel.h"
#include "ui_slopeuselibdialog.h"

#include <road/crosssectionconfiguration.h>
#include <road/crosssectionelementconfiguration.h>
#include <road/horizontalalignment.h>
#include <road/horizontalelementconfiguration.h>
#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>

#include <QLabel>
#include <QRegularExpression>

using Pelko::Road::Station;
using Zemko::Trelvin::CrossSectionEditCache;
using Zemko::Trelvin::Trelvin;

namespace {

Trelvin* document()
{
    return Trelvin::instance();
}

// The alignment of a road whose first element starts at station 1000 and whose last ends at 1140.
QByteArray alignmentFrom1000()
{
    const QByteArray file
        = RoadFiles::read(QStringLiteral(SHARED_TEST_DATA_DIR "/alignment_starts_at_1000.rod"));
    const QRegularExpression part(QStringLiteral("<HorizontalAlignment>.*</HorizontalAlignment>"),
                                  QRegularExpression::DotMatchesEverythingOption);
    return part.match(QString::fromUtf8(file)).captured(0).toUtf8() + "\n";
}

QString message(QDialog& dialog)
{
    return CheckRoads::child<QLabel>(&dialog, "stationMessage")->text();
}

QList<double> superelevationStations(int side, unsigned element)
{
    const Pelko::Road::CrossSectionElementConfiguration points
        = CrossSectionEditCache::instance()->configuration(side).elementConfigurationAt(element);
    QList<double> stations;
    for (unsigned i = 0; i < points.superelevationPointSize(); ++i)
        stations << points.getSuperelevationPointAt(i).getStation();
    return stations;
}

} // namespace

// Stations the road does not reach: the check tools answer nothing for them and say so, and the
// section and slope editors refuse them as typed; what a file already holds still loads.
class TestOffRoadStations : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString write(const QString& name, const QByteArray& parts) const
    {
        const QString path = dir.filePath(name);
        return RoadFiles::write(path, RoadFiles::road(parts)) ? path : QString();
    }

    QString example() const
    {
        const QString path = dir.filePath(QStringLiteral("example.rod"));
        QFile::remove(path);
        if (!QFile::copy(QStringLiteral(TRELVIN_EXAMPLES_DIR "/ridge-road.rod"), path))
            qWarning("could not copy the example road");
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        CrossSectionEditCache::instance();
    }

    void cleanup()
    {
        ScriptedPrompter quiet(false);
        document()->closeRoad();
    }

    void checkByStationAnswersNothingOffTheRoad()
    {
        QVERIFY(document()->openRoad(write(QStringLiteral("from1000.rod"), alignmentFrom1000())));
        // The alignment's own begin station reads 0 after a load; the first element's says 1000.
        QCOMPARE(document()->road()->getHorizontalAligment()->getBeginStation(), 0.0);
        StationCheckDialog dialog(document()->road());
        auto* station = CheckRoads::child<QLineEdit>(&dialog, "stationEdit");

        CheckRoads::type(station, QStringLiteral("500"));
        QCOMPARE(dialog.leftModel()->rowCount(), 0);
        QCOMPARE(dialog.rightModel()->rowCount(), 0);
        QVERIFY(dialog.leftModel()->sectionLine().isEmpty());
        QCOMPARE(message(dialog),
                 QStringLiteral("Station K0+500.000 is not on the road, which runs from "
                                "K1+000.000 to K1+140.000."));

        CheckRoads::type(station, QStringLiteral("1050"));
        QCOMPARE(dialog.leftModel()->rowCount(), 1);
        QCOMPARE(dialog.leftModel()->cellText(0, 1), QStringLiteral("1050.000"));
        QCOMPARE(message(dialog), QString());

        CheckRoads::type(station, QStringLiteral("K1+200"));
        QCOMPARE(dialog.leftModel()->rowCount(), 0);
        QVERIFY(message(dialog).startsWith(QStringLiteral("Station K1+200.000 is not on the road")));
        // The road's own ends are on it.
        CheckRoads::type(station, QStringLiteral("K1+140"));
        QCOMPARE(dialog.rightModel()->rowCount(), 1);
        QCOMPARE(message(dialog), QString());
    }

    void checkByCoordinateAnswersNothingOffTheRoad()
    {
        QVERIFY(document()->openRoad(example()));
        RoadCheckDialog dialog(1, document()->road());
        Zemko::Trelvin::RoadCheckModel* model = dialog.model();
        auto* station = CheckRoads::child<QLineEdit>(&dialog, "stationEdit");

        CheckRoads::type(station, QStringLiteral("K6+000"));
        for (int row = 0; row < model->rowCount(); ++row)
            QCOMPARE(model->cellText(row, 1), QString());
        QCOMPARE(message(dialog),
                 QStringLiteral("Station K6+000.000 is not on the road, which runs from "
                                "K0+000.000 to K5+204.474."));
        // Stepping from nowhere keeps the typed station.
        CheckRoads::child<QPushButton>(&dialog, "forwardButton")->click();
        QCOMPARE(station->text(), QStringLiteral("K6+000"));

        CheckRoads::type(station, QStringLiteral("K5+204.474"));
        QCOMPARE(model->cellText(Zemko::Trelvin::RoadCheckModel::StationRow, 1),
                 QStringLiteral("K5+204.474"));
        QVERIFY(!model->cellText(Zemko::Trelvin::RoadCheckModel::StakeNRow, 1).isEmpty());
        QCOMPARE(message(dialog), QString());
    }

    // The road's last station ends its last slope segments; the section there keeps its slopes.
    void theLastStationKeepsItsSlopes()
    {
        QVERIFY(document()->openRoad(example()));
        Zemko::Trelvin::StationCheckModel end(document()->road());
        Zemko::Trelvin::StationCheckModel before(document()->road());
        QVERIFY(end.setStation(Station(5204.474, false)));
        QVERIFY(before.setStation(Station(5204.0, false)));
        QVERIFY(!before.slopeMarkers().isEmpty());
        QCOMPARE(end.slopeMarkers().size(), before.slopeMarkers().size());
        QCOMPARE(end.leftPoints().size(), before.leftPoints().size());
        QCOMPARE(end.rightPoints().size(), before.rightPoints().size());
        QCOMPARE(end.sectionLine().size(), before.sectionLine().size());
    }

    // A superelevation point typed off the road is refused in its dialog, which stays open; a point the
    // file already holds off the road still loads and is written back.
    void sectionPointsOffTheRoadAreRefused()
    {
        const QByteArray section = SectionRoads::section(
            SectionRoads::element("lane", 3.5, -2.0, 0.0, { { 1, 1100.0, -2.0 } }, { { 1, 500.0, 3.5 } }),
            SectionRoads::element("lane", 3.5, -2.0));
        const QString path = write(QStringLiteral("points.rod"), alignmentFrom1000() + section);
        SuperelevationPointEditWidget editor;
        QVERIFY(document()->openRoad(path));
        QCOMPARE(
            CrossSectionEditCache::instance()->configuration(0).elementConfigurationAt(0).wideningPointSize(),
            1u);

        ScriptedPrompter prompter(false);
        SectionRoads::DialogScript script;
        const auto fill = [](const QString& station, const QString& slope) {
            return [=](QDialog* dialog) {
                SectionRoads::child<QLineEdit>(dialog, "leDist")->setText(station);
                SectionRoads::child<QLineEdit>(dialog, "leSlope")->setText(slope);
                static_cast<SuperelevationPointDialog*>(dialog)->onOk();
            };
        };
        script.then(fill(QStringLiteral("500"), QStringLiteral("3")));
        script.then([&](QDialog* dialog) {
            QCOMPARE(prompter.calls.last().text,
                     QStringLiteral("Station K0+500.000 is not on the road, which "
                                    "runs from K1+000.000 to K1+140.000."));
            QCOMPARE(SectionRoads::child<QLineEdit>(dialog, "leSlope")->text(), QStringLiteral("3"));
            fill(QStringLiteral("1120"), QStringLiteral("3"))(dialog);
        });
        script.start();
        editor.onBtnAppendClick();
        QVERIFY(script.done());
        QCOMPARE(script.unexpected, 0);
        QCOMPARE(prompter.count(ScriptedPrompter::Warning), 1);
        QCOMPARE(superelevationStations(0, 0), (QList<double> { 1100.0, 1120.0 }));

        QVERIFY(document()->save());
        document()->closeRoad();
        QVERIFY(document()->openRoad(path));
        QCOMPARE(superelevationStations(0, 0), (QList<double> { 1100.0, 1120.0 }));
        QCOMPARE(CrossSectionEditCache::instance()
                     ->configuration(0)
                     .elementConfigurationAt(0)
                     .getWideningPointAt(0)
                     .getStation(),
                 500.0);

        // The widening dialog judges its station the same way.
        WideningPointDialog widening;
        widening.setStationText(QStringLiteral("1200"));
        widening.setValueText(QStringLiteral("4"));
        widening.setResult(-1);
        widening.onOk();
        QCOMPARE(widening.result(), -1);
        QVERIFY(
            prompter.calls.last().text.startsWith(QStringLiteral("Station K1+200.000 is not on the road")));
        widening.setStationText(QStringLiteral("1000"));
        widening.onOk();
        QCOMPARE(widening.result(), 1);
    }

    // A slope segment typed off the road is refused in its dialog; one the file holds still loads.
    void slopeSegmentsOffTheRoadAreRefused()
    {
        SlopeSegmentRoads::Folder folder;
        folder.renew();
        QVERIFY(folder.open(alignmentFrom1000()));
        Pelko::Road::SlopeSectionTemplateConfiguration left
            = document()->road()->getSlopeSectionConfiguration()->get(Pelko::Road::SlopeSideLeft);
        QCOMPARE(left.addSegment(SlopeSegmentRoads::segment("before", 500, 600)).code, 0);
        QVERIFY(document()->road()->save());
        QVERIFY(folder.reopen());

        Zemko::Trelvin::SlopeUseLibTableModel model(Pelko::Road::SlopeSideLeft);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.segmentName(0), QStringLiteral("before"));
        SlopeUseLibDialog dialog(0, model.rowCount(), &model);
        Ui::SlopeUseLibDialog* ui = dialog.form();
        ui->edtName->setText(QStringLiteral("bank"));
        ui->edtStart->setText(QStringLiteral("900"));
        ui->edtEnd->setText(QStringLiteral("1100"));
        QCOMPARE(dialog.check(),
                 QStringLiteral("Station K0+900.000 is not on the road, which runs from "
                                "K1+000.000 to K1+140.000."));
        ui->edtStart->setText(QStringLiteral("1000"));
        ui->edtEnd->setText(QStringLiteral("1150"));
        QVERIFY(dialog.check().startsWith(QStringLiteral("Station K1+150.000 is not on the road")));
        ui->edtEnd->setText(QStringLiteral("1140"));
        QCOMPARE(dialog.check(), QString());
        QVERIFY(model.add(dialog.segment()).ok);
        QVERIFY(model.applyChanges());
        QVERIFY(folder.reopen());
        QCOMPARE(SlopeLibRoads::segmentNames(document()->road(), Pelko::Road::SlopeSideLeft),
                 (QStringList { "before:Fill A>Fill A", "bank:Fill A>Fill A" }));
    }
};

TRELVIN_TEST_MAIN(TestOffRoadStations)
#include "test_offroadstations.moc"
