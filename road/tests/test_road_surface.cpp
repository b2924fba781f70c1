#include <road/horizontalalignment.h>
#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>
#include <road/slopesectiontemplateconfiguration.h>
#include <road/slopesectiontemplatelibrary.h>
#include <road/station.h>
#include <road/stationtable.h>
#include <road/structureelementconfiguration.h>
#include <road/verticalalignment.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace Pelko::Road;
using Pelko::Corvex::Point;

namespace {

std::string dataPath(const char* name)
{
    return std::string(TEST_DATA_DIR) + "/" + name;
}

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string tempPath(const std::string& name)
{
    const std::string path = ::testing::TempDir() + "road_surface_" + name;
    std::remove(path.c_str());
    return path;
}

std::string writeTemp(const std::string& name, const std::string& content)
{
    const std::string path = tempPath(name);
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::vector<std::string> rootChildren(const std::string& path)
{
    tinyxml2::XMLDocument doc;
    std::vector<std::string> names;
    if (doc.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS || !doc.RootElement())
        return names;
    for (auto* e = doc.RootElement()->FirstChildElement(); e; e = e->NextSiblingElement())
        names.push_back(e->Name());
    return names;
}

// Names of the folder's entries that begin with the prefix.
std::vector<std::string> entriesStartingWith(const std::string& folder, const std::string& prefix)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.compare(0, prefix.size(), prefix) == 0)
                names.push_back(name);
        }
        ::closedir(dir);
    }
    return names;
}

// Temporary files a save left beside the file at path.
std::vector<std::string> leftovers(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return entriesStartingWith(path.substr(0, slash), path.substr(slash + 1) + ".~");
}

bool loads(const std::string& path)
{
    RoadSurface road(path);
    return road.load();
}

// Opens the file through a document of its own and saves it in place.
bool openAndSave(const std::string& path)
{
    RoadSurface road(path);
    return road.load() && road.save();
}

// A road with something in every part that a refused load must not touch.
void fill(RoadSurface& road)
{
    road.setPivouType(PivotMedialStrip, 1.25);
    VerticalAlignment profile;
    profile.append(VerticalElement::createSymparabola({ 0.0, 10.0, 0.0, 0.0 }, 0.0));
    profile.append(VerticalElement::createSymparabola({ 100.0, 11.0, 0.0, 0.0 }, 0.0));
    road.setVerticalAlignment(profile);
    SlopeSectionTemplateEditable t("kept", SlopeSectionFill);
    t.add(SlopeSectionElement::createSlope("bank", 2.0, 1.5));
    road.getSlopeSectionTemplateLibrary()->add(t);
}

void expectFilled(const RoadSurface& road)
{
    EXPECT_EQ(road.getPivotType(), PivotMedialStrip);
    EXPECT_DOUBLE_EQ(road.getPivotOffset(), 1.25);
    EXPECT_EQ(road.getVerticalAligment().size(), 2u);
    EXPECT_EQ(road.getSlopeSectionTemplateLibrary()->size(SlopeSectionFill), 1u);
}

} // namespace

