#include "document/trelvin.h"
#include "framework/crosssectioneditcache.h"
#include "section/superelevationpointeditwidget.h"
#include "section/superelevationpointwidget.h"
#include "section/superelevationwideningtablemodel.h"
#include "section/wideningpointdialog.h"
#include "section/wideningpointeditwidget.h"
#include "section/wideningpointwidget.h"
#include "support/scriptedprompter.h"
#include "test_standardsectionroads.h"

#include <road/roadsurface.h>
#include <road/standardsection.h>

#include <qttestmain.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>

using Pelko::Road::CrossSectionElement;
using Pelko::Road::CrossSectionElementConfiguration;
using Pelko::Road::StandardSection;
using Pelko::Road::WideningMethod;
using Pelko::Road::WideningPoint;
using SectionRoads::child;
using SectionRoads::DialogScript;
using SectionRoads::element;
using SectionRoads::rowTexts;
using SectionRoads::section;
using Zemko::Trelvin::CrossSectionEditCache;
using Zemko::Trelvin::Trelvin;
using Zemko::Trelvin::WideningPointTableModel;

namespace {

WideningPointTableModel* pointsOf(const WideningPointEditWidget& editor, int side, int tab)
{
    return qobject_cast<WideningPointTableModel*>(editor.tables(side).at(tab).second);
}

DialogScript::Step fillPoint(const QString& station, const QString& width, const QString& method = QString(),
                             bool next = false)
{
    return [=](QDialog* dialog) {
        auto* points = static_cast<WideningPointDialog*>(dialog);
        child<QLineEdit>(dialog, "leDist")->setText(station);
        child<QLineEdit>(dialog, "leWidth")->setText(width);
        if (!method.isEmpty()) {
            auto* methods = child<QComboBox>(dialog, "cbMethod");
            methods->setCurrentIndex(methods->findText(method));
        }
        next ? points->onNext() : points->onOk();
    };
}

} // namespace

class TestWidening : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void pointCells();
    void dialogFields();
    void appendAndEdit();
    void placeholderWithoutElements();
    void updateMasks();

private:
    SectionRoads::Folder folder;
};

void TestWidening::initTestCase()
{
    CrossSectionEditCache::instance();
}

void TestWidening::init()
{
    QVERIFY(folder.renew());
}

void TestWidening::cleanup()
{
    Trelvin::instance()->closeRoad();
}

void TestWidening::pointCells()
{
    QVERIFY(
        Trelvin::instance()->openRoad(folder.writeRoad(RoadFiles::road(RoadFiles::equations(1000, 1100)))));
    CrossSectionElementConfiguration lane(CrossSectionElement("lane", 3.5, -2.0, 0.0));
    for (int method : { 0, 1, 2, 3, 4 })
        QVERIFY(lane.addWideningPoint(
            WideningPoint(500.0 * method, 3.5 + 0.25 * method, WideningMethod(method))));
    WideningPointTableModel model(DataType::WideningPoint, nullptr, lane);
    QCOMPARE(model.columnCount(), 3);
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Width"));
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Vary Type"));
    // A method outside 1 .. 3 shows nothing rather than a vary type the road does not use.
    QCOMPARE(rowTexts(model, 0), QStringList({ "", "K0+000.000", "3.500" }));
    QCOMPARE(rowTexts(model, 1), QStringList({ "Linear", "K0+500.000", "3.750" }));
    QCOMPARE(rowTexts(model, 2), QStringList({ "Cubic Parabola Curve", "K1+100.000", "4.000" }));
    QCOMPARE(rowTexts(model, 3), QStringList({ "Biquadratic Parabola", "K1+600.000", "4.250" }));
    QCOMPARE(model.cellText(4, 0), QString());
    QCOMPARE(model.cellText(0, 3), QString());
    QVERIFY(!model.index(5, 0).data().isValid());

    QCOMPARE(model.addPoint(WideningPoint(1000.0005, 1.0, Pelko::Road::WideningLinear)), -1);
    QCOMPARE(model.setPointAt(2, WideningPoint(1500.0, 1.0, Pelko::Road::WideningLinear)), 2);
    QCOMPARE(model.setPointAt(2, WideningPoint(500.0, 1.0, Pelko::Road::WideningLinear)), 1);
    QCOMPARE(model.setPointAt(2, WideningPoint(800.0, 4.5, Pelko::Road::WideningLinear)), 0);
    QCOMPARE(model.cellText(2, 2), QStringLiteral("4.500"));
    model.removePointAt(4);
    QCOMPARE(lane.wideningPointSize(), 4u);
    QVERIFY(Trelvin::instance()->editFlags() & DataType::WideningPoint);
}

