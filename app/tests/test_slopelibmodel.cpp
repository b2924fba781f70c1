#include "document/trelvin.h"
#include "slopes/slopelibitemtablemodel.h"
#include "slopes/slopelibtablemodel.h"
#include "support/roadfiles.h"
#include "test_slopelibroads.h"

#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>
#include <road/slopesectionelement.h>
#include <road/slopesectionsegment.h>
#include <road/slopesectiontemplateconfiguration.h>
#include <road/slopesectiontemplatelibrary.h>

#include <qttestmain.h>

#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>

using Pelko::Road::SlopeSectionElement;
using Pelko::Road::SlopeSectionTemplateEditable;
using Zemko::Trelvin::SlopeLibItemTableModel;
using Zemko::Trelvin::SlopeLibTableModel;
using Zemko::Trelvin::Trelvin;

namespace {

QStringList rowTexts(const QAbstractItemModel& model, int row)
{
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column)
        texts << model.index(row, column).data().toString();
    return texts;
}

QStringList names(const QAbstractItemModel& model)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, 0).data().toString();
    return texts;
}

SlopeSectionTemplateEditable named(const std::string& name, Pelko::Road::SlopeSectionType type)
{
    return SlopeSectionTemplateEditable(name, type);
}

bool libraryFlag()
{
    return Trelvin::instance()->editFlags().testFlag(DataType::SlopeLibrary);
}

// The road file's text with white space between tags removed.
QByteArray compactText(const QString& path)
{
    QString text = QString::fromUtf8(RoadFiles::read(path));
    text.replace(QRegularExpression(QStringLiteral(">\\s+<")), QStringLiteral("><"));
    return text.toUtf8();
}

} // namespace

class TestSlopeLibModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void withoutRoad();
    void namesOfTheRoad();
    void addAndRenameCodes();
    void removeRefusesUsedTemplates();
    void elementCells();
    void elementCells_data();
    void elementEditsGoToTheLibrary();
    void applyWritesTheTemplateAndAnnounces();
    void elementEditsSurviveSelection();
    void renameRepointsSegments();
    void oneWriteClearsBothLists();
    void failedWriteKeepsTheFlag();

private:
    SlopeLibRoads::Folder folder;
};

void TestSlopeLibModel::init()
{
    folder.renew();
    QVERIFY(folder.isValid());
}

void TestSlopeLibModel::cleanup()
{
    Trelvin::instance()->closeRoad();
}