TEST(RoadSurface, PartsAndPivot)
{
    RoadSurface road;
    EXPECT_EQ(road.getPath(), "Undefined");
    EXPECT_EQ(road.getPivotType(), PivotNone);
    EXPECT_EQ(road.getPivotOffset(), 0.0);

    // The centre-line pivots keep no offset.
    road.setPivouType(PivotPlan, 2.5);
    EXPECT_EQ(road.getPivotOffset(), 0.0);
    road.setPivouType(PivotMedialStrip, 2.5);
    EXPECT_DOUBLE_EQ(road.getAppliedPivotOffset(true, 0.0), -2.5);
    EXPECT_DOUBLE_EQ(road.getAppliedPivotOffset(false, 0.0), 2.5);
    road.setPivouType(PivotRoadLeftSide, 1.0);
    EXPECT_DOUBLE_EQ(road.getAppliedPivotOffset(true, 0.0), -1.0);
    EXPECT_DOUBLE_EQ(road.getAppliedPivotOffset(false, 0.0), -1.0);
    road.setPivouType(PivotRoadRightSide, 1.0);
    EXPECT_DOUBLE_EQ(road.getAppliedPivotOffset(true, 0.0), 1.0);
    road.setPivouType(static_cast<PivotType>(9), 1.0);
    EXPECT_EQ(road.getAppliedPivotOffset(true, 0.0), 0.0);

    // Outside and inside of the turn follow the turning direction: a line, then a left arc.
    HorizontalElementConfiguration elements;
    elements.append(HorizontalElement::createLine(0.0, 100.0, Point(0.0, 0.0), 0.0));
    elements.append(HorizontalElement::createArc(NAN, 100.0, -200.0, Point::invalid(), NAN));
    road.getHorizontalAligment()->setElements(elements);
    road.setPivouType(PivotOutsideOfTurn, 1.0);
    EXPECT_DOUBLE_EQ(road.getAppliedPivotOffset(true, 150.0), 1.0);
    EXPECT_DOUBLE_EQ(road.getAppliedPivotOffset(false, 150.0), 1.0);
    EXPECT_DOUBLE_EQ(road.getAppliedPivotOffset(true, 50.0), -1.0);
    road.setPivouType(PivotInsideOfTurn, 1.0);
    EXPECT_DOUBLE_EQ(road.getAppliedPivotOffset(false, 150.0), -1.0);
    EXPECT_DOUBLE_EQ(road.getAppliedPivotOffset(false, 50.0), 1.0);

    road.setStartStation(1000.0);
    EXPECT_DOUBLE_EQ(road.getHorizontalAligment()->getBeginStation(), 1000.0);

    // Value getters share the road's data; setters make the road share the argument's.
    StructureElementConfiguration structures;
    road.setStructures(structures);
    structures.append(StructureElement());
    EXPECT_EQ(road.getStructures().size(), 1u);
    road.getStructures().append(StructureElement());
    EXPECT_EQ(structures.size(), 2u);
    StationsEquationConfiguration equations;
    road.setStationsEquations(equations);
    road.getStationsEquations().appendEquation(StationsEquation(160.0, 150.0));
    EXPECT_EQ(equations.getEquationSize(), 1u);

    // The slope sections resolve their templates in the road's own library.
    SlopeSectionTemplateEditable t("bank", SlopeSectionFill);
    t.add(SlopeSectionElement::createSlope("face", 2.0, 1.5));
    ASSERT_EQ(road.getSlopeSectionTemplateLibrary()->add(t).code, 0);
    auto right = road.getSlopeSectionConfiguration()->get(SlopeSideRight);
    auto seg = SlopeSectionSegment::create("s", { 0.0, t }, { 100.0, t });
    ASSERT_EQ(seg.second, SlopeSectionSegment::Success);
    ASSERT_EQ(right.addSegment(seg.first).code, 0);
    SlopeSectionTemplateEditable edited = road.getSlopeSectionTemplateLibrary()->getAt(SlopeSectionFill, 0);
    edited.add(SlopeSectionElement::createPlatformBySlope("berm", 1.0, 2.0));
    ASSERT_EQ(road.getSlopeSectionTemplateLibrary()->setAt(0, edited).code, 0);
    road.getSlopeSectionConfiguration()->update();
    EXPECT_EQ(right.getSegmentAt(0).getBeginTemplate().size(), 2u);
}

TEST(RoadSurface, LoadRefusalsLeaveTheDocument)
{
    const std::string folder = tempPath("folder.rod");
    ::mkdir(folder.c_str(), 0700);
    const std::vector<std::string> refused = {
        tempPath("missing.rod"),
        folder,
        writeTemp("text.rod", "not a road at all"),
        writeTemp("truncated.rod", "<Road><Version>4</Version><PivotType>3</Pivo"),
        writeTemp("other.rod", "<Street><Version>4</Version></Street>"),
        writeTemp("v5.rod", "<Road><Version>5</Version><PivotType>3</PivotType><VerticalAlignment/></Road>"),
        writeTemp("v7.rod", "<Road><Version>7</Version></Road>"),
    };
    for (const std::string& path : refused) {
        RoadSurface road(path);
        fill(road);
        HorizontalAlignment* before = road.getHorizontalAligment();
        EXPECT_FALSE(road.load()) << path;
        expectFilled(road);
        EXPECT_EQ(road.getHorizontalAligment(), before);
    }
    // A fresh document that refuses stays empty.
    RoadSurface fresh(dataPath("node_not_road.xml"));
    EXPECT_FALSE(fresh.load());
    EXPECT_EQ(fresh.getVerticalAligment().size(), 0u);
    ::rmdir(folder.c_str());
}

TEST(RoadSurface, LoadsEmptyRoadAndSavesNewFile)
{
    RoadSurface road(writeTemp("bare.rod", "<Road><Version>4</Version></Road>"));
    fill(road);
    HorizontalAlignment* alignment = road.getHorizontalAligment();
    StandardSection* section = road.getStandardSection();
    ASSERT_TRUE(road.load());
    // Every part loads empty into the same objects; the pivot comes back to its defaults.
    EXPECT_EQ(road.getHorizontalAligment(), alignment);
    EXPECT_EQ(road.getStandardSection(), section);
    EXPECT_EQ(road.getPivotType(), PivotNone);
    EXPECT_EQ(road.getPivotOffset(), 0.0);
    EXPECT_EQ(road.getVerticalAligment().size(), 0u);

    RoadSurface built(tempPath("own.rod"));
    fill(built);
    const std::string target = tempPath("new.rod");
    ASSERT_TRUE(built.saveAs(target));
    EXPECT_EQ(built.getPath(), tempPath("own.rod"));
    const std::vector<std::string> expected
        = { "Version",           "FullVersion",       "PivotType",
            "PivotOffset",       "StationsEquation",  "HorizontalAlignment",
            "VerticalAlignment", "StandardSection",   "SlopeSectionLibrary",
            "SlopeSection",      "StructureElements", "StationTable" };
    EXPECT_EQ(rootChildren(target), expected);
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.LoadFile(target.c_str()), tinyxml2::XML_SUCCESS);
    EXPECT_STREQ(doc.RootElement()->FirstChildElement("FullVersion")->GetText(), "67239936");

    RoadSurface again(target);
    ASSERT_TRUE(again.load());
    expectFilled(again);

    // An unparseable target is not a road file to update: it is replaced by a new one.
    const std::string broken = writeTemp("broken.rod", "<Road><Version>4");
    EXPECT_TRUE(built.saveAs(broken));
    RoadSurface reread(broken);
    EXPECT_TRUE(reread.load());
    expectFilled(reread);

    // A file with another root is not overwritten.
    const std::string other = writeTemp("street.rod", "<Street/>");
    EXPECT_FALSE(built.saveAs(other));
    EXPECT_EQ(readAll(other), "<Street/>");
}

