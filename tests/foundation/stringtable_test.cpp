// TStringTable: scanning spreadsheet files, the start-up load order, placeholders, the test mode
// and the movie player's labels.
#include "foundation/prefs/stringtable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "filefixture.h"
#include "support/printers.h"
#include "support/zxmlwriter.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

// A spreadsheet document as the spreadsheet program saves it, one row per entry of rows, each
// cell's text given as it stands in the file.
std::string Sheet(const Rows& rows) {
    std::string out =
        "<?xml version=\"1.0\"?>\n<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\">"
        "\n <Worksheet ss:Name=\"Strings\">\n  <Table ss:ExpandedColumnCount=\"2\">\n"
        "   <Row>\n    <Cell><Data ss:Type=\"String\">Label</Data></Cell>\n"
        "    <Cell><Data ss:Type=\"String\">English</Data></Cell>\n   </Row>\n";
    for (const auto& row : rows) {
        out += "   <Row ss:AutoFitHeight=\"0\">\n";
        for (const std::string& cell : row)
            out += "    <Cell><Data ss:Type=\"String\">" + cell + "</Data></Cell>\n";
        out += "   </Row>\n";
    }
    return out + "  </Table>\n </Worksheet>\n</Workbook>\n";
}

class StringTableTest : public FileLayerTest {
protected:
    void LoadRows(const Rows& rows) {
        const std::string sheet = Sheet(rows);
        mTable.LoadText(sheet.data(), sheet.size());
    }

    TStringTable mTable;
};

TEST_F(StringTableTest, RowsGiveLabelsAndTexts) {
    LoadRows({{"GREETING", "Hello &amp; welcome, caf&#233;"},
              {"NO_TEXT"},
              {"MARKUP", "<Font>bold</Font> rest"},
              {"&lt;ODD&gt;", "  spaced  "}});
    EXPECT_EQ(mTable.GetCount(), 5u);
    // The spreadsheet's header row is an entry like any other.
    EXPECT_EQ(mTable.GetString("Label"), str("English"));
    EXPECT_EQ(mTable.GetString("GREETING"), str("Hello & welcome, caf\xE9"));
    // Only the first run of characters of a cell counts.
    EXPECT_EQ(mTable.GetString("MARKUP"), str(""));
    EXPECT_EQ(mTable.GetString("<ODD>"), str("  spaced  "));
    EXPECT_EQ(mTable.GetString("NO_TEXT"), str(""));
    EXPECT_EQ(LogText().find("#####"), std::string::npos);
}

TEST_F(StringTableTest, ScanStaysInsideTheData) {
    struct Case {
        std::string text;
        size_t entries;
    };
    const Case cases[] = {
        {"<Row><Data", 0},
        {"<Row><Data>", 1},
        {"<Row><Data>abc", 1},
        {"<Row><Data>abc</Data><Data", 1},
        {"<Row><Data>abc</Data><Data>def", 1},
        {"<Row></Row><Row><Data>a<", 1},
        {"<Row><Row><Data>x</Data>", 1},
        {"<Ro", 0},
        {"<Row>", 0},
        {std::string("<Row><Data>a\0b</Data>", 21), 1},
    };
    for (const Case& c : cases) {
        TStringTable table;
        // An exact-size copy, so a read past the end shows under the address sanitizer.
        std::unique_ptr<char[]> copy(new char[c.text.size()]);
        std::memcpy(copy.get(), c.text.data(), c.text.size());
        table.LoadText(copy.get(), c.text.size());
        EXPECT_EQ(table.GetCount(), c.entries) << c.text;
    }
    TStringTable table;
    const std::string unclosed = "<Row><Data>label</Data><Data>text without end";
    table.LoadText(unclosed.data(), unclosed.size());
    EXPECT_EQ(table.GetString("label"), str("text without end"));
}