void TestSlopeLibModel::withoutRoad()
{
    SlopeLibTableModel list(Pelko::Road::SlopeSectionFill);
    QCOMPARE(list.rowCount(), 0);
    QCOMPARE(list.columnCount(), 1);
    QCOMPARE(list.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
    QVERIFY(!list.headerData(1, Qt::Horizontal).isValid());
    QCOMPARE(list.headerData(0, Qt::Vertical).toInt(), 1);

    SlopeLibItemTableModel items(&list, 0);
    QCOMPARE(items.rowCount(), 0);
    QCOMPARE(items.columnCount(), 11);
    QVERIFY(!items.hasValidTemplate());
    QCOMPARE(items.type(), Pelko::Road::SlopeSectionFill);

    SlopeLibItemTableModel orphan(nullptr, 0);
    QCOMPARE(orphan.templateRow(), -1);
    QVERIFY(!orphan.currentTemplate().isValid());

    // Nothing to write to: the flag stays.
    QVERIFY(list.add(named("A", Pelko::Road::SlopeSectionFill)).ok);
    QVERIFY(list.hasUnwrittenEdits());
    QVERIFY(!list.applyChanges());
    QVERIFY(list.hasUnwrittenEdits());
}

void TestSlopeLibModel::namesOfTheRoad()
{
    SlopeLibTableModel fill(Pelko::Road::SlopeSectionFill);
    SlopeLibTableModel cut(Pelko::Road::SlopeSectionCut);
    QVERIFY(folder.open(SlopeLibRoads::library()));
    QCOMPARE(names(fill), QStringList({ "Fill A", "Fill B" }));
    QCOMPARE(names(cut), QStringList({ "Cut A" }));
    QVERIFY(!fill.index(0, 1).data().isValid());
    QVERIFY(!fill.index(2, 0).data().isValid());

    // A model built while the road is open shares its library too.
    SlopeLibTableModel late(Pelko::Road::SlopeSectionCut);
    QCOMPARE(names(late), QStringList({ "Cut A" }));
    QVERIFY(late.add(named("Cut B", Pelko::Road::SlopeSectionCut)).ok);
    QCOMPARE(
        Trelvin::instance()->road()->getSlopeSectionTemplateLibrary()->size(Pelko::Road::SlopeSectionCut),
        2u);
}

void TestSlopeLibModel::addAndRenameCodes()
{
    SlopeLibTableModel fill(Pelko::Road::SlopeSectionFill);
    SlopeLibTableModel cut(Pelko::Road::SlopeSectionCut);
    QVERIFY(folder.open(SlopeLibRoads::library()));
    QSignalSpy inserted(&fill, &QAbstractItemModel::rowsInserted);

    // Names are unique across fill and cut.
    SlopeLibTableModel::EditResult result = fill.add(named("Cut A", Pelko::Road::SlopeSectionFill));
    QVERIFY(!result.ok);
    QCOMPARE(result.message, QStringLiteral("Template already exist"));
    result = fill.add(SlopeSectionTemplateEditable());
    QCOMPARE(result.message, QStringLiteral("Template invalid type"));
    // A cut template does not go into the fill list.
    QCOMPARE(fill.add(named("X", Pelko::Road::SlopeSectionCut)).message,
             QStringLiteral("Template invalid type"));
    QCOMPARE(inserted.count(), 0);
    QVERIFY(!libraryFlag());

    result = fill.add(named("", Pelko::Road::SlopeSectionFill));
    QVERIFY(result.ok);
    QVERIFY(result.message.isEmpty());
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 2);
    QVERIFY(libraryFlag());
    QCOMPARE(fill.add(named("", Pelko::Road::SlopeSectionFill)).message,
             QStringLiteral("Template already exist"));

    QCOMPARE(fill.setAt(3, named("Q", Pelko::Road::SlopeSectionFill)).message,
             QStringLiteral("Template invalid index"));
    QCOMPARE(fill.setAt(-1, named("Q", Pelko::Road::SlopeSectionFill)).message,
             QStringLiteral("Template invalid index"));
    QCOMPARE(fill.setAt(0, named("Fill B", Pelko::Road::SlopeSectionFill)).message,
             QStringLiteral("Template already exist"));

    // Keeping the name passes; a new name keeps the elements the dialog copied.
    SlopeSectionTemplateEditable first = fill.library().getAt(Pelko::Road::SlopeSectionFill, 1);
    QVERIFY(fill.setAt(1, first).ok);
    first.setName("Fill C");
    QSignalSpy changed(&fill, &QAbstractItemModel::dataChanged);
    QVERIFY(fill.setAt(1, first).ok);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(names(fill), QStringList({ "Fill A", "Fill C", "" }));
    QCOMPARE(fill.library().getAt(Pelko::Road::SlopeSectionFill, 1).size(), 3u);

    QCOMPARE(SlopeLibTableModel::errorText(0), QString());
    QCOMPARE(SlopeLibTableModel::errorText(4),
             QStringLiteral("Template holds an element the road file cannot keep"));
}

void TestSlopeLibModel::removeRefusesUsedTemplates()
{
    SlopeLibTableModel fill(Pelko::Road::SlopeSectionFill);
    SlopeLibTableModel cut(Pelko::Road::SlopeSectionCut);
    QVERIFY(folder.open(SlopeLibRoads::library() + SlopeLibRoads::segments()));
    QVERIFY(fill.add(named("Spare", Pelko::Road::SlopeSectionFill)).ok);

    SlopeLibTableModel::EditResult result = fill.removeAt(1);
    QVERIFY(!result.ok);
    QCOMPARE(result.message,
             QStringLiteral("Template \"Fill B\" is used by the left slope segment \"west\""));
    result = cut.removeAt(0);
    QCOMPARE(result.message, QStringLiteral("Template \"Cut A\" is used by the left slope segment \"hill\""));
    QCOMPARE(cut.rowCount(), 1);
    QCOMPARE(fill.removeAt(5).message, QStringLiteral("Template invalid index"));

    // Only the right side uses Fill A once the left segment is gone.
    Trelvin::instance()->road()->getSlopeSectionConfiguration()->get(Pelko::Road::SlopeSideLeft).removeAt(0);
    QCOMPARE(fill.usedBySegment(0),
             QStringLiteral("Template \"Fill A\" is used by the right slope segment \"east\""));

    QSignalSpy removed(&fill, &QAbstractItemModel::rowsRemoved);
    QVERIFY(fill.removeAt(2).ok);
    QVERIFY(fill.removeAt(1).ok);
    QCOMPARE(removed.count(), 2);
    QCOMPARE(names(fill), QStringList({ "Fill A" }));

    // Whatever keeps a template in the library, here a working copy no page shows, keeps its row: the
    // library's answer is the one the table follows.
    QVERIFY(fill.add(named("Kept", Pelko::Road::SlopeSectionFill)).ok);
    Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    Pelko::Road::SlopeSectionTemplateConfiguration held
        = road->getSlopeSectionConfiguration()->get(Pelko::Road::SlopeSideRight).clone();
    const Pelko::Road::SlopeSectionTemplate kept = road->getSlopeSectionTemplateLibrary()->getByName("Kept");
    QCOMPARE(
        held.addSegment(Pelko::Road::SlopeSectionSegment::create("far", { 500, kept }, { 600, kept }).first)
            .code,
        0);
    held.followLibrary();
    removed.clear();
    result = fill.removeAt(1);
    QVERIFY(!result.ok);
    QCOMPARE(result.message, QStringLiteral("Template \"Kept\" is used by the right slope segment \"far\""));
    QCOMPARE(removed.count(), 0);
    QCOMPARE(names(fill), QStringList({ "Fill A", "Kept" }));
}

