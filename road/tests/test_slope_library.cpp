#include <road/internal/node.h>
#include <road/slopesectiontemplatelibrary.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using namespace Pelko::Road;
using Pelko::Road::internal::Node;
using Pelko::Road::internal::Xml::NodeImpl;
using Error = SlopeSectionTemplateLibrary::Error;

namespace {

struct LibraryAccess : SlopeSectionTemplateLibrary
{
    LibraryAccess() = default;
    explicit LibraryAccess(const SlopeSectionTemplateLibrary& l)
        : SlopeSectionTemplateLibrary(l)
    {
    }
    using SlopeSectionTemplateLibrary::isNameTaken;
    using SlopeSectionTemplateLibrary::load;
    using SlopeSectionTemplateLibrary::save;
};

struct TemplateAccess : SlopeSectionTemplateEditable
{
    using SlopeSectionTemplateEditable::fromTemplate;
};

Node<SlopeSectionTemplateLibrary> nodeOf(tinyxml2::XMLElement* e)
{
    return Node<SlopeSectionTemplateLibrary>(std::make_shared<NodeImpl>(e, 4, 0x04020000));
}

SlopeSectionTemplateEditable make(const std::string& name, SlopeSectionType type, double height = 2)
{
    SlopeSectionTemplateEditable t(name, type);
    t.add(SlopeSectionElement::createSlope(name, height, 1.5));
    return t;
}

void expectError(const Error& e, int index, int code)
{
    EXPECT_EQ(e.index, index);
    EXPECT_EQ(e.code, code);
}

} // namespace

TEST(SlopeSectionTemplateLibrary, AddKeepsNamesUniqueAcrossBothLists)
{
    SlopeSectionTemplateLibrary lib;
    EXPECT_TRUE(lib.isAvailable());
    EXPECT_EQ(lib.size(SlopeSectionFill), 0u);

    expectError(lib.add(SlopeSectionTemplateEditable()), -1, Error::InvalidType);
    expectError(lib.add(make("A", SlopeSectionCut)), 0, Error::Success);
    expectError(lib.add(make("A", SlopeSectionFill)), -1, Error::NameTaken);
    expectError(lib.add(make("A", SlopeSectionCut)), -1, Error::NameTaken);
    expectError(lib.add(make("B", SlopeSectionFill)), 0, Error::Success);
    expectError(lib.add(make("C", SlopeSectionFill)), 1, Error::Success);
    // Names are compared exactly.
    expectError(lib.add(make("a", SlopeSectionFill)), 2, Error::Success);
    EXPECT_EQ(lib.size(SlopeSectionFill), 3u);
    EXPECT_EQ(lib.size(SlopeSectionCut), 1u);
    EXPECT_EQ(lib.size(static_cast<SlopeSectionType>(2)), 0u);
    EXPECT_EQ(lib.getAt(SlopeSectionFill, 1).getName(), "C");

    // The library holds the added template itself.
    SlopeSectionTemplateEditable held = make("D", SlopeSectionCut);
    lib.add(held);
    held.add(SlopeSectionElement::createSlope("more", 1, 1));
    EXPECT_EQ(lib.getAt(SlopeSectionCut, 1).size(), 2u);
    // A template held by the library cannot be taken over for editing.
    EXPECT_FALSE(TemplateAccess::fromTemplate(held));

    // getAt hands out a copy.
    SlopeSectionTemplateEditable copy = lib.getAt(SlopeSectionCut, 0);
    copy.setName("changed");
    copy.removeAt(0);
    EXPECT_EQ(lib.getAt(SlopeSectionCut, 0).getName(), "A");
    EXPECT_EQ(lib.getAt(SlopeSectionCut, 0).size(), 1u);
    EXPECT_FALSE(lib.getAt(SlopeSectionCut, 2));
    EXPECT_FALSE(lib.getAt(SlopeSectionInvalid, 0));
}