void TestWidening::dialogFields()
{
    // Not strict: the warnings are checked where they are expected.
    ScriptedPrompter prompter(false);
    QVERIFY(Trelvin::instance()->openRoad(folder.writeRoad(RoadFiles::road(""))));
    WideningPointDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Widening Point"));
    auto* methods = child<QComboBox>(&dialog, "cbMethod");
    QCOMPARE(methods->count(), 3);
    QCOMPARE(methods->itemData(2).toInt(), 3);
    dialog.setMethodText(QStringLiteral("Biquadratic Parabola"));
    dialog.setStationText(QStringLiteral("K0+120"));
    dialog.setValueText(QStringLiteral("3.75"));
    dialog.onNext();
    QCOMPARE(dialog.result(), 2);
    const WideningPoint point = dialog.point();
    QCOMPARE(point.getStation(), 120.0);
    QCOMPARE(point.getWidth(), 3.75);
    QCOMPARE(int(point.getMethod()), 3);
    QCOMPARE(prompter.calls.size(), 0);

    // A width is the element's whole width: a negative or half-typed one is refused.
    dialog.setResult(-1);
    for (const char* width : { "-0.5", "1e" }) {
        dialog.setValueText(QString::fromLatin1(width));
        dialog.onOk();
        QCOMPARE(dialog.result(), -1);
    }
    QCOMPARE(prompter.calls.at(0).text, QStringLiteral("Width cannot be negative!"));
    QCOMPARE(prompter.calls.at(1).text, QStringLiteral("Width is not a number!"));
    dialog.setValueText(QString());
    dialog.onOk();
    QCOMPARE(dialog.result(), 1);
    QCOMPARE(dialog.width(), 0.0);
}

void TestWidening::appendAndEdit()
{
    // Not strict: the warnings are checked where they are expected.
    ScriptedPrompter prompter(false);
    WideningPointEditWidget editor;
    const QString path = folder.writeRoad(SectionRoads::pointRoad());
    QVERIFY(Trelvin::instance()->openRoad(path));
    WideningPointTableModel* lane = pointsOf(editor, 0, 0);
    QCOMPARE(rowTexts(*lane, 0), QStringList({ "Linear", "K0+100.000", "3.500" }));

    DialogScript script;
    script.then(fillPoint("100", "4", "Cubic Parabola Curve"));
    script.then([&prompter](QDialog* dialog) {
        QCOMPARE(prompter.calls.last().text, QStringLiteral("Station Exist!"));
        QCOMPARE(child<QLineEdit>(dialog, "leWidth")->text(), QStringLiteral("4"));
        fillPoint("180", "4.25", QString(), true)(dialog);
    });
    script.then(fillPoint("60", "3.5", "Biquadratic Parabola"));
    script.start();
    editor.onBtnAppendClick();
    QVERIFY(script.done());
    QCOMPARE(lane->rowCount(), 3);
    QCOMPARE(rowTexts(*lane, 0), QStringList({ "Biquadratic Parabola", "K0+060.000", "3.500" }));
    QCOMPARE(rowTexts(*lane, 2), QStringList({ "Cubic Parabola Curve", "K0+180.000", "4.250" }));

    // Edit on the right side's current tab; an unchanged dialog keeps the stored numbers.
    WideningPointTableModel* shoulder = pointsOf(editor, 1, 1);
    shoulder->addPoint(WideningPoint(40.0, 1.125, WideningMethod(0)));
    editor.tabWidget(1)->setCurrentIndex(1);
    editor.currentTable(1)->setCurrentIndex(shoulder->index(0, 0));
    script.then([](QDialog* dialog) {
        QCOMPARE(child<QComboBox>(dialog, "cbMethod")->currentIndex(), -1);
        QCOMPARE(child<QLineEdit>(dialog, "leWidth")->text(), QStringLiteral("1.125"));
        QVERIFY(!child<QPushButton>(dialog, "nextButton")->isEnabled());
        static_cast<WideningPointDialog*>(dialog)->onOk();
    });
    script.then(fillPoint("40", "1.5", "Linear"));
    script.start();
    editor.onBtnEditRightClick();
    QCOMPARE(int(shoulder->pointAt(0).getMethod()), 0);
    QCOMPARE(shoulder->pointAt(0).getWidth(), 1.125);
    editor.onBtnEditRightClick();
    QVERIFY(script.done());
    QCOMPARE(int(shoulder->pointAt(0).getMethod()), 1);
    QCOMPARE(shoulder->pointAt(0).getWidth(), 1.5);

    editor.onBtnDeletRightClick();
    QCOMPARE(shoulder->rowCount(), 0);
    editor.tabWidget(1)->setCurrentIndex(0);
    editor.onBtnDeletRightClick();
    QCOMPARE(prompter.calls.last().text, QStringLiteral("Please Select Data!"));

    editor.onBtnApplyClick();
    QCOMPARE(Trelvin::instance()->editFlags(), DataType::Categories());
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(path));
    const CrossSectionElementConfiguration saved = Trelvin::instance()
                                                       ->road()
                                                       ->getStandardSection()
                                                       ->getCrossSectionConfiguration(StandardSection::Left)
                                                       .elementConfigurationAt(0);
    QCOMPARE(saved.wideningPointSize(), 3u);
    QCOMPARE(int(saved.getWideningPointAt(0).getMethod()), 3);
}