TEST(RoadSurface, OlderFileKeepsItsTemplatesOnSave)
{
    // Before the library existed, slope sections carried their templates inline.
    const std::string path = writeTemp("v40.rod", R"(<Road>
    <Version>4</Version>
    <FullVersion>67108864</FullVersion>
    <SlopeSectionLibrary><template><type>0</type><name>ignored</name></template></SlopeSectionLibrary>
    <SlopeSection>
        <right>
            <template>
                <name>old fill</name>
                <type>0</type>
                <start>0</start>
                <end>120</end>
                <element><type>0</type><name>bank</name><height>2</height><ratio>1.5</ratio></element>
            </template>
        </right>
    </SlopeSection>
</Road>)");
    RoadSurface road(path);
    ASSERT_TRUE(road.load());
    // The library node of an older file is not read.
    EXPECT_FALSE(road.getSlopeSectionTemplateLibrary()->getByName("ignored").isValid());
    ASSERT_EQ(road.getSlopeSectionTemplateLibrary()->size(SlopeSectionFill), 1u);
    ASSERT_TRUE(road.save());

    RoadSurface reread(path);
    ASSERT_TRUE(reread.load());
    const SlopeSectionTemplateLibrary* library = reread.getSlopeSectionTemplateLibrary();
    ASSERT_EQ(library->size(SlopeSectionFill), 1u);
    const SlopeSectionTemplate stored = library->getAt(SlopeSectionFill, 0);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored.getAt(0).getName(), "bank");
    EXPECT_DOUBLE_EQ(stored.getAt(0).getHeight(), 2.0);
    const auto right = reread.getSlopeSectionConfiguration()->get(SlopeSideRight);
    ASSERT_EQ(right.size(), 1u);
    EXPECT_EQ(right.getSegmentAt(0).getName(), "old fill");
    EXPECT_DOUBLE_EQ(right.getSegmentAt(0).getEnd(), 120.0);
    EXPECT_EQ(right.getSegmentAt(0).getBeginTemplate().getName(), stored.getName());
    EXPECT_EQ(right.getSegmentAt(0).getBeginTemplate().size(), 1u);
}

TEST(RoadSurface, FailedWriteKeepsThePreviousFile)
{
    const std::string path = tempPath("guarded.rod");
    RoadSurface road(path);
    fill(road);
    ASSERT_TRUE(road.save());
    const std::string before = readAll(path);

    // Files may not grow past a few bytes, so the final write fails.
    rlimit limit;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    rlimit small = limit;
    small.rlim_cur = 16;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    road.setPivouType(PivotRoadLeftSide, 9.0);
    const bool saved = road.save();
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, handler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(readAll(path), before);
    EXPECT_TRUE(leftovers(path).empty());

    EXPECT_TRUE(road.save());
    RoadSurface reread(path);
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(reread.getPivotType(), PivotRoadLeftSide);

    // No folder to write into.
    EXPECT_FALSE(road.saveAs(tempPath("no/such/folder.rod")));
}

