#include "qttestmain.h"

#include "support/roadfiles.h"
#include "support/savedleaves.h"
#include "support/scriptedprompter.h"
#include "test_horizontalroads.h"

#include "alignment/horizontalelementtablemodel.h"
#include "alignment/horizontalelementtablewidget.h"
#include "alignment/pointofintersectiontablemodel.h"
#include "alignment/pointofintersectiontablewidget.h"
#include "document/trelvin.h"
#include "framework/crosssectioneditcache.h"
#include "profile/stationsequationconfigwidget.h"
#include "profile/stationsequationtablemodel.h"
#include "profile/verticalalignmenttablemodel.h"
#include "profile/verticalalignmenttablewidget.h"
#include "section/abssuperelevationwideningeditwidget.h"
#include "section/standardsectionconfigwidget.h"
#include "section/standardsectiontablemodel.h"
#include "section/superelevationpointeditwidget.h"
#include "section/wideningpointeditwidget.h"
#include "shell/mainwindow.h"
#include "shell/resources.h"
#include "slopes/slopeeditwidget.h"
#include "slopes/slopelibitemtablemodel.h"
#include "slopes/slopelibitemtablewidget.h"
#include "slopes/slopelibraryeditwidget.h"
#include "slopes/slopelibtablewideget.h"
#include "slopes/slopetablewideget.h"
#include "slopes/slopeuselibeditwidget.h"
#include "structures/structuralobjecttablemodel.h"
#include "structures/structuralobjecttablewidget.h"
#include "ui_tableviewwidget.h"

#include <road/horizontalalignment.h>
#include <road/pointofintersectionconfiguration.h>
#include <road/roadsurface.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <cmath>
#include <functional>
#include <limits>

using SavedLeaves::Expected;
using Zemko::Trelvin::HorizontalElementTableModel;
using Zemko::Trelvin::PointOfIntersectionTableModel;
using Zemko::Trelvin::StructuralObjectTableModel;
using Zemko::Trelvin::Trelvin;

