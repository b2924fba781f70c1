#include <road/internal/node.h>
#include <road/internal/roadfile.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <tinyxml2.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace Pelko::Road::internal;
using Xml::NodeImpl;
using Xml::RoadFile;

namespace {

struct Part
{
};
struct Item
{
};

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
    const std::string path = ::testing::TempDir() + "road_node_" + name;
    std::remove(path.c_str());
    return path;
}

std::string copyToTemp(const char* dataName)
{
    const std::string path = tempPath(dataName);
    std::ofstream(path, std::ios::binary) << readAll(dataPath(dataName));
    return path;
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::vector<std::string> childNames(const tinyxml2::XMLElement* element)
{
    std::vector<std::string> names;
    for (auto* c = element->FirstChildElement(); c; c = c->NextSiblingElement())
        names.push_back(c->Name());
    return names;
}

// A stand-in for the user's locale: a comma as decimal separator and grouping of thousands.
struct CommaNumpunct : std::numpunct<char>
{
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

const std::vector<double>& trickyDoubles()
{
    static const std::vector<double> values = { 0.1,
                                                -0.0,
                                                1.0 / 3.0,
                                                4 * std::atan(1.0),
                                                123456789.123456789,
                                                1e-300,
                                                std::numeric_limits<double>::denorm_min(),
                                                std::numeric_limits<double>::min(),
                                                std::numeric_limits<double>::max(),
                                                -std::numeric_limits<double>::max(),
                                                std::numeric_limits<double>::infinity(),
                                                -std::numeric_limits<double>::infinity() };
    return values;
}

} // namespace

TEST(NodeNumbers, FormatsAndParsesExactly)
{
    EXPECT_EQ(Xml::formatDouble(0.1), "0.10000000000000001");
    EXPECT_EQ(Xml::formatDouble(1.25), "1.25");
    EXPECT_EQ(Xml::formatDouble(1e21), "1e+21");
    EXPECT_EQ(Xml::formatInt(67239936), "67239936");
    EXPECT_EQ(Xml::formatInt(std::numeric_limits<int>::min()), "-2147483648");

    for (double v : trickyDoubles()) {
        double back = 0.0;
        ASSERT_TRUE(Xml::parseDouble(Xml::formatDouble(v).c_str(), back)) << Xml::formatDouble(v);
        EXPECT_TRUE(sameBits(v, back)) << Xml::formatDouble(v);
    }
    double nan = 0.0;
    ASSERT_TRUE(Xml::parseDouble(Xml::formatDouble(std::nan("")).c_str(), nan));
    EXPECT_TRUE(std::isnan(nan));

    double d = 7.0;
    EXPECT_TRUE(Xml::parseDouble(" \n 2.5\t", d));
    EXPECT_EQ(d, 2.5);
    for (const char* bad : { "", "  ", "abc", "1.5x", "1,5", "1e999", "-1e999", "0x10", "1 2", "+" }) {
        d = 7.0;
        EXPECT_FALSE(Xml::parseDouble(bad, d)) << bad;
        EXPECT_EQ(d, 7.0);
    }
    EXPECT_FALSE(Xml::parseDouble(nullptr, d));

    int i = 5;
    EXPECT_TRUE(Xml::parseInt(" -42 ", i));
    EXPECT_EQ(i, -42);
    for (const char* bad : { "", "abc", "12abc", "1.5", "99999999999", "0x10" }) {
        i = 5;
        EXPECT_FALSE(Xml::parseInt(bad, i)) << bad;
        EXPECT_EQ(i, 5);
    }
}

TEST(NodeNumbers, IgnoreTheProcessLocale)
{
    const std::locale previousGlobal
        = std::locale::global(std::locale(std::locale::classic(), new CommaNumpunct));
    EXPECT_EQ(Xml::formatDouble(0.1), "0.10000000000000001");
    EXPECT_EQ(Xml::formatInt(1234567), "1234567");
    std::locale::global(previousGlobal);

    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* commaLocale = nullptr;
    for (const char* name : { "de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "ru_RU.UTF-8" }) {
        if (std::setlocale(LC_ALL, name)) {
            commaLocale = name;
            break;
        }
    }
    if (!commaLocale)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(Xml::formatDouble(0.1), "0.10000000000000001");
    double d = 0.0;
    EXPECT_TRUE(Xml::parseDouble("0.10000000000000001", d));
    EXPECT_EQ(d, 0.1);
    EXPECT_FALSE(Xml::parseDouble("0,5", d));

    const std::string path = tempPath("locale.rod");
    {
        RoadFile file(path);
        file.open(true);
        file.setPivotOffset(0.1);
        ASSERT_TRUE(file.save());
    }
    EXPECT_NE(readAll(path).find("<PivotOffset>0.10000000000000001</PivotOffset>"), std::string::npos);
    RoadFile file(path);
    file.open(false);
    EXPECT_EQ(file.getPivotOffset(), 0.1);
    std::setlocale(LC_ALL, previous.c_str());
}

namespace {

// What parseDouble and parseInt promised before plain numbers got a path of their own: blanks
// trimmed, then from_chars over the whole rest.
template<typename T> bool fromCharsParse(const std::string& text, T& value)
{
    const char* blanks = " \t\n\r\f\v";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return false;
    const std::size_t last = text.find_last_not_of(blanks) + 1;
    T parsed = 0;
    const auto result = std::from_chars(text.data() + first, text.data() + last, parsed);
    if (result.ec != std::errc() || result.ptr != text.data() + last)
        return false;
    value = parsed;
    return true;
}

} // namespace

// Plain decimals (most numbers of a road file) are turned into doubles by a division of their own:
// every text must read as from_chars reads it, bit for bit, or be refused as it refuses it.
TEST(NodeNumbers, PlainDecimalsReadAsFromCharsReadsThem)
{
    std::vector<std::string> texts = { "0", "-0", "0.0", "-0.000", "00012.50", "1", "-1", "100", "0.002",
                                       "0.25", "100.00000000000001", "0.83318453355716793",
                                       "0.29999999999999999", "9007199254740992", "9007199254740993",
                                       "9007199254740995", "18014398509481986", "9999999999999999999",
                                       "18446744073709551615", "18446744073709551616", "99999999999999999999",
                                       "0.1", "0.3", "123456789.123456789", "1.7976931348623157",
                                       "0.000000000000000000000000001", "0.0000000000000000000000000001",
                                       "0.1000000000000000055511151231257827", " \n 2.5\t", "1.", ".5", "-.5",
                                       "-", ".", "1..5", "1.5.", "--1", "- 1", "1 .5", "+1", "1e5", "1E-5",
                                       "0x10", "inf", "nan", "1,5", "12a", "", " " };
    std::mt19937_64 random(34);
    std::uniform_int_distribution<int> digitCount(1, 22);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> coin(0, 1);
    for (int i = 0; i < 200000; ++i) {
        // Random digits with the point anywhere, leading zeros included.
        std::string text = coin(random) ? "-" : "";
        const int count = digitCount(random);
        const int point = std::uniform_int_distribution<int>(0, count)(random);
        for (int k = 0; k < count; ++k) {
            if (k == point && k > 0)
                text += '.';
            text += char('0' + digit(random));
        }
        texts.push_back(text);
    }
    std::uniform_real_distribution<double> plane(-2e6, 2e6);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int i = 0; i < 100000; ++i) {
        // Numbers as the road file writes them, and with fewer digits.
        char buffer[64];
        const double values[] = { plane(random), plane(random) * 1e-6 };
        for (double v : values) {
            for (int precision : { 17, 16, 15, 19 }) {
                auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, precision);
                texts.emplace_back(buffer, r.ptr);
            }
            auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed,
                                   std::uniform_int_distribution<int>(0, 20)(random));
            texts.emplace_back(buffer, r.ptr);
        }
        // Any double at all, exponents included.
        std::uint64_t pattern = bits(random);
        double any;
        std::memcpy(&any, &pattern, sizeof any);
        texts.push_back(Xml::formatDouble(any));
    }
    // Halfway between two doubles in the 64-bit quotient: the whole numbers between 2^53 and 2^64 that
    // lie midway, with the point moved through them.
    for (int e = 53; e < 64; ++e) {
        const std::uint64_t spacing = std::uint64_t(1) << (e - 52);
        for (std::uint64_t j : { 0, 1, 12345 }) {
            const std::string digits = std::to_string((std::uint64_t(1) << e) + spacing / 2 + j * spacing);
            for (std::size_t point = 1; point <= digits.size(); ++point)
                texts.push_back(digits.substr(0, point) + (point < digits.size() ? "." + digits.substr(point) : ""));
        }
    }
    for (const std::string& text : texts) {
        double ours = 7.0;
        double reference = 7.0;
        const bool read = Xml::parseDouble(text.c_str(), ours);
        ASSERT_EQ(read, fromCharsParse(text, reference)) << '"' << text << '"';
        ASSERT_TRUE(sameBits(ours, reference)) << '"' << text << '"';
    }
}

