#include "qttestmain.h"

#include "support/roadfiles.h"
#include "support/scriptedprompter.h"
#include "test_slopelibroads.h"
#include "test_slopesegmentsupport.h"

#include "alignment/horizontalalignmentwidget.h"
#include "alignment/horizontalelementtablemodel.h"
#include "alignment/horizontalelementtablewidget.h"
#include "alignment/pointofintersectiontablemodel.h"
#include "alignment/pointofintersectiontablewidget.h"
#include "check/stationcheckmodel.h"
#include "document/trelvin.h"
#include "framework/crosssectioneditcache.h"
#include "profile/stationsequationtablemodel.h"
#include "profile/verticalalignmenttablemodel.h"
#include "profile/verticalelementedit.h"
#include "section/standardsectionconfigwidget.h"
#include "shell/fancytabwidget.h"
#include "shell/mainwindow.h"
#include "shell/resources.h"
#include "slopes/slopelibtablemodel.h"
#include "slopes/slopelibtablewideget.h"
#include "slopes/slopeuselibeditwidget.h"
#include "slopes/slopeuselibtablemodel.h"
#include "structures/structuralobjecttablemodel.h"

#include <road/clippedhorizontalalignment.h>
#include <road/crosssectionconfiguration.h>
#include <road/crosssectionelementconfiguration.h>
#include <road/horizontalalignment.h>
#include <road/horizontalelementconfiguration.h>
#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>
#include <road/standardsection.h>
#include <road/station.h>
#include <road/stationiterator.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

using Zemko::Trelvin::CrossSectionEditCache;
using Zemko::Trelvin::HorizontalElementTableModel;
using Zemko::Trelvin::Trelvin;

namespace {

Trelvin* document()
{
    return Trelvin::instance();
}

double number(const QAbstractItemModel* model, int row, int column)
{
    return model->data(model->index(row, column), Qt::EditRole).toString().toDouble();
}

HorizontalAlignmentEditWidget* horizontalEditor(const MainWindow& window)
{
    return qobject_cast<HorizontalAlignmentWidget*>(window.tabWidget()->widget(2))->editor();
}

// Points of one side's superelevation and widening lists in the edit cache.
QPair<unsigned, unsigned> cachedPoints(int side)
{
    const Pelko::Road::CrossSectionConfiguration configuration
        = CrossSectionEditCache::instance()->configuration(side);
    QPair<unsigned, unsigned> points;
    for (unsigned i = 0; i < configuration.size(); ++i) {
        points.first += configuration.elementConfigurationAt(i).superelevationPointSize();
        points.second += configuration.elementConfigurationAt(i).wideningPointSize();
    }
    return points;
}

// How far the point lies from the nearest segment of the polyline (NaN points break it).
double distanceTo(const std::vector<Pelko::Corvex::Point>& line, const Pelko::Corvex::Point& p)
{
    double nearest = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const Pelko::Corvex::Point a = line[i];
        const Pelko::Corvex::Point b = line[i + 1];
        if (!a.isValid() || !b.isValid())
            continue;
        const double dx = b.getX() - a.getX();
        const double dy = b.getY() - a.getY();
        const double length2 = dx * dx + dy * dy;
        const double t = length2 > 0.0
            ? std::clamp(((p.getX() - a.getX()) * dx + (p.getY() - a.getY()) * dy) / length2, 0.0, 1.0)
            : 0.0;
        nearest = std::min(nearest, std::hypot(a.getX() + t * dx - p.getX(), a.getY() + t * dy - p.getY()));
    }
    return nearest;
}

// The worst distance, over the stations from first to last, between the drawn borders and the road's
// own points at the section's edges.
double worstBorder(const Pelko::Road::RoadSurface& road, double first, double last, int mode)
{
    const double inf = std::numeric_limits<double>::infinity();
    const Pelko::Road::ClippedHorizontalAlignment plan = road.getBorderAndAlign(
        0.001, -inf, -inf, inf, inf, Pelko::Road::ClippedHorizontalAlignment::AlignmentLineType(7), mode);
    const std::vector<Pelko::Corvex::Point> left = plan.getLeftBorder();
    const std::vector<Pelko::Corvex::Point> right = plan.getRightBorder();
    double worst = 0.0;
    for (double station = first; station <= last; station += 10.0) {
        const auto widths = road.getStandardSection()->getTotalOffset(station);
        worst = std::max(worst, distanceTo(left, road.getNorthEast(station, -widths.first)));
        worst = std::max(worst, distanceTo(right, road.getNorthEast(station, widths.second)));
    }
    return worst;
}

} // namespace