namespace {

Trelvin* document()
{
    return Trelvin::instance();
}

QByteArray number(double value)
{
    return QByteArray::number(value, 'g', 17);
}

QByteArray leaf(const char* name, double value)
{
    return QByteArray("<") + name + ">" + number(value) + "</" + name + ">";
}

// Where the surveyed roads begin: more digits than the tables show.
const double firstStation = 1234.567891;

// A PI alignment (a spiral-arc-spiral corner of radius 598.765432 and an arc corner) and every other part
// of a road, each with survey values.
QByteArray surveyedRoad()
{
    using HorizontalRoads::pointPi;
    const QByteArray pis = pointPi(4084594.132145, 512345.678901, firstStation)
        + HorizontalRoads::spiralPi(4085794.276543, 513275.123457, 598.765432, 27.606585, 31.415927)
        + HorizontalRoads::arcPi(4086712.987654, 512810.246813, 456.789012)
        + pointPi(4087760.135792, 513740.864209);
    const QByteArray equations = "    <StationsEquation><equation>" + leaf("before", 2345.678901)
        + leaf("after", 2350.987654) + "</equation></StationsEquation>\n";
    QByteArray profile = "    <VerticalAlignment>\n";
    const double vertical[][3] = { { firstStation, 152.123457, 0 },
                                   { 2100.135792, 164.567891, 8765.432109 },
                                   { 3300.246813, 149.876543, 9876.54321 },
                                   { 4400.369258, 170.135791, 0 } };
    for (const auto& pi : vertical)
        profile += "        <element>" + leaf("mile", pi[0]) + leaf("height", pi[1]) + leaf("radius", pi[2])
            + "</element>\n";
    profile += "    </VerticalAlignment>\n";

    const auto strip = [](const char* name, double width, double slope, double step,
                          const QByteArray& points) {
        return "<element><template><name>" + QByteArray(name) + "</name>" + leaf("width", width)
            + leaf("slope", slope) + leaf("delta_elevation", step) + "</template>" + points + "</element>\n";
    };
    const auto point = [](int method, double station, const char* name, double value) {
        return "<element><method>" + QByteArray::number(method) + "</method>" + leaf("station", station)
            + leaf(name, value) + "</element>";
    };
    // Stations and a slope as the program computes them, with all 17 digits.
    const QByteArray points = "<Superelevation>" + point(1, 2000.123457, "slope", -2.123457)
        + point(2, 2100.9876543210987, "slope", 4.567891) + point(1, 2300.456789, "slope", -2.123457)
        + "</Superelevation><Widening>" + point(1, 2000.123457, "width", 3.456789)
        + point(2, 2150.2468135791357, "width", 4.012346) + point(1, 2300.456789, "width", 3.456789)
        + "</Widening>";
    const QByteArray section = "    <StandardSection>\n<left>\n"
        + strip("lane", 3.456789, -2.123457, 0, points)
        + strip("shoulder", 1.234568, -3.8765432109876543, 0.012346, "") + "</left>\n<right>\n"
        + strip("lane", 3.456789, -2.123457, 0, "") + "</right>\n    </StandardSection>\n";

    const auto surface = [](const char* name, double height, double ratio) {
        return "<element><type>0</type><name>" + QByteArray(name) + "</name>" + leaf("height", height)
            + leaf("ratio", ratio) + "</element>";
    };
    const auto slopeTemplate = [](int type, const char* name, const QByteArray& elements) {
        return "<template><type>" + QByteArray::number(type) + "</type><name>" + name + "</name>" + elements
            + "</template>\n";
    };
    const QByteArray library = "    <SlopeSectionLibrary>\n"
        + slopeTemplate(0, "Fill A", surface("bank", 2.345679, 1.534567))
        + slopeTemplate(0, "Fill B",
                        surface("upper", 4.123457, 1.456789) + "<element><type>1</type><name>berm</name>"
                            + leaf("width", 2.345678) + leaf("slope", 3.987654) + "</element>"
                            + surface("lower", 6.012346, 1.753421))
        + slopeTemplate(1, "Cut A",
                        "<element><type>2</type><name>ditch</name>" + leaf("inner_height", 0.612346)
                            + leaf("bottom_width", 0.412346) + leaf("outer_height", 0.812346) + "</element>"
                            + surface("face", 3.123457, 1.012346))
        + "    </SlopeSectionLibrary>\n";
    const auto segment = [](const char* name, double begin, double end, const char* from, const char* to) {
        return "<template><name>" + QByteArray(name) + "</name>" + leaf("begin_station", begin)
            + leaf("end_station", end) + "<begin_reference>" + from + "</begin_reference><end_reference>" + to
            + "</end_reference></template>\n";
    };
    const QByteArray slopes = "    <SlopeSection>\n<left>\n"
        + segment("west", 1300.123457, 2000.987654, "Fill A", "Fill B")
        + segment("hill", 2000.987654, 2600.123457, "Cut A", "Cut A") + "</left>\n<right>\n"
        + segment("east", 1300.123457, 2400.654321, "Fill A", "Fill A") + "</right>\n    </SlopeSection>\n";

    const QByteArray structures = HorizontalRoads::structures(
        HorizontalRoads::structure(1500.123457, 0, 0, 1.234568, 3.456789, 2.345678, 8.765432, 9.876543,
                                   1.987654, 0.021234)
        + HorizontalRoads::structure(2700.987654, 3, 1, 1.456789, 6.123457, 5.234568, 12.345679, 10.456789,
                                     2.123457, -0.012346));
    return HorizontalRoads::piAlignment(pis) + equations + profile + section + library + slopes + structures;
}

// From a start point of survey digits: a line, a left spiral-arc-spiral of radius 598.765432, a
// line. The first element's begin is stored as not given (mode 0), as older roads have it.
QByteArray surveyedElements(const QString& path)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Pelko::Corvex::Angle chained(nan);
    const Pelko::Corvex::Point after = Pelko::Corvex::Point::invalid();
    Pelko::Road::HorizontalElementConfiguration elements;
    elements.append(Pelko::Road::HorizontalElement::createLine(
        Pelko::Corvex::Angle(0.6543217), 39.840637, Pelko::Corvex::Point(4084594.132145, 512345.678901),
        firstStation));
    elements.append(
        Pelko::Road::HorizontalElement::createSpiral(chained, 27.606585, inf, -598.765432, after, nan));
    elements.append(Pelko::Road::HorizontalElement::createArc(chained, 10.227273, -598.765432, after, nan));
    elements.append(
        Pelko::Road::HorizontalElement::createSpiral(chained, 27.606585, -598.765432, inf, after, nan));
    elements.append(Pelko::Road::HorizontalElement::createLine(chained, 45.123457, after, nan));
    if (!HorizontalRoads::writeElementRoad(path, elements))
        return QByteArray();
    QByteArray content = RoadFiles::read(path);
    const int first = content.indexOf("<mode>3</mode>");
    return first < 0 ? QByteArray() : content.replace(first, 14, "<mode>0</mode>");
}