// Short whole numbers have a path of their own too: every text reads as from_chars reads it, or is
// refused as it refuses it.
TEST(NodeNumbers, PlainWholeNumbersReadAsFromCharsReadsThem)
{
    std::vector<std::string> texts = { "0", "-0", "7", "-7", " 12 ", "\t-3\n", "999999999", "-999999999",
                                       "1000000000", "2147483647", "2147483648", "-2147483648", "-2147483649",
                                       "0000000001", "000000000000012", "+1", "--1", "- 1", "1 2", "1.0", "1e3",
                                       "0x10", "", " ", "-", "12a", "a12" };
    std::mt19937_64 random(34);
    std::uniform_int_distribution<int> digitCount(1, 12);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> coin(0, 3);
    for (int i = 0; i < 100000; ++i) {
        std::string text = coin(random) == 0 ? " " : "";
        text += coin(random) == 0 ? "-" : "";
        for (int k = digitCount(random); k > 0; --k)
            text += char('0' + digit(random));
        text += coin(random) == 0 ? "\n" : "";
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        int ours = 5;
        int reference = 5;
        ASSERT_EQ(Xml::parseInt(text.c_str(), ours), fromCharsParse(text, reference)) << '"' << text << '"';
        ASSERT_EQ(ours, reference) << '"' << text << '"';
    }
}

