#include <road/internal/node.h>
#include <road/stationtable.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace Pelko::Road;

namespace {

std::string dataPath(const char *name)
{
    return std::string(TEST_DATA_DIR) + "/" + name;
}

// Reads a one-line file; the table after the read.
StationTable readText(const std::string &text, bool *ok = nullptr)
{
    const std::string path = ::testing::TempDir() + "road_stationtable.txt";
    std::ofstream(path, std::ios::binary) << text;
    StationTable table;
    const bool result = table.read(path);
    if (ok)
        *ok = result;
    std::remove(path.c_str());
    return table;
}

} // namespace

TEST(StationTable, AcceptedLines)
{
    const std::vector<std::pair<std::string, Station>> lines = {
        {"K12+345.6", Station(12345.6, false)},
        {"k12+345.6", Station(12345.6, false)},
        {"-K0+050", Station(-50, false)},
        {"250", Station(250, false)},
        {".5", Station(0.5, false)},
        {"7.", Station(7, false)},
        {"K1+200A", Station(1200, true)},
        {"1200.5a", Station(1200.5, true)},
        {"-7.25#", Station(-7.25, true)},
        {"K1+2345", Station(3345, false)},   // exactly four characters after '+'
        {"K0+100", Station(100, false)},
        {"K2.5+000", Station(2500, false)},
        {"  \"K0+100\"  ", Station(100, false)},
        {"'K0+100'", Station(100, false)},
        {"\"'7'\"", Station(7, false)},      // nested like quotes
        {"' 8 '", Station(8, false)},
        {"K0+00.5", Station(0.5, false)},    // five characters, the fourth is a point
        {"K0+1.5A", Station(1.5, true)},
    };
    for (const auto &line : lines) {
        bool ok = false;
        StationTable table = readText(line.first + "\n", &ok);
        ASSERT_TRUE(ok) << line.first;
        ASSERT_EQ(table.size(), 1u) << line.first;
        EXPECT_DOUBLE_EQ(table.getAt(0).getStation(), line.second.getStation()) << line.first;
        EXPECT_EQ(table.getAt(0).isAfter(), line.second.isAfter()) << line.first;
    }

    // Full double precision: single precision would give 45678.90234375.
    StationTable table = readText("K45+678.901");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_NEAR(table.getAt(0).getStation(), 45678.901, 1e-9);
    table = readText("123456.789");
    EXPECT_EQ(table.getAt(0).getStation(), 123456.789);
}

TEST(StationTable, RefusedLines)
{
    const std::vector<std::string> bad = {
        "K1+2",       // fewer than three characters after '+'
        "K1",         // no '+'
        "K1+23456",   // more than three whole-metre digits
        "K1+2345A",   // the same with a mark
        "K1+23.45",   // two whole-metre digits with a fraction
        "K+100",      // no kilometres
        "K1.2.3+100", // kilometres not a number
        "Kx+100",
        "K-1+100",
        "Kinf+100",
        "1.2.3",
        ".",
        "A",
        "-",
        "--5",
        "+5",
        "1e5",
        "1 2",
        "12,5",
        "0x10",
        "nan",
        "inf",
        "''",         // too short to lose its quotes
        "'5\"",       // unlike quotes
        "K1+100AB",   // one mark only
        std::string(400, '9'), // out of range
    };
    for (const std::string &line : bad) {
        bool ok = true;
        StationTable table = readText("K0+010\n" + line + "\nK0+020\n", &ok);
        EXPECT_FALSE(ok) << line;
        EXPECT_EQ(table.size(), 0u) << line;
    }
}

TEST(StationTable, ReadFiles)
{
    StationTable table;
    ASSERT_TRUE(table.read(dataPath("stations_good.txt")));
    const std::vector<double> expected = {12345.6, -50, 250, 1200, 100, 3345, 1200.5, -7.25, 45678.901};
    ASSERT_EQ(table.size(), expected.size());
    for (unsigned i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(table.getAt(i).getStation(), expected[i], 1e-9) << i;
    EXPECT_TRUE(table.getAt(3).isAfter());
    EXPECT_TRUE(table.getAt(6).isAfter());
    EXPECT_FALSE(table.getAt(0).isAfter());
    EXPECT_EQ(table.getAt(table.size()).getStation(), 0.0);
    EXPECT_FALSE(table.getAt(table.size()).isAfter());

    // A copy shares; a failed read empties the shared list.
    StationTable shared = table;
    StationTable copy = table.clone();
    EXPECT_FALSE(table.read(dataPath("stations_bad_third.txt")));
    EXPECT_EQ(shared.size(), 0u);
    EXPECT_FALSE(shared.isValid());
    EXPECT_EQ(copy.size(), expected.size());

    EXPECT_FALSE(copy.read(dataPath("stations_blank.txt")));
    EXPECT_EQ(copy.size(), 0u);
    ASSERT_TRUE(copy.read(dataPath("stations_good.txt")));
    EXPECT_FALSE(copy.read(dataPath("no_such_file.txt")));
    EXPECT_EQ(copy.size(), 0u);
    EXPECT_FALSE(copy.read(TEST_DATA_DIR));
}

TEST(StationTable, LoadAndSave)
{
    tinyxml2::XMLDocument doc;
    doc.Parse("<StationTable>"
              "<element><isAfter>1</isAfter><station>100.5</station></element>"
              "<element><station>nan</station></element>"
              "<element><isAfter>0</isAfter></element>"
              "<note/>"
              "<element><isAfter>7</isAfter><station>-20</station></element>"
              "<element><station>1e999</station></element>"
              "</StationTable>");
    internal::Node<StationTable> node(std::make_shared<internal::Xml::NodeImpl>(doc.RootElement(), 4, 0x04020000));
    StationTable table;
    table.load(node);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.getAt(0).getStation(), 100.5);
    EXPECT_TRUE(table.getAt(0).isAfter());
    EXPECT_TRUE(table.getAt(1).isAfter());

    ASSERT_TRUE(table.read(dataPath("stations_good.txt")));
    table.save(node);
    EXPECT_EQ(doc.RootElement()->FirstChildElement("note"), nullptr);
    StationTable back;
    back.load(node);
    ASSERT_EQ(back.size(), table.size());
    for (unsigned i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back.getAt(i).getStation(), table.getAt(i).getStation());
        EXPECT_EQ(back.getAt(i).isAfter(), table.getAt(i).isAfter());
    }
    back.clear();
    EXPECT_FALSE(back.isValid());
}