void TestWidening::placeholderWithoutElements()
{
    WideningPointEditWidget editor;
    QVERIFY(Trelvin::instance()->openRoad(folder.writeRoad(RoadFiles::road(""))));
    for (int side = 0; side < 2; ++side) {
        QCOMPARE(editor.tabWidget(side)->count(), 1);
        QCOMPARE(editor.tabWidget(side)->tabText(0), QStringLiteral("No Section Element"));
    }
    for (const char* name : { "appendButton", "editButton", "deleteButton", "appendButtonRight",
                              "editButtonRight", "deleteButtonRight" })
        QVERIFY(!child<QPushButton>(&editor, name)->isEnabled());
    // Save stays: it writes the (empty) section.
    QVERIFY(child<QPushButton>(&editor, "applyButton")->isEnabled());
}

void TestWidening::updateMasks()
{
    WideningPointWidget widening;
    SuperelevationPointWidget superelevation;
    QCOMPARE(widening.windowTitle(), QStringLiteral("Widening"));
    QCOMPARE(widening.splitter()->orientation(), Qt::Vertical);
    // As the main window does: every page hears every announcement.
    connect(Trelvin::instance(), &Trelvin::dataChanged, &widening, &WideningPointWidget::updateData);
    connect(Trelvin::instance(), &Trelvin::dataChanged, &superelevation,
            &SuperelevationPointWidget::updateData);
    QVERIFY(Trelvin::instance()->openRoad(folder.writeRoad(SectionRoads::pointRoad())));
    const auto wideningModel = [&widening] { return widening.editor()->tables(1).at(0).second; };
    const auto superelevationModel
        = [&superelevation] { return superelevation.editor()->tables(1).at(0).second; };

    auto* before = wideningModel();
    widening.updateData(DataType::SuperelevationPoint | DataType::VerticalAlignment);
    QCOMPARE(wideningModel(), before);
    widening.updateData(DataType::StandardSection);
    QVERIFY(wideningModel() != before);

    // Save on the superelevation page announces 32: the widening page reloads, the superelevation
    // page keeps its tables.
    before = wideningModel();
    auto* ownBefore = superelevationModel();
    superelevation.editor()->onBtnApplyClick();
    QVERIFY(wideningModel() != before);
    QCOMPARE(superelevationModel(), ownBefore);
    // And the widening page's own Save reloads itself.
    before = wideningModel();
    widening.editor()->onBtnApplyClick();
    QVERIFY(wideningModel() != before);
}

TRELVIN_TEST_MAIN(TestWidening)

#include "test_widening.moc"