TEST(NodeImpl, ValueChildren)
{
    tinyxml2::XMLDocument doc;
    doc.Parse("<Road><a>12</a><b>abc</b><c> 2.5 </c><a>99</a><s>text</s><e/></Road>");
    auto impl = std::make_shared<NodeImpl>(doc.RootElement(), 3, 7);
    Node<Part> node(impl);
    EXPECT_EQ(node.getName(), "Road");

    // The first child of a name wins; unreadable or missing text gives the default.
    EXPECT_EQ(node.getInt("a", -1), 12);
    EXPECT_EQ(node.getInt("b", -1), -1);
    EXPECT_EQ(node.getInt("missing", -1), -1);
    EXPECT_EQ(node.getInt("", -1), -1);
    EXPECT_EQ(node.getDouble("c", -1.0), 2.5);
    EXPECT_EQ(node.getDouble("b", -1.0), -1.0);
    EXPECT_EQ(node.getString("s", "x"), "text");
    EXPECT_EQ(node.getString("e", "x"), "x");
    EXPECT_EQ(node.getString("missing", "x"), "x");

    // Setting keeps the child in place; a missing child goes to the end.
    node.setDouble("a", 0.1);
    node.setInt("n", 5);
    node.setString("s", "a<b & \"c\"");
    EXPECT_EQ(childNames(doc.RootElement()),
              (std::vector<std::string> { "a", "b", "c", "a", "s", "e", "n" }));
    EXPECT_STREQ(doc.RootElement()->FirstChildElement("a")->GetText(), "0.10000000000000001");
    EXPECT_EQ(node.getDouble("a", 0.0), 0.1);
    EXPECT_EQ(node.getInt("n", 0), 5);
    EXPECT_EQ(node.getString("s", ""), "a<b & \"c\"");

    // A value child with children of its own is emptied before it is refilled.
    doc.Parse("<Road><v><x>1</x><y>2</y></v></Road>");
    node.reset(std::make_shared<NodeImpl>(doc.RootElement(), 0, 0));
    node.setInt("v", 3);
    EXPECT_EQ(doc.RootElement()->FirstChildElement("v")->FirstChildElement(), nullptr);
    EXPECT_EQ(node.getInt("v", 0), 3);

    // Names that would make the file unreadable are refused.
    node.setInt("", 1);
    node.setInt("bad name", 1);
    node.setInt("1x", 1);
    EXPECT_TRUE(node.appendChild("<x>").isEmpty());
    EXPECT_EQ(childNames(doc.RootElement()).size(), 1u);
}