TEST(RoadSurface, CompleteRoadRoundTrip)
{
    for (const char* name : { "complete.rod", "complete_pi.rod" }) {
        SCOPED_TRACE(name);
        RoadSurface road(dataPath(name));
        ASSERT_TRUE(road.load());
        EXPECT_EQ(road.getPivotType(), PivotMedialStrip);
        EXPECT_DOUBLE_EQ(road.getPivotOffset(), 0.5);
        EXPECT_EQ(road.getStationsEquations().getEquationSize(), 1u);
        const HorizontalAlignment* alignment = road.getHorizontalAligment();
        EXPECT_GE(alignment->getElements().size(), 4u);
        EXPECT_EQ(road.getVerticalAligment().size(), 5u);
        const auto left = road.getStandardSection()->getCrossSectionConfiguration(StandardSection::Left);
        const auto right = road.getStandardSection()->getCrossSectionConfiguration(StandardSection::Right);
        ASSERT_EQ(left.size(), 2u);
        ASSERT_EQ(right.size(), 2u);
        EXPECT_EQ(left.elementConfigurationAt(0).superelevationPointSize(), 4u);
        EXPECT_EQ(right.elementConfigurationAt(0).wideningPointSize(), 4u);
        EXPECT_EQ(road.getSlopeSectionTemplateLibrary()->size(SlopeSectionFill), 2u);
        EXPECT_EQ(road.getSlopeSectionTemplateLibrary()->size(SlopeSectionCut), 2u);
        EXPECT_EQ(road.getSlopeSectionConfiguration()->get(SlopeSideLeft).size(), 2u);
        EXPECT_EQ(road.getSlopeSectionConfiguration()->get(SlopeSideRight).size(), 1u);
        EXPECT_EQ(road.getStructures().size(), 2u);
        EXPECT_EQ(road.getStationTable().size(), 4u);

        // Saved over a copy of itself, so the root child the document does not know must survive.
        const std::string kept = writeTemp(std::string("kept_") + name, readAll(dataPath(name)));
        ASSERT_TRUE(road.saveAs(kept));
        EXPECT_EQ(rootChildren(kept).at(4), "Drawing");

        const std::string first = tempPath(std::string("first_") + name);
        const std::string second = tempPath(std::string("second_") + name);
        ASSERT_TRUE(road.saveAs(first));
        RoadSurface reread(first);
        ASSERT_TRUE(reread.load());
        ASSERT_TRUE(reread.saveAs(second));
        EXPECT_EQ(readAll(first), readAll(second));

        // The same road answers the same.
        for (double station : { 20.0, 120.0, 215.0, 310.0, 480.0 }) {
            for (double offset : { -9.0, -2.0, 0.0, 3.0, 12.0 }) {
                double a = NAN;
                double b = NAN;
                const bool okA = road.getElevation(station, offset, a);
                EXPECT_EQ(reread.getElevation(station, offset, b), okA);
                if (okA) {
                    EXPECT_DOUBLE_EQ(a, b) << station << " " << offset;
                }
                const Point pa = road.getNorthEast(station, offset);
                const Point pb = reread.getNorthEast(station, offset);
                EXPECT_DOUBLE_EQ(pa.getX(), pb.getX());
                EXPECT_DOUBLE_EQ(pa.getY(), pb.getY());
            }
        }
    }
}

// Files that once lost an element on the second save: whatever a save writes must read back to the
// same road.
// Saved in place, each file must load again, and opening and saving it again must change nothing.
TEST(RoadSurface, SavedFilesReadBackTheSame)
{
    const std::string folder = dataPath("roundtrip");
    std::vector<std::string> names;
    for (const std::string& name : entriesStartingWith(folder, ""))
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".rod") == 0)
            names.push_back(name);
    ASSERT_GE(names.size(), 29u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        RoadSurface road(folder + "/" + name);
        ASSERT_TRUE(road.load());
        const std::string first = tempPath("roundtrip_first.rod");
        const std::string second = tempPath("roundtrip_second.rod");
        ASSERT_TRUE(road.saveAs(first));
        RoadSurface reread(first);
        ASSERT_TRUE(reread.load());
        ASSERT_TRUE(reread.saveAs(second));
        EXPECT_EQ(readAll(first), readAll(second));

        const std::string inPlace = writeTemp("roundtrip_in_place.rod", readAll(folder + "/" + name));
        ASSERT_TRUE(openAndSave(inPlace));
        const std::string once = readAll(inPlace);
        EXPECT_TRUE(loads(inPlace));
        ASSERT_TRUE(openAndSave(inPlace));
        ASSERT_TRUE(openAndSave(inPlace));
        EXPECT_EQ(readAll(inPlace), once);
    }
}

// Text outside the root, which the parser lets through: saved in place (again through the kept
// document), over another copy or to a new file, the road must still load, and saving again must
// not change the file.
TEST(RoadSurface, EverySaveOfALoadedRoadLoadsAgain)
{
    for (const char* name : { "unreadable_after_save_1.rod", "unreadable_after_save_2.rod",
                              "unreadable_after_save_3.rod", "grows_on_save.rod" }) {
        SCOPED_TRACE(name);
        const std::string source = readAll(dataPath("roundtrip/") + name);
        const std::string path = writeTemp("outside_root.rod", source);
        RoadSurface road(path);
        ASSERT_TRUE(road.load());
        ASSERT_TRUE(road.save());
        EXPECT_TRUE(loads(path));
        const std::string once = readAll(path);
        ASSERT_TRUE(road.save());
        EXPECT_EQ(readAll(path), once);
        for (int cycle = 0; cycle < 2; ++cycle)
            ASSERT_TRUE(openAndSave(path));
        EXPECT_EQ(readAll(path), once);

        const std::string other = writeTemp("outside_root_other.rod", source);
        ASSERT_TRUE(road.saveAs(other));
        EXPECT_TRUE(loads(other));
        const std::string fresh = tempPath("outside_root_new.rod");
        ASSERT_TRUE(road.saveAs(fresh));
        EXPECT_TRUE(loads(fresh));
    }
    // What a comment outside the root holds stays.
    const std::string path = writeTemp("outside_root.rod", readAll(dataPath("roundtrip/grows_on_save.rod")));
    ASSERT_TRUE(openAndSave(path));
    EXPECT_NE(readAll(path).find("</Road>\n\n<!--c-->"), std::string::npos);
}