void TestSlopeLibModel::elementCells_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("cells");
    const QString none = QStringLiteral(" - ");
    QTest::newRow("surface") << 0
                             << QStringList({ "bank", "2.000", "1:1.5", none, none, none, none, none, none,
                                              none, none });
    QTest::newRow("platform") << 1
                              << QStringList({ "berm", none, none, "2.000", "2%", "0.040", none, none, none,
                                               none, none });
    QTest::newRow("rect ditch") << 2
                                << QStringList({ "ditch", none, none, none, none, none, "0.600", "0.000",
                                                 "0.400", "0.000", "0.800" });
    QTest::newRow("trapezoid ditch") << 3
                                     << QStringList({ "trap", none, none, none, none, none, "0.500", "0.250",
                                                      "0.750", "1.250", "1.000" });
    // The factories give no element for a ditch without depth; the road file could not keep it.
    QTest::newRow("no kind") << -1 << QStringList();
}

void TestSlopeLibModel::elementCells()
{
    QFETCH(int, kind);
    QFETCH(QStringList, cells);
    SlopeLibTableModel list(Pelko::Road::SlopeSectionFill);
    QVERIFY(list.add(named("T", Pelko::Road::SlopeSectionFill)).ok);
    SlopeLibItemTableModel items(&list, 0);
    QVERIFY(items.hasValidTemplate());

    SlopeSectionElement element;
    switch (kind) {
    case 0:
        element = SlopeSectionElement::createSlope("bank", 2, 1.5);
        break;
    case 1:
        element = SlopeSectionElement::createPlatformBySlope("berm", 2, 2);
        break;
    case 2:
        element = SlopeSectionElement::createSideDitch("ditch", 0.6, 0.4, 0.8);
        break;
    case 3:
        element = SlopeSectionElement::createSideDitch("trap", 0.5, 0.25, 0.75, 1.0, 1.25);
        break;
    default:
        element = SlopeSectionElement::createSideDitch("flat", 0, 0.4, 0.8);
        break;
    }
    if (cells.isEmpty()) {
        const SlopeLibItemTableModel::EditResult refused = items.add(element);
        QVERIFY(!refused.ok);
        QCOMPARE(refused.message, QStringLiteral("Template holds an element the road file cannot keep"));
        QCOMPARE(items.rowCount(), 0);
        return;
    }
    QVERIFY(items.add(element).ok);
    QCOMPARE(rowTexts(items, 0), cells);
    QVERIFY(!items.index(0, 11).data().isValid());
}