// A cell typed through its view, as the user does: the editor opened, its text replaced, Return. A
// null text leaves the editor as it opened.
void typeInto(QTableView* view, int row, int column, const QString& text)
{
    const QModelIndex index = view->model()->index(row, column);
    view->setCurrentIndex(index);
    view->edit(index);
    QWidget* editor = view->indexWidget(index);
    QVERIFY2(editor, qPrintable(QStringLiteral("no editor in row %1, column %2").arg(row).arg(column)));
    if (!text.isNull()) {
        auto* line = qobject_cast<QLineEdit*>(editor);
        QVERIFY2(line, "no line editor");
        line->setText(text);
    }
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!view->indexWidget(index));
}

// Every editable cell of the rows opened and left with Return, nothing typed.
void leaveEveryEditor(QTableView* view, std::initializer_list<int> rows)
{
    const QAbstractItemModel* model = view->model();
    for (int row : rows)
        for (int column = 0; column < model->columnCount(); ++column)
            if (model->flags(model->index(row, column)) & Qt::ItemIsEditable)
                typeInto(view, row, column, QString());
}

template<typename T> T* childOf(QObject* parent, const char* name = nullptr)
{
    T* child = name ? parent->findChild<T*>(QString::fromLatin1(name)) : parent->findChild<T*>();
    if (!child)
        qFatal("no %s", name ? name : T::staticMetaObject.className());
    return child;
}

// Runs the script on the next modal dialog once it shows.
void whenShown(std::function<void(QDialog*)> script)
{
    QTimer::singleShot(0, [script] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        script(dialog);
        // A dialog shown again, refusing what it got, fails the test instead of waiting.
        QTimer::singleShot(0, [] {
            if (auto* again = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                QTest::qFail("the dialog opened again", __FILE__, __LINE__);
                again->reject();
            }
        });
    });
}

// A dialog with one field typed over, as the user types, and OK (accept where it has no such button).
void typeInDialog(const char* field, const QString& text, const char* ok = "okButton")
{
    whenShown([=](QDialog* dialog) {
        auto* edit = childOf<QLineEdit>(dialog, field);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QCOMPARE(edit->text(), text);
        if (ok)
            childOf<QPushButton>(dialog, ok)->click();
        else
            dialog->accept();
    });
}

void select(QTableView* view, int row)
{
    view->setCurrentIndex(view->model()->index(row, 0));
}

// The leaves of the elements from first on that follow an element whose end moved.
QMap<QString, QVariant> chainedFrom(int first, int count)
{
    QMap<QString, QVariant> moved;
    for (int i = first; i < count; ++i)
        for (const char* name : { "x1", "y1", "l1", "x2", "y2", "angle1", "angle2" })
            moved.insert(QStringLiteral("Road/HorizontalAlignment/element[%1]/%2").arg(i).arg(name),
                         QVariant());
    return moved;
}