// Texts come back exactly: a carriage return is not turned into a line feed, and blanks alone are
// not lost.
TEST(RoadSurface, TextsComeBackExactly)
{
    const auto laneName = [](const RoadSurface& road) {
        const auto left = road.getStandardSection()->getCrossSectionConfiguration(StandardSection::Left);
        return left.size() > 0 ? left.elementConfigurationAt(0).getElement().getName() : std::string("-");
    };
    const std::pair<const char*, std::string> files[] = {
        { "carriage_return_in_name.rod", "a\rb" },
        { "blank_name.rod", " " },
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.first);
        const std::string path = writeTemp("texts.rod", readAll(dataPath("roundtrip/") + file.first));
        RoadSurface road(path);
        ASSERT_TRUE(road.load());
        EXPECT_EQ(laneName(road), file.second);
        ASSERT_TRUE(road.save());
        RoadSurface inPlace(path);
        ASSERT_TRUE(inPlace.load());
        EXPECT_EQ(laneName(inPlace), file.second);
        const std::string copy = tempPath("texts_copy.rod");
        ASSERT_TRUE(inPlace.saveAs(copy));
        RoadSurface copied(copy);
        ASSERT_TRUE(copied.load());
        EXPECT_EQ(laneName(copied), file.second);
    }

    // Names set through the model: every blank alone, and returns among other text.
    for (const std::string name : { "\t", "\n", "\r", "\r\n", " \f\v ", "a\r", "\rb\r\n", " x ", "<&>\r" }) {
        SCOPED_TRACE(::testing::PrintToString(name));
        RoadSurface road(tempPath("texts_set.rod"));
        SlopeSectionTemplateEditable t(name, SlopeSectionFill);
        t.add(SlopeSectionElement::createSlope(name, 2.0, 1.5));
        ASSERT_EQ(road.getSlopeSectionTemplateLibrary()->add(t).code, 0);
        ASSERT_TRUE(road.save());
        RoadSurface reread(road.getPath());
        ASSERT_TRUE(reread.load());
        const SlopeSectionTemplateEditable stored
            = reread.getSlopeSectionTemplateLibrary()->getAt(SlopeSectionFill, 0);
        EXPECT_EQ(stored.getName(), name);
        EXPECT_EQ(stored.getAt(0).getName(), name);
    }

    // Attributes, which the road does not read, are kept as they were too.
    const std::string attributed
        = writeTemp("texts_attribute.rod", "<Road note=\"a&#13;b&amp;\"><Version>4</Version></Road>");
    ASSERT_TRUE(openAndSave(attributed));
    ASSERT_TRUE(openAndSave(attributed));
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.LoadFile(attributed.c_str()), tinyxml2::XML_SUCCESS);
    EXPECT_STREQ(doc.RootElement()->Attribute("note"), "a\rb&");
}

// What a save writes, byte for byte: into the file the road came from (its other children kept in
// place), into a new file and over another road's file; saved again over its own output, the same.
TEST(RoadSurface, SavesWriteTheseBytes)
{
    struct Case
    {
        const char* source;
        const char* target; // nullptr: the file loaded; "": a new file
        const char* expected;
    };
    const Case cases[] = {
        { "complete.rod", nullptr, "saved/complete.rod" },
        { "complete.rod", "", "saved/complete_new.rod" },
        { "complete_pi.rod", nullptr, "saved/complete_pi.rod" },
        { "node_v3.rod", nullptr, "saved/node_v3.rod" },
        { "roundtrip/case04.rod", nullptr, "saved/case04.rod" },
        { "roundtrip/case04.rod", "complete.rod", "saved/case04_over_complete.rod" },
        { "complete_pi.rod", "roundtrip/case04.rod", "saved/complete_pi_over_case04.rod" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source) + " -> " + (c.target ? c.target : "itself"));
        const std::string expected = readAll(dataPath(c.expected));
        ASSERT_FALSE(expected.empty());
        const std::string path = tempPath("pinned.rod");
        RoadSurface road(c.target ? dataPath(c.source)
                                  : writeTemp("pinned.rod", readAll(dataPath(c.source))));
        ASSERT_TRUE(road.load());
        if (c.target && *c.target)
            writeTemp("pinned.rod", readAll(dataPath(c.target)));
        ASSERT_TRUE(road.saveAs(path));
        EXPECT_EQ(readAll(path), expected);
        ASSERT_TRUE(road.saveAs(path));
        EXPECT_EQ(readAll(path), expected);
    }
}