TEST(SlopeSectionTemplateLibrary, SetAtAndRemoveAt)
{
    SlopeSectionTemplateLibrary lib;
    lib.add(make("F0", SlopeSectionFill));
    lib.add(make("F1", SlopeSectionFill));
    lib.add(make("C0", SlopeSectionCut));

    expectError(lib.setAt(2, make("X", SlopeSectionFill)), 2, Error::InvalidIndex);
    expectError(lib.setAt(1, make("X", SlopeSectionCut)), 1, Error::InvalidIndex);
    expectError(lib.setAt(1, SlopeSectionTemplateEditable("X", SlopeSectionInvalid)), 1, Error::InvalidType);
    expectError(lib.setAt(1, make("C0", SlopeSectionFill)), -1, Error::NameTaken);
    expectError(lib.setAt(1, make("F0", SlopeSectionFill)), -1, Error::NameTaken);
    EXPECT_EQ(lib.getAt(SlopeSectionFill, 1).getName(), "F1");
    EXPECT_EQ(lib.getAt(SlopeSectionFill, 1).getAt(0).getHeight(), 2.0);

    // Replacing a template by an edited copy of itself keeps its name.
    SlopeSectionTemplateEditable edited = lib.getAt(SlopeSectionFill, 1);
    edited.setAt(0, SlopeSectionElement::createSlope("F1", 4, 1.5));
    expectError(lib.setAt(1, edited), 1, Error::Success);
    EXPECT_EQ(lib.getAt(SlopeSectionFill, 1).getAt(0).getHeight(), 4.0);
    // Stored as a copy: later edits of the argument stay outside.
    edited.setName("elsewhere");
    EXPECT_EQ(lib.getAt(SlopeSectionFill, 1).getName(), "F1");
    // Renaming to a free name works and frees the old one.
    expectError(lib.setAt(0, make("G", SlopeSectionFill)), 0, Error::Success);
    expectError(lib.add(make("F0", SlopeSectionCut)), 1, Error::Success);

    // A template leaving the library may be edited through its handles again.
    SlopeSectionTemplateEditable held = make("H", SlopeSectionCut);
    lib.add(held);
    EXPECT_FALSE(TemplateAccess::fromTemplate(held));
    EXPECT_TRUE(lib.removeAt(SlopeSectionCut, 2));
    EXPECT_EQ(TemplateAccess::fromTemplate(held).memoryId(), held.memoryId());

    EXPECT_FALSE(lib.removeAt(SlopeSectionCut, 2));
    EXPECT_FALSE(lib.removeAt(static_cast<SlopeSectionType>(3), 0));
    EXPECT_EQ(lib.size(SlopeSectionCut), 2u);
    EXPECT_TRUE(lib.removeAt(SlopeSectionCut, 0));
    EXPECT_EQ(lib.size(SlopeSectionCut), 1u);
    EXPECT_EQ(lib.getAt(SlopeSectionCut, 0).getName(), "F0");
    EXPECT_FALSE(lib.getByName("C0"));
    expectError(lib.add(make("C0", SlopeSectionFill)), 2, Error::Success);
}

TEST(SlopeSectionTemplateLibrary, NamesAndLookups)
{
    SlopeSectionTemplateLibrary lib;
    EXPECT_EQ(lib.getAvailableName("Fill"), "Fill");
    lib.add(make("Fill", SlopeSectionFill));
    EXPECT_EQ(lib.getAvailableName("Fill"), "Fill_1");
    lib.add(make("Fill_1", SlopeSectionCut));
    EXPECT_EQ(lib.getAvailableName("Fill"), "Fill_2");
    lib.add(make("Fill_3", SlopeSectionFill));
    EXPECT_EQ(lib.getAvailableName("Fill"), "Fill_2");
    EXPECT_EQ(lib.getAvailableName(""), "");

    const SlopeSectionTemplate found = lib.getByName("Fill_1");
    EXPECT_EQ(found.getType(), SlopeSectionCut);
    EXPECT_FALSE(lib.getByName(SlopeSectionFill, "Fill_1"));
    EXPECT_TRUE(lib.getByName(SlopeSectionCut, "Fill_1"));
    EXPECT_FALSE(lib.getByName("fill"));
    EXPECT_FALSE(lib.getByName(static_cast<SlopeSectionType>(7), "Fill"));
    // A copy, not the stored template.
    EXPECT_NE(found.memoryId(), lib.getByName("Fill_1").memoryId());

    // Shared handles see one library.
    SlopeSectionTemplateLibrary other = lib;
    other.add(make("Z", SlopeSectionCut));
    EXPECT_TRUE(lib.getByName("Z"));
    EXPECT_TRUE(LibraryAccess(lib).isNameTaken("Z"));
    EXPECT_FALSE(LibraryAccess(lib).isNameTaken("Y"));
}