// Loaders read many values of one element through values(): it must read exactly what the getters read,
// whatever order the names come in and however the children are ordered, repeated or interleaved.
TEST(NodeImpl, ValuesReadWhatTheGettersRead)
{
    std::string many = "<Road>";
    for (int i = 0; i < 30; ++i)
        many += "<v" + std::to_string(i % 27) + ">" + std::to_string(i) + ".5</v" + std::to_string(i % 27)
            + ">";
    many += "<late>7</late><v3>8</v3></Road>";
    const std::string sources[] = {
        "<Road><a>12</a><b>abc</b><c> 2.5 </c><a>99</a><s>text</s><e/><x1>1e3</x1><x>-0</x></Road>",
        "<Road><!--note-->text<a>1</a><a>2</a><ab>3</ab><b><a>4</a></b><c><![CDATA[5.25]]></c></Road>",
        "<Road><n>1e999</n><m>0x10</m><i>2147483648</i><j> -7 </j><k>7.0</k><t>nan</t><u>inf</u></Road>",
        many,
    };
    const std::vector<const char*> names = { "a", "b", "c",  "e",  "s",  "x1",  "x",    "ab", "n",
                                             "m", "i", "j",  "k",  "t",  "u",   "v0",   "v2", "v3",
                                             "v5", "v26", "late", "", "zz", "A", "v", "v30" };
    std::vector<std::vector<const char*>> lists = { std::vector<const char*>(names.begin(), names.begin() + 24),
                                                    std::vector<const char*>(names.begin() + 2, names.end()),
                                                    std::vector<const char*>(names.rbegin(), names.rbegin() + 24),
                                                    { "v26", "v3", "late", "v0" },
                                                    { "zz" },
                                                    {} };
    for (const std::string& source : sources) {
        SCOPED_TRACE(source);
        tinyxml2::XMLDocument doc;
        ASSERT_EQ(doc.Parse(source.c_str()), tinyxml2::XML_SUCCESS);
        Node<Part> node(std::make_shared<NodeImpl>(doc.RootElement(), 0, 0));
        for (const std::vector<const char*>& list : lists) {
            const Xml::ValueChildren values = node.impl()->values(list.data(), unsigned(list.size()));
            for (unsigned i = 0; i < list.size(); ++i) {
                EXPECT_EQ(values.getInt(i, -3), node.getInt(list[i], -3)) << list[i];
                EXPECT_TRUE(sameBits(values.getDouble(i, -3.5), node.getDouble(list[i], -3.5))) << list[i];
            }
            // Places past the list read as missing.
            EXPECT_EQ(values.getInt(unsigned(list.size()), -3), -3);
        }
    }

    // Names past the most one walk serves read as missing.
    tinyxml2::XMLDocument doc;
    doc.Parse(many.c_str());
    const Xml::ValueChildren capped = NodeImpl(doc.RootElement(), 0, 0).values(names.data(), unsigned(names.size()));
    EXPECT_EQ(capped.getDouble(19, 0.0), 26.5);
    EXPECT_EQ(capped.getInt(24, -1), -1);

    // Children removed for reuse and not taken back are gone for values() as for the getters.
    static const char* const abc[] = { "a", "b", "c" };
    for (bool throughValues : { true, false }) {
        tinyxml2::XMLDocument doc;
        doc.Parse("<Road><a>1</a><b>2</b><c>3</c></Road>");
        Node<Part> node(std::make_shared<NodeImpl>(doc.RootElement(), 0, 0, true));
        node.removeChildren();
        node.setInt("b", 5);
        if (throughValues) {
            const Xml::ValueChildren values = node.values(abc);
            EXPECT_EQ(values.getInt(0, -1), -1);
            EXPECT_EQ(values.getInt(1, -1), 5);
            EXPECT_EQ(values.getInt(2, -1), -1);
        } else {
            EXPECT_EQ(node.getInt("a", -1), -1);
            EXPECT_EQ(node.getInt("b", -1), 5);
            EXPECT_EQ(node.getInt("c", -1), -1);
        }
        EXPECT_EQ(childNames(doc.RootElement()), (std::vector<std::string> { "b" }));
    }

    // A missing node reads every value as its default.
    const Xml::ValueChildren none = Node<Part>().values(abc);
    EXPECT_EQ(none.getInt(0, 4), 4);
    EXPECT_EQ(none.getDouble(0, 4.5), 4.5);
}

