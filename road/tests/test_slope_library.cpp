#include <road/internal/node.h>
#include <road/slopesectiontemplatelibrary.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

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