TEST(SlopeSectionTemplateLibrary, SaveAndLoad)
{
    SlopeSectionTemplateLibrary lib;
    lib.add(make("C", SlopeSectionCut, 3));
    lib.add(make("F", SlopeSectionFill, 1));
    lib.add(make("G", SlopeSectionFill, 2));

    tinyxml2::XMLDocument doc;
    ASSERT_EQ(
        doc.Parse("<SlopeSectionLibrary><old/><template><type>0</type></template></SlopeSectionLibrary>"),
        tinyxml2::XML_SUCCESS);
    const Node<SlopeSectionTemplateLibrary> node = nodeOf(doc.RootElement());
    LibraryAccess(lib).save(node);

    // Old children go; fill templates come before cut templates.
    std::vector<std::string> names;
    for (auto* c = doc.RootElement()->FirstChildElement(); c; c = c->NextSiblingElement()) {
        EXPECT_STREQ(c->Name(), "template");
        names.push_back(c->FirstChildElement("name")->GetText());
    }
    EXPECT_EQ(names, (std::vector<std::string> { "F", "G", "C" }));

    LibraryAccess back;
    back.load(node);
    EXPECT_TRUE(back.isAvailable());
    ASSERT_EQ(back.size(SlopeSectionFill), 2u);
    ASSERT_EQ(back.size(SlopeSectionCut), 1u);
    EXPECT_EQ(back.getAt(SlopeSectionFill, 1).getName(), "G");
    EXPECT_EQ(back.getAt(SlopeSectionFill, 1).getAt(0).getHeight(), 2.0);
    EXPECT_EQ(back.getAt(SlopeSectionCut, 0).getAt(0).getHeight(), 3.0);

    // Loaded templates belong to the library.
    EXPECT_FALSE(TemplateAccess::fromTemplate(back.getByName("C")));

    // Untyped templates are skipped, invalid ditches dropped, duplicate names kept, and a name shared
    // by fill and cut resolves to the cut template.
    tinyxml2::XMLDocument old;
    ASSERT_EQ(old.Parse("<SlopeSectionLibrary>"
                        "<template><name>untyped</name></template>"
                        "<template><type>0</type><name>X</name>"
                        "<element><type>2</type><name>d</name><inner_height>0.5</inner_height>"
                        "<bottom_width>0</bottom_width><outer_height>0.5</outer_height></element>"
                        "<element><type>0</type><name>s</name><height>2</height><ratio>1.5</ratio></element>"
                        "</template>"
                        "<template><type>1</type><name>X</name></template>"
                        "<template><type>6</type><name>odd</name></template>"
                        "</SlopeSectionLibrary>"),
              tinyxml2::XML_SUCCESS);
    LibraryAccess loaded;
    loaded.load(nodeOf(old.RootElement()));
    EXPECT_EQ(loaded.size(SlopeSectionFill), 1u);
    EXPECT_EQ(loaded.size(SlopeSectionCut), 1u);
    EXPECT_FALSE(loaded.getByName("untyped"));
    EXPECT_FALSE(loaded.getByName("odd"));
    EXPECT_EQ(loaded.getByName("X").getType(), SlopeSectionCut);
    const SlopeSectionTemplate fillX = loaded.getByName(SlopeSectionFill, "X");
    ASSERT_EQ(fillX.size(), 1u);
    EXPECT_EQ(fillX.getAt(0).getName(), "s");
}