TEST(NodeImpl, ChildrenIterationAndVersions)
{
    tinyxml2::XMLDocument doc;
    doc.Parse("<Part><count>3</count><element><v>1</v></element><other/><element><v>2</v></element>"
              "<template/><element><v>3</v></element></Part>");
    Node<Part> part(std::make_shared<NodeImpl>(doc.RootElement(), 4, 67239936));

    // The list idiom: interleaved children of other names are skipped.
    std::vector<int> values;
    for (Node<Item> item = part.firstChild<Item>("element"); item; item.reset(item.nextSibling())) {
        EXPECT_EQ(item.getVersion(), 4);
        EXPECT_EQ(item.getFullVersion(), 67239936);
        values.push_back(item.getInt("v", 0));
    }
    EXPECT_EQ(values, (std::vector<int> { 1, 2, 3 }));
    EXPECT_TRUE(part.firstChild("nothing").isEmpty());

    // The loaders' in-place step walks the same list; a copy taken on the way keeps its own place
    // (copies share their NodeImpl, which must not move under them).
    values.clear();
    std::vector<int> kept;
    for (Node<Item> item = part.firstChild<Item>("element"); item; item.toNextSibling()) {
        values.push_back(item.getInt("v", 0));
        if (values.size() == 2) {
            const Node<Item> copy = item;
            item.toNextSibling();
            kept.push_back(copy.getInt("v", 0));
            kept.push_back(item.getInt("v", 0));
            item = copy;
        }
    }
    EXPECT_EQ(values, (std::vector<int> { 1, 2, 3 }));
    EXPECT_EQ(kept, (std::vector<int> { 2, 3 }));
    Node<Item> last = part.firstChild<Item>("template");
    last.toNextSibling();
    EXPECT_TRUE(last.isEmpty());

    // cast shares the same element; appended children carry the versions and go last.
    Node<Item> same = part.cast<Item>();
    EXPECT_EQ(same.impl(), part.impl());
    Node<Item> added = same.appendChild("element");
    added.setInt("v", 4);
    EXPECT_EQ(added.getFullVersion(), 67239936);
    EXPECT_EQ(childNames(doc.RootElement()).back(), "element");

    part.removeChildren("element");
    EXPECT_EQ(childNames(doc.RootElement()), (std::vector<std::string> { "count", "other", "template" }));
    part.removeChildren();
    EXPECT_EQ(doc.RootElement()->FirstChild(), nullptr);

    // Everything on an empty node is a no-op with defaults.
    Node<Part> empty;
    EXPECT_FALSE(empty);
    EXPECT_EQ(empty.getName(), "");
    EXPECT_EQ(empty.getVersion(), 0);
    EXPECT_EQ(empty.getInt("a", 9), 9);
    EXPECT_EQ(empty.getDouble("a", 9.5), 9.5);
    empty.setInt("a", 1);
    empty.removeChildren();
    EXPECT_TRUE(empty.appendChild("a").isEmpty());
    EXPECT_TRUE(empty.firstChild("a").isEmpty());
    EXPECT_TRUE(empty.nextSibling().isEmpty());
    empty.toNextSibling();
    EXPECT_TRUE(empty.isEmpty());
}