TEST_F(StringTableTest, Placeholders) {
    LoadRows({{"SCORE", "You scored %1% points"},
              {"OTHER", "other %1% text"},
              {"REF", "see %OTHER%!"},
              {"PERCENT", "100%%"},
              {"SIXTH", "x %6% y"},
              {"ZERO", "x %0% y"},
              {"LEADING", "%01%"},
              {"MANY_ZEROS", "%0000000000002%"},
              {"HUGE", "%99999999999999999999%"},
              {"MISSING_REF", "a %NOPE% b"},
              {"ARG", "[%1%]"}});
    struct Case {
        const char* label;
        std::vector<std::string> args;
        const char* result;
    };
    const Case cases[] = {
        {"SCORE", {"250"}, "You scored 250 points"},
        {"SCORE", {}, "You scored  points"},
        {"REF", {}, "see other %1% text!"},
        {"PERCENT", {}, "100%"},
        {"SIXTH", {"a", "b", "c", "d", "e"}, "#####"},
        {"ZERO", {"a"}, "#####"},
        {"LEADING", {"first"}, "first"},
        {"MANY_ZEROS", {"first", "second"}, "second"},
        {"HUGE", {"first"}, "#####"},
        {"MISSING_REF", {}, "#####"},
        {"ARG", {"%%"}, "[%]"},
        {"ARG", {"%OTHER%"}, "[other %1% text]"},
        {"ARG", {"%NOPE%"}, "#####"},
        {"ARG", {"%OTHER"}, "#####"},
        {"ARG", {"%x"}, "#####"},
        {"ARG", {"%"}, "#####"},
        {"ARG", {"50%"}, "[50%]"},
        {"ABSENT", {}, "#####"},
    };
    for (const Case& c : cases) {
        std::vector<str> a(5);
        for (size_t i = 0; i < c.args.size(); ++i)
            a[i] = c.args[i].c_str();
        EXPECT_EQ(mTable.GetString(c.label, a[0], a[1], a[2], a[3], a[4]), str(c.result))
            << c.label << " " << (c.args.empty() ? "" : c.args[0]);
    }
}

TEST_F(StringTableTest, LogLines) {
    LoadRows({{"SALE", "Save 50% now"}, {"SIXTH", "%6%"}});
    EXPECT_EQ(mTable.GetString("ABSENT"), str("#####"));
    EXPECT_EQ(mTable.GetString("SIXTH"), str("#####"));
    // The log puts ": " after the time; the message itself begins with a blank.
    EXPECT_EQ(CountInLog(":  ##### : Missing string for label 'ABSENT'\n"), 1u);
    EXPECT_EQ(CountInLog(":  ##### : Missing string for label 'SIXTH'\n"), 1u);

    // An unmatched "%" is reported and the rest shown as it stands.
    EXPECT_EQ(mTable.GetString("SALE"), str("Save 50% now"));
    EXPECT_EQ(CountInLog(": Non-matched percent (%) escape found in string SALE, 'Save 50% now'\n"),
              1u);
    EXPECT_EQ(CountInLog("Missing string for label 'SALE'"), 0u);
}

TEST_F(StringTableTest, TestModeMasksEveryCharacterButBlanks) {
    LoadRows({{"TWO", "Hello World"}, {"ARG", "Got %1%!"}});
    TSettingsMap::GetInstance().Set("stringtest", "1");
    EXPECT_EQ(mTable.GetString("TWO"), str("xxxxx xxxxx"));
    EXPECT_EQ(mTable.GetString("ARG", "a b"), str("xxx x xx"));
    EXPECT_EQ(mTable.GetString("ABSENT"), str("#####"));
    TSettingsMap::GetInstance().Set("stringtest", "0");
    EXPECT_EQ(mTable.GetString("TWO"), str("Hello World"));
}