struct Case
{
    const char* name;
    bool elementRoad;
    // Edits one value through the page and applies; returns what the save may change.
    std::function<Expected(MainWindow&)> edit;
};

const QString lastElement = QStringLiteral("Road/HorizontalAlignment/element[4]/");

const Case cases[] = {
    { "element table: the last length", true,
      [](MainWindow& window) {
          auto* widget = childOf<HorizontalElementTableWidget>(&window);
          typeInto(widget->form()->tableView, 4, HorizontalElementTableModel::LengthColumn,
                   QStringLiteral("50.5"));
          widget->on_applyButton_clicked();
          // The end of the edited element moves with its length.
          return Expected { { { lastElement + "length", 50.5 },
                              { lastElement + "x2", QVariant() },
                              { lastElement + "y2", QVariant() } },
                            {} };
      } },
    { "element table: the first length", true,
      [](MainWindow& window) {
          auto* widget = childOf<HorizontalElementTableWidget>(&window);
          typeInto(widget->form()->tableView, 0, HorizontalElementTableModel::LengthColumn,
                   QStringLiteral("40.5"));
          widget->on_applyButton_clicked();
          // The begin stays as stored, not given (mode 0); what follows moves with the first end.
          QMap<QString, QVariant> changed = chainedFrom(1, 5);
          changed.insert(QStringLiteral("Road/HorizontalAlignment/element[0]/length"), 40.5);
          for (const char* name : { "x2", "y2" })
              changed.insert(QStringLiteral("Road/HorizontalAlignment/element[0]/%1").arg(name), QVariant());
          return Expected { changed, {} };
      } },
    { "PI table: one north", false,
      [](MainWindow& window) {
          auto* widget = childOf<PointOfIntersectionTableWidget>(&window);
          typeInto(widget->form()->tableView, 2, PointOfIntersectionTableModel::NorthColumn,
                   QStringLiteral("4086713.988"));
          widget->on_applyButton_clicked();
          // The end of the road is where the moved corner puts it.
          return Expected { { { "Road/HorizontalAlignment/element[2]/x", 4086713.988 },
                              { "Road/HorizontalAlignment/element[3]/station", QVariant() } },
                            {} };
      } },
    { "vertical alignment: one height", false,
      [](MainWindow& window) {
          auto* widget = childOf<VerticalAlignmentTableWidget>(&window);
          typeInto(widget->tableView(), 2, 1, QStringLiteral("150.5"));
          widget->on_applyButton_clicked();
          return Expected { { { "Road/VerticalAlignment/element[2]/height", 150.5 } }, {} };
      } },
    { "stations equation: one after", false,
      [](MainWindow& window) {
          auto* widget = childOf<StationsEquationConfigWidget>(&window);
          typeInto(childOf<QTableView>(widget), 0, 2, QStringLiteral("K2+352.5"));
          widget->onBtnApplyClick();
          return Expected { { { "Road/StationsEquation/equation/after", 2352.5 } }, {} };
      } },
    { "standard section: one width", false,
      [](MainWindow& window) {
          auto* widget = childOf<StandardSectionConfigWidget>(&window);
          childOf<QTableView>(widget, "tableViewLeft")->setCurrentIndex(widget->leftModel()->index(1, 0));
          typeInDialog("leWidth", QStringLiteral("1.5"));
          widget->onBtnEditClick();
          widget->onBtnApplyClick();
          return Expected { { { "Road/StandardSection/left/element[1]/template/width", 1.5 } }, {} };
      } },
    { "superelevation: one slope", false,
      [](MainWindow& window) {
          auto* widget = childOf<SuperelevationPointEditWidget>(&window);
          QTableView* view = widget->currentTable(0);
          view->setCurrentIndex(view->model()->index(1, 0));
          typeInDialog("leSlope", QStringLiteral("4.5"));
          widget->onBtnEditClick();
          widget->onBtnApplyClick();
          return Expected {
              { { "Road/StandardSection/left/element[0]/Superelevation/element[1]/slope", 4.5 } }, {}
          };
      } },
    { "widening: one width", false,
      [](MainWindow& window) {
          auto* widget = childOf<WideningPointEditWidget>(&window);
          QTableView* view = widget->currentTable(0);
          view->setCurrentIndex(view->model()->index(1, 0));
          typeInDialog("leWidth", QStringLiteral("4.5"));
          widget->onBtnEditClick();
          widget->onBtnApplyClick();
          return Expected { { { "Road/StandardSection/left/element[0]/Widening/element[1]/width", 4.5 } },
                            {} };
      } },
    { "slope segments: one deleted", false,
      [](MainWindow& window) {
          SlopeTableWideget* table = childOf<SlopeEditWidget>(&window)->leftTable();
          table->tableView()->setCurrentIndex(table->tableView()->model()->index(0, 0));
          table->on_deleteButton_clicked();
          table->on_applyButton_clicked();
          return Expected { {}, { "Road/SlopeSection/left/template[0]" } };
      } },
    { "slopes from the library: one name", false,
      [](MainWindow& window) {
          auto* widget = childOf<SlopeUseLibEditWidget>(&window);
          QTableView* view = widget->tableView(Pelko::Road::SlopeSideLeft);
          view->setCurrentIndex(view->model()->index(0, 0));
          typeInDialog("edtName", QStringLiteral("valley"));
          widget->onBtnEditClick();
          widget->onBtnApplyClick();
          return Expected { { { "Road/SlopeSection/left/template[0]/name", QStringLiteral("valley") } }, {} };
      } },
    { "slope library: one element's name", false,
      [](MainWindow& window) {
          SlopeLibraryEditWidget* editor = childOf<SlopeLibraryEditWidget>(&window);
          SlopeLibTableWideget* list = editor->fillList();
          const QModelIndex second = list->model()->index(1, 0);
          list->tableView()->setCurrentIndex(second);
          emit list->tableView()->clicked(second);
          SlopeLibItemTableWidget* elements = editor->fillElements();
          typeInDialog("edtPlatformName", QStringLiteral("terrace"));
          elements->onEdit(elements->model()->index(1, 0));
          list->on_applyButton_clicked();
          return Expected {
              { { "Road/SlopeSectionLibrary/template[1]/element[1]/name", QStringLiteral("terrace") } }, {}
          };
      } },
    { "element dialog: the arc's length", true,
      [](MainWindow& window) {
          auto* widget = childOf<HorizontalElementTableWidget>(&window);
          select(widget->form()->tableView, 2);
          typeInDialog("leLength", QStringLiteral("10.5"), "button_ok");
          widget->on_editButton_clicked();
          widget->on_applyButton_clicked();
          // The radius and everything before the arc stay; what follows it moves with its end.
          QMap<QString, QVariant> changed = chainedFrom(3, 5);
          changed.insert(QStringLiteral("Road/HorizontalAlignment/element[2]/length"), 10.5);
          for (const char* name : { "x2", "y2", "angle2" })
              changed.insert(QStringLiteral("Road/HorizontalAlignment/element[2]/%1").arg(name), QVariant());
          return Expected { changed, {} };
      } },
    { "PI dialog: one north", false,
      [](MainWindow& window) {
          auto* widget = childOf<PointOfIntersectionTableWidget>(&window);
          select(widget->form()->tableView, 2);
          typeInDialog("lePIN", QStringLiteral("4086713.988"), "button_ok");
          widget->on_editButton_clicked();
          widget->on_applyButton_clicked();
          return Expected { { { "Road/HorizontalAlignment/element[2]/x", 4086713.988 },
                              { "Road/HorizontalAlignment/element[3]/station", QVariant() } },
                            {} };
      } },
    { "vertical dialog: one height", false,
      [](MainWindow& window) {
          auto* widget = childOf<VerticalAlignmentTableWidget>(&window);
          select(widget->tableView(), 2);
          typeInDialog("edt_height", QStringLiteral("150.5"), "btn_ok");
          widget->on_editButton_clicked();
          widget->on_applyButton_clicked();
          return Expected { { { "Road/VerticalAlignment/element[2]/height", 150.5 } }, {} };
      } },
    { "stations equation dialog: one after", false,
      [](MainWindow& window) {
          auto* widget = childOf<StationsEquationConfigWidget>(&window);
          select(childOf<QTableView>(widget), 0);
          typeInDialog("leAfter", QStringLiteral("K2+352.5"), nullptr);
          widget->onBtnEditClick();
          widget->onBtnApplyClick();
          return Expected { { { "Road/StationsEquation/equation/after", 2352.5 } }, {} };
      } },
    { "structures: one center height", false,
      [](MainWindow& window) {
          auto* widget = childOf<StructuralObjectTableWidget>(&window);
          typeInto(widget->form()->tableView, 1, StructuralObjectTableModel::CenterHeightColumn,
                   QStringLiteral("2.5"));
          widget->on_applyButton_clicked();
          return Expected { { { "Road/StructureElements/element[1]/center_height", 2.5 } }, {} };
      } },
};