namespace {

using Field = SlopeSectionElement::Field;
using Refusal = SlopeSectionElement::Refusal;
using Stored = SlopeSectionElement::StoredValues;

std::uint64_t bits(double v)
{
    std::uint64_t b = 0;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// Everything an element shows, bit for bit.
std::vector<std::uint64_t> look(const SlopeSectionElement& e)
{
    std::vector<std::uint64_t> seen { static_cast<std::uint64_t>(e.getType()),
                                      bits(e.getWidth()),
                                      bits(e.getHeight()),
                                      bits(e.getSlope().getPercentage()),
                                      bits(e.getSlope().getDenominator()),
                                      bits(e.getStartingPoint().getX()),
                                      bits(e.getStartingPoint().getY()) };
    for (double v : e.getParameters().values)
        seen.push_back(bits(v));
    for (const Pelko::Corvex::Point& p : e.getPoints()) {
        seen.push_back(bits(p.getX()));
        seen.push_back(bits(p.getY()));
    }
    return seen;
}

double& valueOf(Stored& v, Field field)
{
    switch (field) {
    case Field::Height:
        return v.height;
    case Field::Ratio:
        return v.ratio;
    case Field::Width:
        return v.width;
    case Field::Slope:
        return v.slope;
    case Field::InnerHeight:
        return v.innerHeight;
    case Field::InnerWidth:
        return v.innerWidth;
    case Field::BottomWidth:
        return v.bottomWidth;
    case Field::OuterHeight:
        return v.outerHeight;
    default:
        return v.outerWidth;
    }
}

struct Kind
{
    Stored base;
    std::vector<Field> fields;
};

// The values of one field the road file may not keep, and their neighbours it keeps.
const double edges[] = { 0.0,
                         -0.0,
                         5e-324,
                         0.000999,
                         0.001,
                         -0.001,
                         0.1,
                         1.0 / 3.0,
                         -2.75,
                         1e-300,
                         1e300,
                         1.51e308,
                         -1.51e308,
                         std::numeric_limits<double>::max(),
                         std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN() };

} // namespace

// One rule decides what the road file keeps: the reader drops exactly what it refuses, the library
// refuses templates that hold it, and whatever it accepts comes back from the file bit for bit, for
// every value of every kind of element, alone and against the largest values of the others.
TEST(SlopeSectionTemplateLibrary, KeepsExactlyWhatTheFileGivesBack)
{
    Stored surface;
    surface.name = "bank";
    surface.height = 4;
    surface.ratio = 1.5;
    Stored platform;
    platform.type = SlopeElementPlatform;
    platform.name = "berm";
    platform.width = 2;
    platform.slope = 4;
    Stored rect;
    rect.type = SlopeElementRectangularDitch;
    rect.name = "gutter";
    rect.innerHeight = 0.6;
    rect.bottomWidth = 0.4;
    rect.outerHeight = 0.8;
    Stored trapezoid = rect;
    trapezoid.type = SlopeElementTrapezoidDitch;
    trapezoid.innerWidth = 0.25;
    trapezoid.outerWidth = 1.25;
    const Kind kinds[] = {
        { surface, { Field::Height, Field::Ratio } },
        { platform, { Field::Width, Field::Slope } },
        { rect, { Field::InnerHeight, Field::BottomWidth, Field::OuterHeight } },
        { trapezoid,
          { Field::InnerHeight, Field::InnerWidth, Field::BottomWidth, Field::OuterWidth,
            Field::OuterHeight } },
    };

    std::vector<Stored> cases;
    for (const Kind& kind : kinds) {
        for (Field field : kind.fields) {
            for (double edge : edges) {
                Stored v = kind.base;
                valueOf(v, field) = edge;
                cases.push_back(v);
                // Against the largest value of each other field: products and sums that overflow.
                for (Field other : kind.fields) {
                    if (other == field)
                        continue;
                    Stored big = v;
                    valueOf(big, other) = std::numeric_limits<double>::max() / 3;
                    cases.push_back(big);
                }
            }
        }
    }
    Stored nul = surface;
    nul.name = std::string("ba\0nk", 5);
    cases.push_back(nul);

    int kept = 0;
    for (const Stored& v : cases) {
        const Refusal refusal = SlopeSectionElement::refusal(v);
        const SlopeSectionElement built = SlopeSectionElement::fromStoredValues(v);
        EXPECT_EQ(built.isValid(), !refusal);

        // The element as the file holds it, written as the writer writes values.
        tinyxml2::XMLDocument doc;
        ASSERT_EQ(doc.Parse("<SlopeSectionLibrary><template><type>0</type><name>T</name><element/>"
                            "</template></SlopeSectionLibrary>"),
                  tinyxml2::XML_SUCCESS);
        tinyxml2::XMLElement* element = doc.RootElement()->FirstChildElement()->FirstChildElement("element");
        const auto write = [element](const char* name, double value) {
            element->InsertNewChildElement(name)->SetText(internal::Xml::formatDouble(value).c_str());
        };
        element->InsertNewChildElement("type")->SetText(v.type);
        element->InsertNewChildElement("name")->SetText(v.name.c_str());
        write("height", v.height);
        write("ratio", v.ratio);
        write("width", v.width);
        write("slope", v.slope);
        write("inner_height", v.innerHeight);
        write("inner_width", v.innerWidth);
        write("bottom_width", v.bottomWidth);
        write("outer_height", v.outerHeight);
        write("outer_width", v.outerWidth);
        LibraryAccess read;
        read.load(nodeOf(doc.RootElement()));
        const SlopeSectionTemplate t = read.getByName("T");

        // Built with the factory alone, the element reaches the library only when accepted.
        SlopeSectionTemplateEditable holder("T", SlopeSectionFill);
        switch (v.type) {
        case SlopeElementSurface:
            holder.add(SlopeSectionElement::createSlope(v.name, v.height, v.ratio));
            break;
        case SlopeElementPlatform:
            holder.add(SlopeSectionElement::createPlatformBySlope(v.name, v.width, v.slope));
            break;
        case SlopeElementRectangularDitch:
            holder.add(
                SlopeSectionElement::createSideDitch(v.name, v.innerHeight, v.bottomWidth, v.outerHeight));
            break;
        default:
            holder.add(SlopeSectionElement::createSideDitch(v.name, v.innerHeight, v.innerWidth,
                                                            v.bottomWidth, v.outerHeight, v.outerWidth));
            break;
        }
        LibraryAccess library;
        const Error added = library.add(holder);

        const std::string what = "type " + std::to_string(v.type) + " field "
            + std::to_string(static_cast<int>(refusal.field)) + " reason " + std::to_string(refusal.reason);
        if (refusal.field == Field::Name) {
            // The file cannot even hold such a name: it would give back another.
            ASSERT_EQ(t.size(), 1u);
            EXPECT_NE(t.getAt(0).getName(), v.name);
            expectError(added, 0, Error::ElementNotKept);
            continue;
        }
        if (refusal) {
            EXPECT_EQ(t.size(), 0u) << what;
            expectError(added, 0, Error::ElementNotKept);
            continue;
        }
        ++kept;
        ASSERT_EQ(t.size(), 1u) << what;
        EXPECT_EQ(look(t.getAt(0)), look(built)) << what;
        ASSERT_EQ(added.code, Error::Success) << what;

        // Through the library's own writer and reader.
        tinyxml2::XMLDocument saved;
        saved.InsertEndChild(saved.NewElement("SlopeSectionLibrary"));
        library.save(nodeOf(saved.RootElement()));
        LibraryAccess back;
        back.load(nodeOf(saved.RootElement()));
        const SlopeSectionTemplate again = back.getByName("T");
        ASSERT_EQ(again.size(), 1u) << what;
        EXPECT_EQ(look(again.getAt(0)), look(holder.getAt(0))) << what;
        EXPECT_EQ(again.getAt(0).getName(), v.name) << what;
    }
    EXPECT_GT(kept, 50);

    // The example of a ratio that fits but a width that does not.
    Stored wide = surface;
    wide.ratio = 1.51e308;
    const Refusal tooWide = SlopeSectionElement::refusal(wide);
    EXPECT_EQ(tooWide.field, Field::Ratio);
    EXPECT_EQ(tooWide.reason, Refusal::TooLarge);
    Stored shallow = rect;
    shallow.bottomWidth = 0.0009;
    EXPECT_EQ(SlopeSectionElement::refusal(shallow).field, Field::BottomWidth);
    EXPECT_EQ(SlopeSectionElement::refusal(shallow).reason, Refusal::TooSmall);
    // A rectangular ditch keeps no face widths: whatever they hold does not matter.
    shallow.bottomWidth = 0.4;
    shallow.innerWidth = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(SlopeSectionElement::refusal(shallow));
    EXPECT_EQ(SlopeSectionElement::refusal(nul).field, Field::Name);

    // Elements the file would give back otherwise: placed ones, and one whose width its ratio only
    // nearly reproduces.
    SlopeSectionTemplateEditable placed("P", SlopeSectionFill);
    placed.add(SlopeSectionElement::createSlope("s", 2, 1.5)
                   .specialize(Pelko::Corvex::Point(1, 2), SlopeSectionFill, SlopeSideLeft));
    expectError(LibraryAccess().add(placed), 0, Error::ElementNotKept);
    const SlopeSectionElement nearly = SlopeSectionElement::createSlopeByWidthAndHeight("w", 0.7, 0.3);
    EXPECT_NE(bits(0.3 * (0.7 / 0.3)), bits(0.7));
    EXPECT_FALSE(nearly.isKeptByRoadFile());
    EXPECT_TRUE(SlopeSectionElement::createSlopeByWidthAndHeight("w", 3, 2).isKeptByRoadFile());
}

TEST(SlopeSectionTemplateLibrary, SetAtRefusesAnElementTheFileDrops)
{
    SlopeSectionTemplateLibrary lib;
    ASSERT_EQ(lib.add(make("F", SlopeSectionFill)).code, Error::Success);
    SlopeSectionTemplateEditable edited = lib.getAt(SlopeSectionFill, 0);
    edited.add(SlopeSectionElement::createSlope("wide", 4, 1.51e308));
    expectError(lib.setAt(0, edited), 1, Error::ElementNotKept);
    EXPECT_EQ(lib.getAt(SlopeSectionFill, 0).size(), 1u);
    edited.removeAt(1);
    edited.add(SlopeSectionElement::createSideDitch("dry", 0.5, 0.0, 0.5));
    expectError(lib.setAt(0, edited), 1, Error::ElementNotKept);
    EXPECT_EQ(lib.getAt(SlopeSectionFill, 0).size(), 1u);
}