TEST_F(StringTableTest, FilesLoadPlainOrCompressed) {
    const std::string sheet = Sheet({{"A", "one"}, {"B", "two"}});
    Put("assets/plain.xml", sheet);
    Put("assets/packed.xml", testing_support::PackZxml(sheet));
    std::string damaged = testing_support::PackZxml(sheet);
    damaged[20] ^= 0x55;
    Put("assets/damaged.xml", damaged);
    Put("assets/oversized.xml", testing_support::PackZxml(sheet).replace(8, 4, "\x01\x00\x00\x05", 4));
    ScanAssetFolder("", "assets");

    TStringTable plain;
    TStringTable packed;
    EXPECT_TRUE(plain.LoadFile("plain.xml"));
    EXPECT_TRUE(packed.LoadFile("PACKED.xml"));
    EXPECT_EQ(packed.GetCount(), 3u);
    EXPECT_EQ(packed.GetString("B"), str("two"));
    EXPECT_EQ(plain.GetString("B"), packed.GetString("B"));

    // A compressed file that does not unpack opens, but adds nothing.
    for (const char* name : {"damaged.xml", "oversized.xml"}) {
        TStringTable table;
        EXPECT_TRUE(table.Load(name)) << name;
        EXPECT_EQ(table.GetCount(), 0u) << name;
    }
    EXPECT_NE(LogText().find("ZXML data does not inflate"), std::string::npos);
    EXPECT_NE(LogText().find("ZXML sizes out of range"), std::string::npos);
}

TEST_F(StringTableTest, LaterFilesWinAndLoadFileStartsAfresh) {
    Put("assets/first.xml", Sheet({{"A", "first"}, {"ONLY_FIRST", "1"}}));
    Put("assets/second.xml", Sheet({{"A", "second"}}));
    ScanAssetFolder("", "assets");
    ASSERT_TRUE(mTable.Load("first.xml"));
    ASSERT_TRUE(mTable.Load("second.xml"));
    EXPECT_EQ(mTable.GetString("A"), str("second"));
    EXPECT_EQ(mTable.GetString("ONLY_FIRST"), str("1"));

    EXPECT_FALSE(mTable.Load("missing.xml"));
    EXPECT_EQ(mTable.GetString("A"), str("second"));
    EXPECT_FALSE(mTable.LoadFile("missing.xml"));
    EXPECT_EQ(mTable.GetCount(), 0u);
}

TEST_F(StringTableTest, StartupOrder) {
    Put("assets/strings.xml", Sheet({{"A", "assets"}, {"B", "assets"}, {"C", "assets"}}));
    Put("user/strings_extra.xml", Sheet({{"B", "user"}, {"C", "user"}}));
    Put("user/other.xml", Sheet({{"A", "not a string file"}}));
    Put("user/xstrings.xml", Sheet({{"A", "not a string file"}}));
    Put("user/sub/strings.xml", Sheet({{"A", "in a subfolder"}}));
    Put("common/Strings_Common.XML", Sheet({{"C", "common"}}));
    SetUserDataRoot(mDir.File("user").c_str());
    SetCommonDataRoot(mDir.File("common").c_str());
    LoadAssetManifest();

    EXPECT_TRUE(mTable.LoadStartupFiles());
    EXPECT_EQ(mTable.GetString("A"), str("assets"));
    EXPECT_EQ(mTable.GetString("B"), str("user"));
    EXPECT_EQ(mTable.GetString("C"), str("common"));

    std::filesystem::remove(mDir.File("assets/strings.xml"));
    ClearFileIndex();
    LoadAssetManifest();
    TStringTable table;
    EXPECT_FALSE(table.LoadStartupFiles());
    EXPECT_EQ(table.GetString("B"), str("user"));
}

TEST_F(StringTableTest, FlashLabels) {
    struct Case {
        Rows rows;
        std::vector<str> labels;
    };
    const Case cases[] = {
        {{{"FLASH_B"}, {"FLASH_A"}, {"flash1_2"}, {"FLASH"}}, {"FLASH_A", "FLASH_B"}},
        {{{""},
          {"f"},
          {"flash"},
          {"flash3"},
          {"flash12_34"},
          {"flash123"},
          {"flash_1"},
          {"flashy"},
          {"Flash1"},
          {"flash-1"}},
         {"flash-1", "flash123", "flash12_34", "flash3"}},
        {{{"NOTHING"}}, {}},
    };
    for (const Case& c : cases) {
        TStringTable table;
        Rows rows = c.rows;
        const std::string sheet = Sheet(rows);
        table.LoadText(sheet.data(), sheet.size());
        std::vector<str> labels{"kept"};
        table.GetFlashText(labels);
        std::vector<str> expected{"kept"};
        expected.insert(expected.end(), c.labels.begin(), c.labels.end());
        EXPECT_EQ(labels, expected);
    }
}

}  // namespace