// Every editable cell of a few rows of each page with cell editors opened and left, then Apply.
struct EditorCase
{
    const char* name;
    bool elementRoad;
    std::function<void(MainWindow&)> leave;
};

const EditorCase editorCases[] = {
    { "element table", true,
      [](MainWindow& window) {
          auto* widget = childOf<HorizontalElementTableWidget>(&window);
          leaveEveryEditor(widget->form()->tableView, { 0, 2 });
          widget->on_applyButton_clicked();
      } },
    { "PI table", false,
      [](MainWindow& window) {
          auto* widget = childOf<PointOfIntersectionTableWidget>(&window);
          leaveEveryEditor(widget->form()->tableView, { 0, 1, 2 });
          widget->on_applyButton_clicked();
      } },
    { "vertical alignment", false,
      [](MainWindow& window) {
          auto* widget = childOf<VerticalAlignmentTableWidget>(&window);
          leaveEveryEditor(widget->tableView(), { 0, 1 });
          widget->on_applyButton_clicked();
      } },
    { "stations equation", false,
      [](MainWindow& window) {
          auto* widget = childOf<StationsEquationConfigWidget>(&window);
          leaveEveryEditor(childOf<QTableView>(widget), { 0 });
          widget->onBtnApplyClick();
      } },
    { "structures", false,
      [](MainWindow& window) {
          auto* widget = childOf<StructuralObjectTableWidget>(&window);
          leaveEveryEditor(widget->form()->tableView, { 0, 1 });
          widget->on_applyButton_clicked();
      } },
};