// The program's edit flows on the example road, through the window and the prompter: an edit, then a
// save or a close, then the file opened again.
class TestEditFlows : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    // A fresh copy of the example road, so that nothing here changes the file kept in the repository.
    QString example(const QString& name) const
    {
        const QString path = dir.filePath(name);
        QFile::remove(path);
        if (!QFile::copy(QStringLiteral(TRELVIN_EXAMPLES_DIR "/ridge-road.rod"), path))
            qWarning("could not copy the example road to %s", qPrintable(path));
        QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return QFileInfo(path).absoluteFilePath();
    }

    static bool reopen(const QString& path)
    {
        document()->closeRoad();
        return document()->openRoad(path);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        qunsetenv("TRELVIN_PLUGIN_PATH");
        Zemko::Trelvin::initResources();
        // As in the program: the cache hears the document before any page.
        CrossSectionEditCache::instance();
    }

    void cleanup()
    {
        ScriptedPrompter quiet(false);
        document()->closeRoad();
    }

    // A cell typed on the vertical, structure or stations-equation page and left without Apply, then
    // the window closed with each answer and destroyed as the program ends: the edit is in the file
    // after Save only, and the window goes without touching what it has already destroyed.
    void closingWithPendingEditsForEveryAnswer()
    {
        struct Page
        {
            const char* name;
            std::function<QAbstractItemModel*(const MainWindow&)> model;
            std::function<double(const QAbstractItemModel*)> read;
            std::function<void(QAbstractItemModel*, double)> type;
        };
        const Page pages[] = {
            { "vertical",
              [](const MainWindow& w) { return w.findChild<Zemko::Trelvin::VerticalAlignmentTableModel*>(); },
              [](const QAbstractItemModel* m) {
                  return number(m, 1, Zemko::Trelvin::VerticalElementEdit::Height);
              },
              [](QAbstractItemModel* m, double v) {
                  QVERIFY(m->setData(m->index(1, Zemko::Trelvin::VerticalElementEdit::Height),
                                     QString::number(v, 'f', 3)));
              } },
            { "structure",
              [](const MainWindow& w) { return w.findChild<Zemko::Trelvin::StructuralObjectTableModel*>(); },
              [](const QAbstractItemModel* m) {
                  return number(m, 0, Zemko::Trelvin::StructuralObjectTableModel::CenterHeightColumn);
              },
              [](QAbstractItemModel* m, double v) {
                  QVERIFY(
                      m->setData(m->index(0, Zemko::Trelvin::StructuralObjectTableModel::CenterHeightColumn),
                                 QString::number(v, 'f', 3)));
              } },
            { "stations equation",
              [](const MainWindow& w) { return w.findChild<Zemko::Trelvin::StationsEquationTableModel*>(); },
              [](const QAbstractItemModel* m) {
                  return static_cast<const Zemko::Trelvin::StationsEquationTableModel*>(m)
                      ->equationAt(0)
                      .getAfter();
              },
              [](QAbstractItemModel* m, double v) {
                  // Column 2 is the station after the equation.
                  QVERIFY(m->setData(m->index(0, 2), QString::number(v, 'f', 3)));
              } },
        };
        const QMessageBox::StandardButton answers[]
            = { QMessageBox::Save, QMessageBox::Discard, QMessageBox::Cancel };

        for (const Page& page : pages) {
            for (const QMessageBox::StandardButton answer : answers) {
                const QString what
                    = QStringLiteral("%1, answer %2").arg(QLatin1String(page.name)).arg(answer);
                const QString file = example(QStringLiteral("closing.rod"));
                const QByteArray before = RoadFiles::read(file);
                double old = 0.0;
                {
                    auto window = std::make_unique<MainWindow>();
                    window->show();
                    QVERIFY2(reopen(file), qPrintable(what));
                    QAbstractItemModel* model = page.model(*window);
                    QVERIFY2(model, qPrintable(what));
                    old = page.read(model);
                    page.type(model, old + 1.5);
                    QVERIFY2(document()->editFlags(), qPrintable(what));

                    ScriptedPrompter prompter;
                    prompter.answer(ScriptedPrompter::Question, answer);
                    QCOMPARE(window->close(), answer != QMessageBox::Cancel);
                    QCOMPARE(prompter.count(ScriptedPrompter::Question), 1);
                    QCOMPARE(prompter.calls.size(), 1);
                    // As main() ends: the window goes with the road still open and, after Cancel, the
                    // edit still marked.
                    window.reset();
                }
                QCOMPARE(RoadFiles::read(file) == before, answer != QMessageBox::Save);

                MainWindow again;
                QVERIFY2(reopen(file), qPrintable(what));
                const double expected = answer == QMessageBox::Save ? old + 1.5 : old;
                QVERIFY2(std::fabs(page.read(page.model(again)) - expected) < 1e-6, qPrintable(what));
                QCOMPARE(int(document()->editFlags()), 0);
            }
        }
    }

    // A stations-equation cell and two pages whose edits cannot be written (a profile that the
    // alignment refuses, a pivot offset that is no number), then Exit and Save: the box names both
    // pages and their reasons, and nothing reaches the road or the file until both are mended.
    void pagesThatCannotWriteKeepEveryEditUnsaved()
    {
        const QString file = example(QStringLiteral("refused.rod"));
        const QByteArray before = RoadFiles::read(file);
        MainWindow window;
        window.show();
        QVERIFY(document()->openRoad(file));
        const Pelko::Road::PivotType pivot = document()->road()->getPivotType();

        auto* equations = window.findChild<Zemko::Trelvin::StationsEquationTableModel*>();
        auto* profile = window.findChild<Zemko::Trelvin::VerticalAlignmentTableModel*>();
        auto* section = window.findChild<StandardSectionConfigWidget*>();
        QVERIFY(equations && profile && section);
        QVERIFY(equations->setData(equations->index(0, 2), QStringLiteral("2585.000")));
        const QModelIndex height = profile->index(0, Zemko::Trelvin::VerticalElementEdit::Height);
        QCOMPARE(profile->data(height).toString(), QStringLiteral("152.000"));
        QVERIFY(profile->setData(height, QStringLiteral("12")));
        auto* line = section->findChild<QComboBox*>(QStringLiteral("cbLineType"));
        auto* offset = section->findChild<QLineEdit*>(QStringLiteral("leOffset"));
        line->setCurrentIndex(line->findData(Pelko::Road::PivotRoadLeftSide));
        offset->clear();
        QTest::keyClicks(offset, QStringLiteral("-"));
        const DataType::Categories edited
            = DataType::StationsEquation | DataType::VerticalAlignment | DataType::StandardSection;
        QCOMPARE(document()->editFlags(), edited);

        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Save);
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        QVERIFY(!window.close());
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Save failed"));
        const QStringList lines = prompter.calls.last().text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.at(0), QStringLiteral("Save road failed!"));
        // The low first PVI steepens the grades so that the curve of the third runs into the second's.
        QCOMPARE(lines.at(1), QStringLiteral("Vertical Alignment: Overlap previous! (line 3)"));
        QCOMPARE(lines.at(2), QStringLiteral("Standard Section: Offset is not a number!"));
        QCOMPARE(lines.at(3), QStringLiteral("Nothing was saved; the edits of every page are kept."));
        QCOMPARE(RoadFiles::read(file), before);
        QCOMPARE(document()->road()->getStationsEquations().getEquationAt(0).getAfter(), 2580.0);
        QCOMPARE(document()->road()->getPivotType(), pivot);
        QCOMPARE(document()->editFlags(), edited);
        QCOMPARE(profile->data(height).toString(), QStringLiteral("12"));

        // Mended, the same save writes every page.
        QVERIFY(profile->setData(height, QStringLiteral("152")));
        offset->clear();
        QTest::keyClicks(offset, QStringLiteral("1.5"));
        window.onSave();
        QCOMPARE(prompter.count(ScriptedPrompter::Critical), 1);
        QCOMPARE(int(document()->editFlags()), 0);
        QVERIFY(reopen(file));
        const Pelko::Road::RoadSurface* road = document()->road();
        QCOMPARE(road->getStationsEquations().getEquationAt(0).getAfter(), 2585.0);
        QCOMPARE(road->getVerticalAligment().getAt(0).getPoi().elevation, 152.0);
        QCOMPARE(road->getPivotType(), Pelko::Road::PivotRoadLeftSide);
        QCOMPARE(road->getPivotOffset(), 1.5);
    }

    // Typed rows in both tables of the horizontal alignment describe two different alignments: the
    // save is refused with both tables named, every edit and mark kept, until the user applies one.
    void bothHorizontalTablesRefuseTheSave()
    {
        const QString file = example(QStringLiteral("both.rod"));
        const QByteArray before = RoadFiles::read(file);
        MainWindow window;
        QVERIFY(document()->openRoad(file));
        HorizontalAlignmentEditWidget* editor = horizontalEditor(window);
        HorizontalElementTableModel* elements = editor->elementTable()->model();
        Zemko::Trelvin::PointOfIntersectionTableModel* pis = editor->pointOfIntersectionTable()->model();

        const int last = elements->rowCount() - 1;
        QVERIFY(elements->setData(elements->index(last, HorizontalElementTableModel::LengthColumn), "80"));
        const double north = number(pis, 0, 1);
        QVERIFY(pis->setData(pis->index(0, 1), QString::number(north + 5.0, 'f', 3)));
        const DataType::Categories both = DataType::PointOfIntersection | DataType::HorizontalElement;
        QCOMPARE(document()->editFlags(), both);

        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onSave();
        QCOMPARE(prompter.calls.size(), 1);
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Save failed"));
        QVERIFY(prompter.calls.last().text.contains(QLatin1String("Point of Intersections")));
        QVERIFY(prompter.calls.last().text.contains(QLatin1String("Horizontal Elements")));
        QVERIFY(!document()->save());
        QVERIFY(document()->saveRefused());

        // Closing asks, and a Save that is refused keeps the window and everything in it.
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Save);
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        QVERIFY(!window.close());
        QCOMPARE(RoadFiles::read(file), before);
        QCOMPARE(document()->editFlags(), both);
        QVERIFY(elements->isTextRowMode() && pis->isTextRowMode());
        QCOMPARE(elements->data(elements->index(last, HorizontalElementTableModel::LengthColumn)).toString(),
                 QStringLiteral("80"));
        QCOMPARE(number(pis, 0, 1), north + 5.0);

        // Applying the PI table replaces the element table's edit: it asks first, and No keeps both.
        prompter.answer(ScriptedPrompter::Question, QMessageBox::No);
        editor->pointOfIntersectionTable()->on_applyButton_clicked();
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Point of Intersections"));
        QVERIFY(prompter.calls.last().text.startsWith(
            QLatin1String("The Horizontal Elements table holds edits")));
        QCOMPARE(RoadFiles::read(file), before);
        QCOMPARE(document()->editFlags(), both);
        // Yes keeps the PI table's edit; the element table shows the road again, and the save goes
        // through.
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Yes);
        editor->pointOfIntersectionTable()->on_applyButton_clicked();
        QVERIFY(!elements->isTextRowMode());
        QCOMPARE(int(document()->editFlags()), 0);
        QVERIFY(document()->save());
        QVERIFY(reopen(file));
        const Pelko::Road::PointOfIntersectionConfiguration saved
            = document()->road()->getHorizontalAligment()->getPointOfIntersections();
        QVERIFY(std::fabs(saved.at(0).getPointOfIntersection().getX() - (north + 5.0)) < 1e-6);
    }

    // Mirror replaces a side with points only once the user agreed, told how many points go.
    void mirrorAsksBeforeRemovingPoints()
    {
        const QString file = example(QStringLiteral("mirror.rod"));
        const QByteArray before = RoadFiles::read(file);
        MainWindow window;
        QVERIFY(document()->openRoad(file));
        auto* editor = window.findChild<StandardSectionConfigWidget*>();
        QVERIFY(editor);
        auto* tabs = editor->findChild<QTabWidget*>(QStringLiteral("tabWidget"));
        QCOMPARE(tabs->currentIndex(), 0);
        const QPair<unsigned, unsigned> right = cachedPoints(1);
        QCOMPARE(right.first, 12u);

        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Question, QMessageBox::No);
        editor->onBtnMirrorClick();
        QCOMPARE(prompter.calls.size(), 1);
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Mirror"));
        const QString text = prompter.calls.last().text;
        QVERIFY2(text.contains(QStringLiteral("right side")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("%1 superelevation points and %2 widening points")
                                   .arg(right.first)
                                   .arg(right.second)),
                 qPrintable(text));
        // No changes nothing.
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(cachedPoints(1), right);
        QCOMPARE(int(document()->editFlags()), 0);

        prompter.answer(ScriptedPrompter::Question, QMessageBox::Yes);
        editor->onBtnMirrorClick();
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(cachedPoints(1), qMakePair(0u, 0u));
        QVERIFY(document()->save());
        QVERIFY(RoadFiles::read(file) != before);
        QVERIFY(reopen(file));
        QCOMPARE(cachedPoints(1), qMakePair(0u, 0u));
        QVERIFY(cachedPoints(0).first > 0);
    }

    // An element edit that leaves the next element's fixed start behind: Apply and the document's save
    // warn with the station and size of the jump; No keeps the typed rows, Yes writes them. The plan's
    // borders then follow the same elements as the centre line.
    void elementEditThatBreaksTheChainWarns()
    {
        const QString file = example(QStringLiteral("jump.rod"));
        const QByteArray before = RoadFiles::read(file);
        MainWindow window;
        QVERIFY(document()->openRoad(file));
        HorizontalElementTableWidget* table = horizontalEditor(window)->elementTable();
        HorizontalElementTableModel* model = table->model();
        const QModelIndex length = model->index(0, HorizontalElementTableModel::LengthColumn);
        QCOMPARE(model->data(length).toString(), QStringLiteral("721.320"));
        QVERIFY(model->setData(length, "700"));

        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Question, QMessageBox::No);
        table->on_applyButton_clicked();
        QCOMPARE(prompter.calls.size(), 1);
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Horizontal Elements"));
        const QString warning = prompter.calls.last().text;
        // The next element begins where the road has it: 21.3205 m on, not at its rounded N and E.
        QVERIFY2(warning.contains(QStringLiteral("21.320 m at K1+211.935")), qPrintable(warning));
        QCOMPARE(RoadFiles::read(file), before);
        QVERIFY(model->isTextRowMode());
        QCOMPARE(model->data(length).toString(), QStringLiteral("700"));
        QVERIFY(document()->editFlags() & DataType::HorizontalElement);

        // The document's save asks the same; No refuses it without a failure box, and the close that
        // asked for the save stays open.
        prompter.answer(ScriptedPrompter::Question, QMessageBox::No);
        window.onSave();
        QCOMPARE(prompter.calls.size(), 2);
        QCOMPARE(prompter.calls.last().text, warning);
        QCOMPARE(RoadFiles::read(file), before);
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Save);
        prompter.answer(ScriptedPrompter::Question, QMessageBox::No);
        QVERIFY(!window.close());
        QCOMPARE(prompter.count(ScriptedPrompter::Critical), 0);
        QCOMPARE(RoadFiles::read(file), before);

        prompter.answer(ScriptedPrompter::Question, QMessageBox::Yes);
        window.onSave();
        QCOMPARE(prompter.count(ScriptedPrompter::Critical), 0);
        QCOMPARE(int(document()->editFlags()), 0);
        QVERIFY(reopen(file));
        const Pelko::Road::HorizontalElementConfiguration saved
            = document()->road()->getHorizontalAligment()->getElements();
        QCOMPARE(saved.at(0).getLength(), 700.0);

        // Past the jump the borders stay at the edges of the section around the elements' centre line,
        // in both sampling modes, as drawn after the reopen.
        const double end = saved.at(saved.size() - 1).getEndStation();
        for (int mode : { 0, 1 }) {
            const double worst = worstBorder(*document()->road(), saved.at(0).getBeginStation(), end, mode);
            QVERIFY2(worst < 0.01, qPrintable(QStringLiteral("mode %1: %2 m off").arg(mode).arg(worst)));
        }

        // A chain that joins up is written without a question.
        QVERIFY(model->setData(length, "721.320"));
        table->on_applyButton_clicked();
        QCOMPARE(prompter.calls.size(), 5);
        QVERIFY(RoadFiles::read(file) != before);
    }

    // The library page looks at the slope page's segments not yet saved too: deleting a template one
    // of them names is refused with the segment and its side, and the save keeps both.
    void libraryKeepsATemplateAnUnsavedSegmentUses()
    {
        SlopeSegmentRoads::Folder folder;
        folder.renew();
        QVERIFY(folder.open());
        SlopeUseLibEditWidget slopes;
        SlopeLibTableWideget list(Pelko::Road::SlopeSectionFill);
        QVERIFY(slopes.rightModel()->add(SlopeSegmentRoads::segment("north", 0, 100, "Fill B", "Fill B")).ok);

        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
        list.tableView()->setCurrentIndex(list.model()->index(1, 0));
        list.findChild<QPushButton*>(QStringLiteral("deleteButton"))->click();
        QCOMPARE(prompter.calls.size(), 1);
        QCOMPARE(prompter.calls.last().text,
                 QStringLiteral("Template \"Fill B\" is used by the right slope segment \"north\""));
        QCOMPARE(list.model()->rowCount(), 2);

        QVERIFY(document()->save());
        QVERIFY(folder.reopen());
        QVERIFY(document()->road()->getSlopeSectionTemplateLibrary()->getByName("Fill B").isValid());
        QCOMPARE(SlopeLibRoads::segmentNames(document()->road(), Pelko::Road::SlopeSideRight),
                 QStringList { "north:Fill B>Fill B" });

        // Once no segment names it, the template goes.
        slopes.rightModel()->removeAt(0);
        QVERIFY(list.model()->usedBySegment(1).contains(QLatin1String("north")));
        QVERIFY(slopes.rightModel()->applyChanges());
        QCOMPARE(list.model()->usedBySegment(1), QString());
    }

    // A segment added on the slope page and left unsaved uses a template that the library page
    // renames and applies: File > Save writes the segment with the new name, and it comes back whole.
    void renamedTemplateReachesAnUnsavedSegment()
    {
        SlopeSegmentRoads::Folder folder;
        folder.renew();
        MainWindow window;
        QVERIFY(folder.open());
        auto* slopes = window.findChild<SlopeUseLibEditWidget*>();
        QVERIFY(slopes);
        SlopeLibTableWideget* list = nullptr;
        for (SlopeLibTableWideget* candidate : window.findChildren<SlopeLibTableWideget*>())
            if (candidate->model()->type() == Pelko::Road::SlopeSectionFill)
                list = candidate;
        QVERIFY(list);
        QVERIFY(
            slopes->rightModel()->add(SlopeSegmentRoads::segment("north", 0, 100, "Fill A", "Fill B")).ok);

        SlopeSegmentRoads::whenDialogShows<QDialog>([](QDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("edtName"))->setText(QStringLiteral("Fill B2"));
            dialog->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        });
        list->onEdit(list->model()->index(1, 0));
        QCOMPARE(list->model()->index(1, 0).data().toString(), QStringLiteral("Fill B2"));
        list->findChild<QPushButton*>(QStringLiteral("applyButton"))->click();
        // The page's row shows the new name before any save.
        QCOMPARE(slopes->rightModel()->configuration().getSegmentAt(0).getEndTemplate().getName(),
                 std::string("Fill B2"));

        ScriptedPrompter prompter;
        window.onSave();
        QCOMPARE(prompter.calls.size(), 0);
        QCOMPARE(int(document()->editFlags()), 0);
        QVERIFY(folder.reopen());
        QCOMPARE(SlopeLibRoads::segmentNames(document()->road(), Pelko::Road::SlopeSideRight),
                 QStringList { "north:Fill A>Fill B2" });
        const Pelko::Road::SlopeSectionTemplateConfiguration saved
            = document()->road()->getSlopeSectionConfiguration()->get(Pelko::Road::SlopeSideRight);
        QVERIFY(saved.getSegmentAt(0).isValid());
        QCOMPARE(saved.getSegmentAt(0).getEndTemplate().size(), 3u);
        QVERIFY(saved.getSlopeTemplateByStation(50.0).isValid());
    }

    // The road's last segment on the right is edited on the slope page to end in another template and
    // the road saved and opened again: at the last station the road's heights, the stake there and
    // check by station all give that template's slope.
    void lastStationHasTheSlopeOfTheSavedSegment()
    {
        const QString file = example(QStringLiteral("last.rod"));
        MainWindow window;
        QVERIFY(document()->openRoad(file));
        auto* slopes = window.findChild<SlopeUseLibEditWidget*>();
        QVERIFY(slopes);
        Zemko::Trelvin::SlopeUseLibTableModel* right = slopes->rightModel();
        const int last = right->rowCount() - 1;
        const Pelko::Road::SlopeSectionSegment old = right->configuration().getSegmentAt(unsigned(last));
        const Pelko::Road::SlopeSectionTemplateLibrary* library
            = document()->road()->getSlopeSectionTemplateLibrary();
        const auto edited = Pelko::Road::SlopeSectionSegment::create(
            old.getName(), { old.getStart(), library->getByName(old.getBeginTemplate().getName()) },
            { old.getEnd(), library->getByName("Deep cut") });
        QCOMPARE(int(edited.second), 0);
        QVERIFY(right->setAt(last, edited.first).ok);

        ScriptedPrompter prompter;
        window.onSave();
        QCOMPARE(prompter.calls.size(), 0);
        QVERIFY(reopen(file));
        const Pelko::Road::RoadSurface* road = document()->road();
        const Pelko::Road::SlopeSectionTemplateConfiguration saved
            = road->getSlopeSectionConfiguration()->get(Pelko::Road::SlopeSideRight);
        QCOMPARE(saved.getSegmentAt(unsigned(last)).getEndTemplate().getName(), std::string("Deep cut"));
        double begin = 0.0;
        double end = 0.0;
        QVERIFY(road->getStationRange(begin, end));

        // Check by station draws the slope at the last station; its points beyond the section are the
        // road's own heights there.
        Zemko::Trelvin::StationCheckModel check(document()->road());
        check.showLeft = false;
        QVERIFY(check.setStation(road->getStationsEquations().getStationFromContinuous(end)));
        QVERIFY(!check.slopeMarkers().isEmpty());
        const double edge
            = road->getStandardSection()->getTotalOffset(Pelko::Road::StandardSection::Right, end);
        int beyond = 0;
        for (const Zemko::Trelvin::CheckPoint& point : check.rightPoints()) {
            if (point.offset <= edge + 0.01)
                continue;
            ++beyond;
            double height = 0.0;
            QVERIFY2(road->getElevation(end, point.offset, height), qPrintable(point.name));
            QVERIFY2(std::fabs(height - point.elevation) < 1e-6, qPrintable(point.name));
        }
        // "Deep cut" is a ditch and three faces: more points than the ditch and face it replaced.
        QVERIFY(beyond >= 4);

        // The stake at the last station has the height too.
        Pelko::Road::StationIterator it = road->getIterator(20.0, begin, end);
        while (it.hasNext())
            it.next();
        const Pelko::Road::Stake stake = it.getStake(12.0);
        QVERIFY(std::fabs(stake.getStation() - end) < 1e-6);
        double height = 0.0;
        QVERIFY(road->getElevation(end, 12.0, height));
        QCOMPARE(stake.getPoint().z(), height);
    }
};

TRELVIN_TEST_MAIN(TestEditFlows)
#include "test_editflows.moc"