namespace {

std::string printed(const tinyxml2::XMLDocument& doc)
{
    tinyxml2::XMLPrinter printer;
    doc.Print(&printer);
    return printer.CStr();
}

// Rewrites the root as a part's save does, with reads in between when asked (a read settles the
// element it looks into); records what the reads give.
std::vector<std::string> rewrite(Node<Part> root, bool read = true)
{
    std::vector<std::string> seen;
    root.removeChildren();
    if (read)
        seen.push_back(root.getString("a", "-"));
    root.setInt("a", 1);
    root.setString("b", "");
    auto first = root.appendChild<Item>("e");
    first.setInt("a", 1);
    first.setDouble("b", 0.5);
    root.appendChild("e");
    auto twice = root.appendChild<Item>("e");
    twice.removeChildren();
    twice.setString("a", "x");
    twice.setString("a", "y & z");
    root.setInt("a", 2);
    auto outer = root.appendChild<Item>("e");
    outer.appendChild("e").setInt("c", 3);
    outer.removeChildren();
    outer.setInt("z", 4);
    if (read)
        seen.push_back(root.getString("a", "-"));
    root.appendChild("f").setString("a", "1");
    if (read)
        root.removeChildren("f");
    root.appendChild("g").setInt("a", 5);
    if (read) {
        for (auto e = root.firstChild<Item>("e"); e; e.reset(e.nextSibling()))
            seen.push_back(e.getString("a", "-"));
    }
    root.appendChild("e").setInt("last", 6);
    return seen;
}

} // namespace

// Children removed for reuse and taken back give the very document that deleting them at once gives,
// whatever the old children were: other names and order, attributes, comments, CDATA, mixed text.
TEST(NodeImpl, ReusedChildrenGiveTheSameDocument)
{
    const char* sources[] = {
        "<Road/>",
        "<Road><a>1</a><b>2</b><e><a>1</a><b>0.5</b></e><e/><e><a>y &amp; z</a></e></Road>",
        "<Road><b>2</b><a>1</a><e><b>0.5</b><a>1</a></e></Road>",
        "<Road><a "
        "x=\"1\">1</a><e><a>1</a><b/></e><e>old</e><!--note--><e><a>5</a><z>9</z></e><k>7</k></Road>",
        "<Road><a><![CDATA[1]]></a><e>text<a>1</a></e><a>2</a><e><e><c>3</c></e><z>4</z></e></Road>",
        "<Road><a>1</a><b/><e><a>1</a><b>0.5</b><c>3</c></e><e><a>1</a></e><e><a>x</a><a>y</a></e>"
        "<e><e><c>3</c></e></e><g><a>5</a></g><e><last>6</last></e><e><last>6</last></e></Road>",
    };
    for (const char* source : sources) {
        for (bool read : { true, false }) {
            SCOPED_TRACE(std::string(source) + (read ? " with reads" : ""));
            tinyxml2::XMLDocument deleted;
            tinyxml2::XMLDocument reused;
            ASSERT_EQ(deleted.Parse(source), tinyxml2::XML_SUCCESS);
            ASSERT_EQ(reused.Parse(source), tinyxml2::XML_SUCCESS);
            const auto seenDeleted
                = rewrite(Node<Part>(std::make_shared<NodeImpl>(deleted.RootElement(), 4, 0)), read);
            const auto seenReused
                = rewrite(Node<Part>(std::make_shared<NodeImpl>(reused.RootElement(), 4, 0, true)), read);
            EXPECT_EQ(seenReused, seenDeleted);
            NodeImpl::settleTree(reused.RootElement());
            EXPECT_EQ(printed(reused), printed(deleted));
            // Rewriting the result again, without reads, takes its children back.
            const tinyxml2::XMLElement* kept = reused.RootElement()->FirstChildElement("e");
            rewrite(Node<Part>(std::make_shared<NodeImpl>(deleted.RootElement(), 4, 0)), false);
            rewrite(Node<Part>(std::make_shared<NodeImpl>(reused.RootElement(), 4, 0, true)), false);
            NodeImpl::settleTree(reused.RootElement());
            EXPECT_EQ(printed(reused), printed(deleted));
            EXPECT_EQ(reused.RootElement()->FirstChildElement("e"), kept);
        }
    }
}