// A save keeps the document of the last load or save, but only for a file that still holds what was
// read or written: changes made to the file since, even of the same size, are kept as a fresh read
// keeps them.
TEST(RoadSurface, SaveRereadsAFileChangedSince)
{
    const std::string path = writeTemp("changed.rod", readAll(dataPath("complete.rod")));
    RoadSurface road(path);
    ASSERT_TRUE(road.load());
    ASSERT_TRUE(road.save());
    const std::string saved = readAll(path);
    ASSERT_NE(saved.find("<scale>500</scale>"), std::string::npos);

    std::string edited = saved;
    edited.replace(edited.find("<scale>500</scale>"), 18, "<scale>600</scale>");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << edited;
    ASSERT_TRUE(road.save());
    EXPECT_EQ(readAll(path), edited);

    std::string grown = edited;
    grown.insert(grown.find("<Road>") + 6, "\n    <Note>kept</Note>");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << grown;
    ASSERT_TRUE(road.save());
    EXPECT_EQ(readAll(path), grown);

    // Another road saved over the file between two saves of this one.
    RoadSurface other(dataPath("complete_pi.rod"));
    ASSERT_TRUE(other.load());
    ASSERT_TRUE(other.saveAs(path));
    ASSERT_TRUE(road.save());
    RoadSurface reread(path);
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(reread.getHorizontalAligment()->getElements().size(),
              road.getHorizontalAligment()->getElements().size());
}

// A start record counts only at the head of the element list; one further in is no element of the
// road, so that what is in memory after an edit is what the file gives back.
TEST(RoadSurface, StartRecordCountsOnlyAtTheHead)
{
    const std::string path
        = writeTemp("start_inside.rod", readAll(dataPath("roundtrip/start_record_inside.rod")));
    RoadSurface road(path);
    ASSERT_TRUE(road.load());
    HorizontalElementConfiguration elements = road.getHorizontalAligment()->getElements().clone();
    ASSERT_EQ(elements.size(), 2u);
    EXPECT_EQ(elements.at(0).getType(), LineElementType);
    EXPECT_EQ(elements.at(1).getType(), LineElementType);
    EXPECT_DOUBLE_EQ(elements.at(1).getBeginStation(), 100.0);
    EXPECT_DOUBLE_EQ(elements.at(1).getBeginPoint().getX(), 1100.0);

    ASSERT_TRUE(elements.removeAt(0));
    road.getHorizontalAligment()->setElements(elements);
    ASSERT_TRUE(road.save());
    RoadSurface reread(path);
    ASSERT_TRUE(reread.load());
    const HorizontalElementConfiguration held = road.getHorizontalAligment()->getElements();
    const HorizontalElementConfiguration read = reread.getHorizontalAligment()->getElements();
    ASSERT_EQ(read.size(), held.size());
    for (unsigned i = 0; i < held.size(); ++i) {
        EXPECT_EQ(read.at(i).getType(), held.at(i).getType());
        EXPECT_EQ(read.at(i).getBeginStation(), held.at(i).getBeginStation());
        EXPECT_EQ(read.at(i).getBeginPoint().getX(), held.at(i).getBeginPoint().getX());
        EXPECT_EQ(read.at(i).getLength(), held.at(i).getLength());
    }
}