void TestSlopeLibModel::elementEditsGoToTheLibrary()
{
    SlopeLibTableModel list(Pelko::Road::SlopeSectionFill);
    QVERIFY(folder.open(SlopeLibRoads::library()));
    SlopeLibItemTableModel items(&list, 1);
    QCOMPARE(items.rowCount(), 3);
    QCOMPARE(items.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Slope Ratio"));
    QCOMPARE(items.headerData(10, Qt::Horizontal).toString(), QStringLiteral("Ditch Outer Height"));

    QSignalSpy inserted(&items, &QAbstractItemModel::rowsInserted);
    QVERIFY(items.add(SlopeSectionElement::createSlope("toe", 1, 2)).ok);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 3);
    const Pelko::Road::SlopeSectionTemplateLibrary* road
        = Trelvin::instance()->road()->getSlopeSectionTemplateLibrary();
    QCOMPARE(road->getAt(Pelko::Road::SlopeSectionFill, 1).size(), 4u);

    QVERIFY(items.setAt(0, SlopeSectionElement::createSlope("top", 5, 1)).ok);
    QCOMPARE(items.index(0, 0).data().toString(), QStringLiteral("top"));
    QCOMPARE(road->getAt(Pelko::Road::SlopeSectionFill, 1).getAt(0).getHeight(), 5.0);
    QCOMPARE(items.setAt(4, SlopeSectionElement::createSlope("x", 1, 1)).message,
             QStringLiteral("Element invalid index"));

    items.removeAt(1);
    items.removeAt(7);
    QCOMPARE(road->getAt(Pelko::Road::SlopeSectionFill, 1).size(), 3u);
    QCOMPARE(names(items), QStringList({ "top", "lower", "toe" }));
    // The template keeps its name through the element edits.
    QCOMPARE(road->getAt(Pelko::Road::SlopeSectionFill, 1).getName(), std::string("Fill B"));

    // Without a template nothing is written.
    items.setTemplateIndex(-1);
    QVERIFY(!items.add(SlopeSectionElement::createSlope("x", 1, 1)).ok);
    QCOMPARE(road->getAt(Pelko::Road::SlopeSectionFill, 0).size(), 1u);
}

void TestSlopeLibModel::applyWritesTheTemplateAndAnnounces()
{
    SlopeLibTableModel fill(Pelko::Road::SlopeSectionFill);
    SlopeLibTableModel cut(Pelko::Road::SlopeSectionCut);
    QVERIFY(folder.open(QByteArray()));
    QSignalSpy documentUpdates(Trelvin::instance(), &Trelvin::libUpdate);
    QSignalSpy modelUpdates(&cut, &SlopeLibTableModel::libUpdate);

    QVERIFY(cut.add(named("Deep", Pelko::Road::SlopeSectionCut)).ok);
    SlopeLibItemTableModel items(&cut, 0);
    QVERIFY(items.add(SlopeSectionElement::createSideDitch("gutter", 0.5, 0.25, 0.75, 1.0, 1.25)).ok);
    QVERIFY(items.add(SlopeSectionElement::createPlatformBySlope("bench", 2, 3)).ok);
    QVERIFY(items.add(SlopeSectionElement::createSlope("face", 3, 0.75)).ok);
    QVERIFY(libraryFlag());

    QVERIFY(cut.applyChanges());
    QCOMPARE(modelUpdates.count(), 1);
    QCOMPARE(documentUpdates.count(), 1);
    QVERIFY(!libraryFlag());
    QCOMPARE(compactText(folder.roadPath)
                 .contains(
                     "<SlopeSectionLibrary><template><type>1</type><name>Deep</name>"
                     "<element><type>3</type><name>gutter</name><inner_height>0.5</inner_height>"
                     "<inner_width>0.25</inner_width><bottom_width>0.75</bottom_width><outer_height>1</"
                     "outer_height>"
                     "<outer_width>1.25</outer_width></element>"
                     "<element><type>1</type><name>bench</name><width>2</width><slope>3</slope></element>"
                     "<element><type>0</type><name>face</name><height>3</height><ratio>0.75</ratio></element>"
                     "</template></SlopeSectionLibrary>"),
             true);

    // A clean list leaves the file alone on the document's save.
    QVERIFY(Trelvin::instance()->save());
    QCOMPARE(documentUpdates.count(), 1);

    QVERIFY(folder.reopen());
    QCOMPARE(names(cut), QStringList({ "Deep" }));
    SlopeLibItemTableModel reread(&cut, 0);
    QCOMPARE(rowTexts(reread, 0),
             QStringList({ "gutter", " - ", " - ", " - ", " - ", " - ", "0.500", "0.250", "0.750", "1.250",
                           "1.000" }));
    QCOMPARE(reread.rowCount(), 3);
}

void TestSlopeLibModel::elementEditsSurviveSelection()
{
    SlopeLibTableModel fill(Pelko::Road::SlopeSectionFill);
    SlopeLibTableModel cut(Pelko::Road::SlopeSectionCut);
    QVERIFY(folder.open(SlopeLibRoads::library()));
    SlopeLibItemTableModel items(&fill, 0);

    QVERIFY(items.add(SlopeSectionElement::createPlatformBySlope("shelf", 1.5, 2)).ok);
    QVERIFY(libraryFlag());
    QVERIFY(fill.hasUnwrittenEdits());
    // Picking another template reloads the element table; the edit is still to be written.
    items.setTemplateIndex(1);
    items.reload();
    QVERIFY(libraryFlag());
    items.setTemplateIndex(0);
    items.reload();
    QVERIFY(libraryFlag());

    QVERIFY(Trelvin::instance()->save());
    QVERIFY(!libraryFlag());
    QVERIFY(folder.reopen());
    SlopeLibItemTableModel reread(&fill, 0);
    QCOMPARE(names(reread), QStringList({ "bank", "shelf" }));
}