TEST(RoadFile, OpenReadsVersions)
{
    {
        RoadFile file(dataPath("node_v3.rod"));
        file.open(false);
        EXPECT_EQ(file.getVersion(), 3);
        EXPECT_EQ(file.getPivotType(), 2);
        EXPECT_EQ(file.getPivotOffset(), 1.25);
        // FullVersion defaults to Version, which is below the library's version.
        EXPECT_EQ(file.getStationsEquation().getFullVersion(), 3);
        EXPECT_TRUE(file.getSlopeSectionLibrary().isEmpty());
        auto equation = file.getStationsEquation().firstChild("equation");
        EXPECT_EQ(equation.getDouble("after", 0.0), 1200.0);
    }
    {
        RoadFile file(dataPath("node_noversion.rod"));
        file.open(false);
        EXPECT_TRUE(file.hasDocument());
        EXPECT_EQ(file.getVersion(), 0);
        EXPECT_EQ(file.getPivotOffset(), 0.0);
        EXPECT_EQ(file.getHorizontalAlignment().getFullVersion(), 0);
        EXPECT_TRUE(file.getSlopeSectionLibrary().isEmpty());
    }
    {
        RoadFile file(dataPath("node_fullversion_4010000.rod"));
        file.open(false);
        EXPECT_FALSE(file.getSlopeSectionLibrary().isEmpty());
    }
    {
        RoadFile file(dataPath("node_fullversion_below.rod"));
        file.open(false);
        EXPECT_TRUE(file.getSlopeSectionLibrary().isEmpty());
    }
    // Missing, malformed, non-road and non-file paths leave the object without a document.
    for (const std::string& path :
         { dataPath("missing.rod"), dataPath("node_truncated.rod"), dataPath("node_not_road.xml"),
           std::string(TEST_DATA_DIR), std::string() }) {
        RoadFile file(path);
        file.open(false);
        EXPECT_FALSE(file.hasDocument()) << path;
        EXPECT_EQ(file.getVersion(), 0);
        EXPECT_TRUE(file.getStationTable().isEmpty());
        EXPECT_TRUE(file.getSection("Anything").get() == nullptr);
        file.setPivotType(3);
        EXPECT_EQ(file.getPivotType(), 0);
        EXPECT_FALSE(file.save());
    }
}

TEST(RoadFile, CreateKeepsForeignChildrenInPlace)
{
    const std::string path = copyToTemp("node_v3.rod");
    {
        RoadFile file(path);
        file.open(true);
        EXPECT_EQ(file.getVersion(), 4);
        EXPECT_FALSE(file.getSlopeSectionLibrary().isEmpty());
        file.setPivotType(5);
        auto table = file.getStationTable();
        table.removeChildren();
        table.appendChild("element").setDouble("station", 12.5);
        ASSERT_TRUE(file.save());
    }
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.LoadFile(path.c_str()), tinyxml2::XML_SUCCESS);
    EXPECT_EQ(
        childNames(doc.RootElement()),
        (std::vector<std::string> { "Comment", "Version", "PivotType", "PivotOffset", "StationsEquation",
                                    "SlopeSectionLibrary", "Unknown", "FullVersion", "StationTable" }));
    EXPECT_STREQ(doc.RootElement()->FirstChildElement("Version")->GetText(), "4");
    EXPECT_STREQ(doc.RootElement()->FirstChildElement("FullVersion")->GetText(), "67239936");
    EXPECT_STREQ(doc.RootElement()->FirstChildElement("Unknown")->GetText(), "survives");

    RoadFile file(path);
    file.open(false);
    EXPECT_EQ(file.getVersion(), 4);
    EXPECT_EQ(file.getPivotType(), 5);
    EXPECT_EQ(file.getStationTable().firstChild("element").getDouble("station", 0.0), 12.5);
}