// A template that a segment uses stays in the library: segments are saved by template name, and a
// name the library no longer holds would lose the segment on the next load.
TEST(RoadSurface, LibraryKeepsTemplatesThatSegmentsUse)
{
    const std::string path = tempPath("used_templates.rod");
    RoadSurface road(path);
    SlopeSectionTemplateLibrary* library = road.getSlopeSectionTemplateLibrary();
    for (const char* name : { "A", "B", "spare" }) {
        SlopeSectionTemplateEditable t(name, SlopeSectionFill);
        t.add(SlopeSectionElement::createSlope(name, 2.0, 1.5));
        ASSERT_EQ(library->add(t).code, 0);
    }
    SlopeSectionTemplateEditable c("C", SlopeSectionCut);
    c.add(SlopeSectionElement::createSlope("C", 3.0, 1.0));
    ASSERT_EQ(library->add(c).code, 0);
    const auto segment = [&](const char* name, SlopeSectionType type, const char* begin, const char* end) {
        return SlopeSectionSegment::create(name, { 0.0, library->getByName(type, begin) },
                                           { 100.0, library->getByName(type, end) })
            .first;
    };
    auto left = road.getSlopeSectionConfiguration()->get(SlopeSideLeft);
    ASSERT_EQ(left.addSegment(segment("A to B", SlopeSectionFill, "A", "B")).code, 0);
    // The editors set a side to an edited copy of it.
    auto right = road.getSlopeSectionConfiguration()->get(SlopeSideRight).clone();
    ASSERT_EQ(right.addSegment(segment("C", SlopeSectionCut, "C", "C")).code, 0);
    road.getSlopeSectionConfiguration()->set(SlopeSideRight, right);

    EXPECT_FALSE(library->removeAt(SlopeSectionFill, 1));
    EXPECT_FALSE(library->removeAt(SlopeSectionFill, 0));
    EXPECT_FALSE(library->removeAt(SlopeSectionCut, 0));
    // What keeps a template is told: the side and the segment.
    const SlopeSectionTemplateLibrary::Use useOfB = library->findUse(SlopeSectionFill, 1);
    EXPECT_TRUE(useOfB);
    EXPECT_EQ(useOfB.side, SlopeSideLeft);
    EXPECT_EQ(useOfB.segment, "A to B");
    EXPECT_EQ(library->findUse(SlopeSectionCut, 0).side, SlopeSideRight);
    EXPECT_EQ(library->findUse(SlopeSectionCut, 0).segment, "C");
    EXPECT_FALSE(library->findUse(SlopeSectionFill, 2));
    EXPECT_FALSE(library->findUse(SlopeSectionFill, 3));
    EXPECT_EQ(library->size(SlopeSectionFill), 3u);
    EXPECT_EQ(library->size(SlopeSectionCut), 1u);
    EXPECT_TRUE(library->removeAt(SlopeSectionFill, 2));

    ASSERT_TRUE(road.save());
    RoadSurface reread(path);
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(reread.getSlopeSectionConfiguration()->get(SlopeSideLeft).size(), 1u);
    EXPECT_EQ(reread.getSlopeSectionConfiguration()->get(SlopeSideRight).size(), 1u);

    // Once no segment uses it, a template may go; a library of its own has no segments.
    left.removeAt(0);
    EXPECT_TRUE(library->removeAt(SlopeSectionFill, 1));
    SlopeSectionTemplateLibrary own;
    ASSERT_EQ(own.add(c).code, 0);
    EXPECT_TRUE(own.removeAt(SlopeSectionCut, 0));
}

// Renaming a library template takes the segments that name it along, on the road and in a working
// copy that follows the library: in memory, in the file and in the heights they give.
TEST(RoadSurface, RenamedTemplateKeepsItsSegments)
{
    const std::string path
        = writeTemp("renamed_template.rod", readAll(std::string(TRELVIN_EXAMPLES_DIR) + "/ridge-road.rod"));
    RoadSurface road(path);
    ASSERT_TRUE(road.load());
    SlopeSectionTemplateLibrary* library = road.getSlopeSectionTemplateLibrary();
    SlopeSectionConfiguration* slopes = road.getSlopeSectionConfiguration();
    const auto described = [](const SlopeSectionTemplateConfiguration& side) {
        std::vector<std::string> result;
        for (unsigned i = 0; i < side.size(); ++i) {
            const SlopeSectionSegment s = side.getSegmentAt(i);
            result.push_back(s.getName() + ":" + s.getBeginTemplate().getName() + ">"
                             + s.getEndTemplate().getName() + (s.isValid() ? "" : " (invalid)"));
        }
        return result;
    };
    const auto renamedIn = [](std::vector<std::string> list) {
        for (std::string& s : list)
            for (std::size_t at; (at = s.find("Fill 1:1.5")) != std::string::npos;)
                s.replace(at, 10, "Bank 2 m");
        return list;
    };
    const std::vector<std::string> left = renamedIn(described(slopes->get(SlopeSideLeft)));
    const std::vector<std::string> right = renamedIn(described(slopes->get(SlopeSideRight)));
    ASSERT_EQ(left.size(), 4u);
    ASSERT_EQ(right.size(), 4u);
    EXPECT_EQ(right[0], "north embankment:Bank 2 m>Bank 2 m");
    const SlopeSectionTemplateConfiguration working = slopes->get(SlopeSideRight).clone();
    working.followLibrary();
    const SlopeSectionTemplateConfiguration unfollowed = slopes->get(SlopeSideRight).clone();
    const SlopeInterpolationType interpolation
        = slopes->get(SlopeSideRight).getSegmentAt(0).getInterpolationType();

    // A new name and a new height at once.
    ASSERT_EQ(library->getAt(SlopeSectionFill, 0).getName(), "Fill 1:1.5");
    SlopeSectionTemplateEditable renamed("Bank 2 m", SlopeSectionFill);
    renamed.add(SlopeSectionElement::createSlope("embankment", 2.0, 2.0));
    ASSERT_EQ(library->setAt(0, renamed).code, SlopeSectionTemplateLibrary::Error::Success);

    EXPECT_EQ(described(slopes->get(SlopeSideLeft)), left);
    EXPECT_EQ(described(slopes->get(SlopeSideRight)), right);
    EXPECT_EQ(described(working), right);
    EXPECT_EQ(unfollowed.getSegmentAt(0).getBeginTemplate().getName(), "Fill 1:1.5");
    EXPECT_EQ(slopes->get(SlopeSideRight).getSegmentAt(0).getInterpolationType(), interpolation);
    double before = 0.0;
    ASSERT_TRUE(road.getElevation(500.0, 14.0, before));

    ASSERT_TRUE(road.save());
    RoadSurface reread(path);
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(described(reread.getSlopeSectionConfiguration()->get(SlopeSideLeft)), left);
    EXPECT_EQ(described(reread.getSlopeSectionConfiguration()->get(SlopeSideRight)), right);
    double after = 0.0;
    ASSERT_TRUE(reread.getElevation(500.0, 14.0, after));
    EXPECT_DOUBLE_EQ(after, before);

    // The working copy keeps a template it alone uses from being removed, for as long as it lives.
    SlopeSectionTemplateEditable spare("spare", SlopeSectionFill);
    spare.add(SlopeSectionElement::createSlope("spare", 1.0, 1.5));
    const int index = library->add(spare).index;
    SlopeSectionTemplateConfiguration own = slopes->get(SlopeSideRight).clone();
    own.followLibrary();
    const SlopeSectionTemplate held = library->getByName("spare");
    ASSERT_EQ(
        own.setSegmentAt(0, SlopeSectionSegment::create("north", { 0, held }, { 1300, held }).first).code, 0);
    EXPECT_FALSE(library->removeAt(SlopeSectionFill, index));
    own = SlopeSectionTemplateConfiguration();
    EXPECT_TRUE(library->removeAt(SlopeSectionFill, index));
}