void TestSlopeLibModel::renameRepointsSegments()
{
    SlopeLibTableModel fill(Pelko::Road::SlopeSectionFill);
    SlopeLibTableModel cut(Pelko::Road::SlopeSectionCut);
    QVERIFY(folder.open(SlopeLibRoads::library() + SlopeLibRoads::segments()));
    const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    QCOMPARE(road->getSlopeSectionConfiguration()
                 ->get(Pelko::Road::SlopeSideRight)
                 .getSegmentAt(0)
                 .getInterpolationType(),
             Pelko::Road::SlopeInterpolationLinear);

    SlopeSectionTemplateEditable renamed = fill.library().getAt(Pelko::Road::SlopeSectionFill, 0);
    renamed.setName("Bank 1:1.5");
    QVERIFY(fill.setAt(0, renamed).ok);
    QCOMPARE(SlopeLibRoads::segmentNames(road, Pelko::Road::SlopeSideLeft),
             QStringList({ "west:Bank 1:1.5>Fill B", "hill:Cut A>Cut A" }));
    QCOMPARE(SlopeLibRoads::segmentNames(road, Pelko::Road::SlopeSideRight),
             QStringList({ "east:Bank 1:1.5>Bank 1:1.5" }));
    const Pelko::Road::SlopeSectionSegment east
        = road->getSlopeSectionConfiguration()->get(Pelko::Road::SlopeSideRight).getSegmentAt(0);
    QVERIFY(east.isValid());
    QCOMPARE(east.getStart(), 0.0);
    QCOMPARE(east.getEnd(), 100.0);
    QCOMPARE(east.getInterpolationType(), Pelko::Road::SlopeInterpolationLinear);

    QVERIFY(Trelvin::instance()->save());
    QVERIFY(folder.reopen());
    road = Trelvin::instance()->road();
    QCOMPARE(SlopeLibRoads::segmentNames(road, Pelko::Road::SlopeSideLeft),
             QStringList({ "west:Bank 1:1.5>Fill B", "hill:Cut A>Cut A" }));
    QCOMPARE(SlopeLibRoads::segmentNames(road, Pelko::Road::SlopeSideRight),
             QStringList({ "east:Bank 1:1.5>Bank 1:1.5" }));
    const Pelko::Road::SlopeSectionSegment west
        = road->getSlopeSectionConfiguration()->get(Pelko::Road::SlopeSideLeft).getSegmentAt(0);
    QVERIFY(west.getBeginTemplate().isValid());
    QCOMPARE(west.getBeginTemplate().size(), 1u);
}

void TestSlopeLibModel::oneWriteClearsBothLists()
{
    SlopeLibTableModel fill(Pelko::Road::SlopeSectionFill);
    SlopeLibTableModel cut(Pelko::Road::SlopeSectionCut);
    QVERIFY(folder.open(SlopeLibRoads::library()));
    QVERIFY(fill.add(named("F", Pelko::Road::SlopeSectionFill)).ok);
    QVERIFY(cut.add(named("C", Pelko::Road::SlopeSectionCut)).ok);

    // The file holds the whole library, so the cut list has nothing left to write.
    QVERIFY(fill.applyChanges());
    QVERIFY(!cut.hasUnwrittenEdits());
    QVERIFY(!libraryFlag());
    QVERIFY(folder.reopen());
    QCOMPARE(names(cut), QStringList({ "Cut A", "C" }));
}

void TestSlopeLibModel::failedWriteKeepsTheFlag()
{
    SlopeLibTableModel fill(Pelko::Road::SlopeSectionFill);
    QVERIFY(folder.open(SlopeLibRoads::library(), QStringLiteral("gone")));
    QVERIFY(fill.add(named("F", Pelko::Road::SlopeSectionFill)).ok);
    QVERIFY(QDir(folder.path() + QStringLiteral("/gone")).removeRecursively());

    QSignalSpy updates(Trelvin::instance(), &Trelvin::libUpdate);
    QVERIFY(!fill.applyChanges());
    QVERIFY(fill.hasUnwrittenEdits());
    QVERIFY(libraryFlag());
    QVERIFY(!Trelvin::instance()->save());
}

TRELVIN_TEST_MAIN(TestSlopeLibModel)
#include "test_slopelibmodel.moc"