// One row of data per case, by its index.
template<typename Case, std::size_t count> void addRows(const Case (&table)[count])
{
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < count; ++i)
        QTest::newRow(table[i].name) << int(i);
}

} // namespace

// Every table page: one value edited and applied, the road saved and opened again through the
// document. The file holds the edited value and every value the user did not type exactly as it was.
class TestUntypedCells : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    int files = 0;

    // The road written and once saved by the road library, so that the file compared with holds
    // what a save writes of it; empty on failure.
    QString writeRoad(bool elementRoad)
    {
        const QString path = dir.filePath(QStringLiteral("road%1.rod").arg(++files));
        const QByteArray content = elementRoad ? surveyedElements(path) : RoadFiles::road(surveyedRoad());
        if (content.isEmpty() || !RoadFiles::write(path, content))
            return QString();
        Pelko::Road::RoadSurface road(path.toLocal8Bit().toStdString());
        return road.load() && road.save() ? path : QString();
    }

    static bool reopen(const QString& path)
    {
        document()->closeRoad();
        return document()->openRoad(path);
    }

    // The road opened in the window, edited and applied, saved and opened again: the file holds what
    // it held but for what the edit may change.
    void editSaveAndCompare(bool elementRoad, const std::function<Expected(MainWindow&)>& edit)
    {
        const QString path = writeRoad(elementRoad);
        QVERIFY(!path.isEmpty());
        const QList<SavedLeaves::Leaf> before = SavedLeaves::read(RoadFiles::read(path));

        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(document()->openRoad(path));
        ScriptedPrompter prompter;
        const Expected expected = edit(window);
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(prompter.calls.size(), 0);
        QCOMPARE(int(document()->editFlags()), 0);
        QVERIFY(document()->save());

        QVERIFY(reopen(path));
        QVERIFY(SavedLeaves::matches(before, SavedLeaves::read(RoadFiles::read(path)), expected));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        qunsetenv("TRELVIN_PLUGIN_PATH");
        Zemko::Trelvin::initResources();
        // As in the program: the cache hears the document before any page.
        Zemko::Trelvin::CrossSectionEditCache::instance();
    }

    void cleanup()
    {
        ScriptedPrompter quiet(false);
        document()->closeRoad();
    }

    void oneValueEditedOnEveryPage_data() { addRows(cases); }

    void oneValueEditedOnEveryPage()
    {
        QFETCH(int, index);
        editSaveAndCompare(cases[index].elementRoad, cases[index].edit);
    }

    // An editor opened and left without typing writes nothing, though it shows the value rounded.
    void editorsLeftWithoutTyping_data() { addRows(editorCases); }

    void editorsLeftWithoutTyping()
    {
        QFETCH(int, index);
        const EditorCase& page = editorCases[index];
        editSaveAndCompare(page.elementRoad, [&page](MainWindow& window) {
            page.leave(window);
            return Expected();
        });
    }

    // The example road: the last element made longer moves none of the corners before it.
    void exampleRoadKeepsItsCorners()
    {
        const QString path = dir.filePath(QStringLiteral("ridge.rod"));
        QVERIFY(QFile::copy(QStringLiteral(TRELVIN_EXAMPLES_DIR "/ridge-road.rod"), path));
        QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(document()->openRoad(path));
        const Pelko::Road::PointOfIntersectionConfiguration pis
            = document()->road()->getHorizontalAligment()->getPointOfIntersections();

        auto* elements = childOf<HorizontalElementTableWidget>(&window);
        const int last = elements->model()->rowCount() - 1;
        const double length = elements->model()->elements().at(unsigned(last)).getLength();
        typeInto(elements->form()->tableView, last, HorizontalElementTableModel::LengthColumn,
                 QString::number(length + 25.0, 'f', 3));
        ScriptedPrompter prompter;
        elements->on_applyButton_clicked();
        QCOMPARE(prompter.calls.size(), 0);
        QVERIFY(document()->save());
        QVERIFY(reopen(path));

        auto* table = childOf<PointOfIntersectionTableWidget>(&window)->model();
        QCOMPARE(table->index(1, PointOfIntersectionTableModel::NorthColumn).data().toString(),
                 QStringLiteral("12900.000"));
        const Pelko::Road::PointOfIntersectionConfiguration now
            = document()->road()->getHorizontalAligment()->getPointOfIntersections();
        QCOMPARE(now.size(), pis.size());
        for (unsigned i = 0; i + 1 < pis.size(); ++i) {
            const Pelko::Corvex::Point was = pis.at(i).getPointOfIntersection();
            const Pelko::Corvex::Point is = now.at(i).getPointOfIntersection();
            QVERIFY2(std::hypot(is.getX() - was.getX(), is.getY() - was.getY()) < 1e-6,
                     qPrintable(QStringLiteral("PI %1 moved").arg(i + 1)));
        }
    }
};

TRELVIN_TEST_MAIN(TestUntypedCells)
#include "test_untypedcells.moc"