TEST(RoadFile, CreateNewAndRefuseForeignFiles)
{
    const std::string path = tempPath("new.rod");
    {
        RoadFile file(path);
        file.open(true);
        EXPECT_EQ(file.getVersion(), 4);
        // Written at once, before any part is added.
        const std::string text = readAll(path);
        EXPECT_EQ(text.rfind("<Road>", 0), 0u) << "no XML declaration";
        tinyxml2::XMLDocument doc;
        ASSERT_EQ(doc.Parse(text.c_str()), tinyxml2::XML_SUCCESS);
        EXPECT_EQ(childNames(doc.RootElement()), (std::vector<std::string> { "Version", "FullVersion" }));
        EXPECT_STREQ(doc.RootElement()->FirstChildElement("FullVersion")->GetText(), "67239936");
    }

    // A well-formed file of another kind is never overwritten.
    const std::string foreign = copyToTemp("node_not_road.xml");
    const std::string before = readAll(foreign);
    RoadFile file(foreign);
    file.open(true);
    EXPECT_FALSE(file.hasDocument());
    EXPECT_FALSE(file.save());
    EXPECT_EQ(readAll(foreign), before);

    // An unreadable file is kept as it is until the final save replaces it.
    const std::string broken = copyToTemp("node_truncated.rod");
    const std::string brokenBefore = readAll(broken);
    {
        RoadFile file(broken);
        file.open(true);
        ASSERT_TRUE(file.hasDocument());
        EXPECT_EQ(readAll(broken), brokenBefore);
        ASSERT_TRUE(file.save());
        tinyxml2::XMLDocument doc;
        ASSERT_EQ(doc.LoadFile(broken.c_str()), tinyxml2::XML_SUCCESS);
        EXPECT_EQ(childNames(doc.RootElement()), (std::vector<std::string> { "Version", "FullVersion" }));
    }

    // A folder that does not exist: nothing is created and save reports the failure.
    RoadFile nowhere(::testing::TempDir() + "no/such/folder/road.rod");
    nowhere.open(true);
    EXPECT_FALSE(nowhere.hasDocument());
    EXPECT_FALSE(nowhere.save());
}

TEST(RoadFile, SavingKeepsThePermissionsOfTheReplacedFile)
{
    const std::string path = copyToTemp("node_v3.rod");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    RoadFile file(path);
    file.open(true);
    ASSERT_TRUE(file.save());
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(RoadFile, DoublesSurviveSaveAndLoadBitForBit)
{
    const std::string path = tempPath("roundtrip.rod");
    {
        RoadFile file(path);
        file.open(true);
        auto part = file.getSection<Part>("VerticalAlignment");
        for (double v : trickyDoubles())
            part.appendChild<Item>("element").setDouble("value", v);
        part.setString("name", "  spaced  name  ");
        file.setPivotOffset(-0.30000000000000004);
        ASSERT_TRUE(file.save());
    }
    RoadFile file(path);
    file.open(false);
    EXPECT_TRUE(sameBits(file.getPivotOffset(), -0.30000000000000004));
    auto part = file.getSection<Part>("VerticalAlignment");
    EXPECT_EQ(part.getString("name", ""), "  spaced  name  ");
    size_t i = 0;
    for (auto item = part.firstChild<Item>("element"); item; item.reset(item.nextSibling()), ++i) {
        ASSERT_LT(i, trickyDoubles().size());
        EXPECT_TRUE(sameBits(item.getDouble("value", 42.0), trickyDoubles()[i])) << i;
    }
    EXPECT_EQ(i, trickyDoubles().size());

    // Saving again over the same file gives the same bytes.
    const std::string first = readAll(path);
    ASSERT_TRUE(file.save());
    EXPECT_EQ(readAll(path), first);
}