// Saving through a symbolic link writes the file it points to and keeps the link, also along a chain
// of links and to a target not there yet.
TEST(RoadSurface, SaveThroughALinkWritesItsTarget)
{
    const std::string target = writeTemp("link_target.rod", readAll(dataPath("complete.rod")));
    const std::string link = tempPath("link.rod");
    const std::string chain = tempPath("link_chain.rod");
    // Relative links, as a user makes them in the folder.
    ASSERT_EQ(::symlink("road_surface_link_target.rod", link.c_str()), 0);
    ASSERT_EQ(::symlink("road_surface_link.rod", chain.c_str()), 0);
    const auto pointsTo = [](const std::string& path) {
        char buffer[256];
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return std::string("(no link)");
        const ssize_t size = ::readlink(path.c_str(), buffer, sizeof buffer);
        return std::string(buffer, size > 0 ? static_cast<size_t>(size) : 0);
    };

    RoadSurface road(chain);
    ASSERT_TRUE(road.load());
    road.setPivouType(PivotRoadLeftSide, 3.0);
    ASSERT_TRUE(road.save());
    EXPECT_EQ(pointsTo(chain), "road_surface_link.rod");
    EXPECT_EQ(pointsTo(link), "road_surface_link_target.rod");
    RoadSurface reread(target);
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(reread.getPivotType(), PivotRoadLeftSide);
    EXPECT_DOUBLE_EQ(reread.getPivotOffset(), 3.0);
    EXPECT_TRUE(leftovers(target).empty());
    EXPECT_TRUE(leftovers(link).empty());

    const std::string dangling = tempPath("link_dangling.rod");
    const std::string missing = tempPath("link_missing.rod");
    ASSERT_EQ(::symlink(missing.c_str(), dangling.c_str()), 0);
    ASSERT_TRUE(road.saveAs(dangling));
    EXPECT_EQ(pointsTo(dangling), missing);
    EXPECT_TRUE(loads(missing));
    for (const std::string& path : { link, chain, dangling, missing })
        std::remove(path.c_str());
}

// Two saves to one path at the same time each write a temporary file of their own: every save
// succeeds, and the file is whole and one of the two.
TEST(RoadSurface, ConcurrentSavesToOnePathLeaveOneOfThem)
{
    const std::string source = readAll(dataPath("complete.rod"));
    RoadSurface first(writeTemp("concurrent_first.rod", source));
    RoadSurface second(writeTemp("concurrent_second.rod", source));
    ASSERT_TRUE(first.load());
    ASSERT_TRUE(second.load());
    first.setPivouType(PivotRoadLeftSide, 1.0);
    second.setPivouType(PivotRoadRightSide, 2.0);
    ASSERT_TRUE(first.save());
    ASSERT_TRUE(second.save());
    const std::string firstBytes = readAll(first.getPath());
    const std::string secondBytes = readAll(second.getPath());
    ASSERT_NE(firstBytes, secondBytes);

    const std::string path = writeTemp("concurrent.rod", source);
    std::atomic<int> failures { 0 };
    const auto saveMany = [&](const RoadSurface* road) {
        for (int i = 0; i < 40; ++i)
            if (!road->saveAs(path))
                ++failures;
    };
    std::thread a(saveMany, &first);
    std::thread b(saveMany, &second);
    a.join();
    b.join();
    EXPECT_EQ(failures.load(), 0);
    const std::string result = readAll(path);
    EXPECT_TRUE(result == firstBytes || result == secondBytes);
    EXPECT_TRUE(loads(path));
    EXPECT_TRUE(leftovers(path).empty());
}
