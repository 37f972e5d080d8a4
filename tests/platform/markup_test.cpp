// The markup parser: tags read one at a time, as the text layout meets them, and the state they
// leave.
#include "platform/text/markup.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// What one ParseTag call reported.
struct Parsed {
    bool tag = false;
    int32_t consumed = 0;
    bool newline = false;
    int32_t pad = 0;
    bool cursor = false;
    bool alignmentChanged = false;
    int32_t tab = -1;
};

Parsed Parse(TMarkupParser& parser, const std::string& text) {
    Parsed p;
    p.tag = parser.ParseTag(text.data(), text.size(), p.consumed, p.newline, p.pad, p.cursor,
                            p.alignmentChanged, p.tab);
    return p;
}

// The parser after a reset, its base style white at 16 pixels in "__DEFAULT".
TMarkupParser Fresh() {
    TMarkupParser parser;
    parser.Reset();
    TMarkupStyle& base = parser.GetBaseStyle();
    base.face = "__DEFAULT";
    base.size = 16;
    for (float& c : base.color)
        c = 1.0f;
    return parser;
}

testing::AssertionResult ColorIs(const float* color, float r, float g, float b, float a) {
    const float want[4] = {r, g, b, a};
    for (int i = 0; i < 4; ++i) {
        if (color[i] != want[i]) {
            return testing::AssertionFailure()
                   << "component " << i << " is " << color[i] << ", not " << want[i];
        }
    }
    return testing::AssertionSuccess();
}

struct Row {
    const char* what;
    // The tags read one after another; the last one's report is checked.
    std::vector<std::string> texts;
    std::function<void(const Parsed&, const TMarkupParser&)> check;
};

TEST(MarkupTest, TagsOneRowEach) {
    const std::string longTag = "<" + std::string(198, 'x') + ">";
    const std::vector<Row> rows = {
        {"br ends the line",
         {"<br>"},
         [](const Parsed& p, const TMarkupParser&) {
             EXPECT_TRUE(p.tag && p.newline);
             EXPECT_EQ(p.consumed, 4);
             EXPECT_EQ(p.tab, 0);
         }},
        {"br in capitals", {"<BR>"}, [](const Parsed& p, auto&) { EXPECT_TRUE(p.newline); }},
        {"br with blanks inside the brackets",
         {"< b r >rest"},
         [](const Parsed& p, auto&) {
             EXPECT_TRUE(p.newline);
             EXPECT_EQ(p.consumed, 7);
         }},
        {"br with a pad",
         {"<br pad='10'>"},
         [](const Parsed& p, auto&) { EXPECT_TRUE(p.newline && p.pad == 10); }},
        {"p is no tag of its own: consumed, no effect",
         {"<p>"},
         [](const Parsed& p, auto&) { EXPECT_TRUE(p.tag && !p.newline && p.consumed == 3); }},
        {"/p ends the line", {"</p>"}, [](const Parsed& p, auto&) { EXPECT_TRUE(p.newline); }},
        {"bold reads as b",
         {"<bold>"},
         [](const Parsed& p, const TMarkupParser& m) { EXPECT_TRUE(p.tag && m.IsBold()); }},
        {"table reads as tab, with its pos",
         {"<table pos='5'>"},
         [](const Parsed& p, auto&) { EXPECT_EQ(p.tab, 20); }},
        {"a 200-character tag is cut at 128 characters, the rest is text",
         {longTag},
         [](const Parsed& p, auto&) { EXPECT_TRUE(p.tag && p.consumed == 128); }},
        {"blanks outside quotes do not count toward the 128",
         {"<" + std::string(100, ' ') + std::string(150, 'y') + ">"},
         [](const Parsed& p, auto&) { EXPECT_EQ(p.consumed, 228); }},
        {"a cut tag with no closing bracket after it is no tag",
         {"<" + std::string(198, 'x')},
         [](const Parsed& p, auto&) { EXPECT_FALSE(p.tag); }},
        {"a < with no > is a character",
         {"<b and more"},
         [](const Parsed& p, const TMarkupParser& m) {
             EXPECT_FALSE(p.tag);
             EXPECT_FALSE(m.IsBold());
             EXPECT_EQ(p.tab, 0);
         }},
        {"a text not at a < is no tag",
         {"b>"},
         [](const Parsed& p, auto&) { EXPECT_FALSE(p.tag); }},
        {"an a id keeps its case",
         {"<A ID='OkButton'>"},
         [](const Parsed&, const TMarkupParser& m) { EXPECT_EQ(m.GetLinkId(), str("OkButton")); }},
        {"a value keeps its case only up to its first blank",
         {"<a id='Two Words'>"},
         [](const Parsed&, const TMarkupParser& m) { EXPECT_EQ(m.GetLinkId(), str("Two words")); }},
        {"quotes of mixed kinds open and close a value",
         {"<a id=\"ok' color='00ff00'>"},
         [](const Parsed&, const TMarkupParser& m) {
             EXPECT_EQ(m.GetLinkId(), str("ok"));
             EXPECT_TRUE(ColorIs(m.GetLinkColor(), 0, 1, 0, 1));
         }},
        {"a double quote anywhere later opens before a single one",
         {"<font size='20' color=\"ff0000\">"},
         [](const Parsed&, const TMarkupParser& m) {
             // size's value runs from color's opening quote: "ff0000" reads as no number.
             EXPECT_EQ(m.GetStyle().size, 0);
         }},
        {"a without color takes the style's colour",
         {"<a id='x'>"},
         [](const Parsed&, const TMarkupParser& m) {
             EXPECT_TRUE(ColorIs(m.GetLinkColor(), 1, 1, 1, 1));
         }},
        {"/a closes the link",
         {"<a id='x' color='ff0000'>", "</a>"},
         [](const Parsed&, const TMarkupParser& m) {
             EXPECT_EQ(m.GetLinkId(), str(""));
             EXPECT_TRUE(ColorIs(m.GetLinkColor(), 1, 1, 1, 1));
         }},
        {"font colour of eight digits is RRGGBBAA",
         {"<font color='ff000080'>"},
         [](const Parsed&, const TMarkupParser& m) {
             EXPECT_TRUE(ColorIs(m.GetStyle().color, 1, 0, 0, 128 / 255.0f));
         }},
        {"font colour # and six digits is RRGGBB",
         {"<font color='#ff0000'>"},
         [](const Parsed&, const TMarkupParser& m) {
             EXPECT_TRUE(ColorIs(m.GetStyle().color, 1, 0, 0, 1));
         }},
        {"font colour # and eight digits keeps the lower 24 bits",
         {"<font color='#ff000080'>"},
         [](const Parsed&, const TMarkupParser& m) {
             EXPECT_TRUE(ColorIs(m.GetStyle().color, 0, 0, 128 / 255.0f, 1));
         }},
        {"bad hexadecimal digits end the number",
         {"<font color='#12zz56'>"},
         [](const Parsed&, const TMarkupParser& m) {
             EXPECT_TRUE(ColorIs(m.GetStyle().color, 0, 0, 0x12 / 255.0f, 1));
         }},
        {"font size, face and the rest of the style",
         {"<font size='20' face='Fonts/Big.mvec'>"},
         [](const Parsed&, const TMarkupParser& m) {
             EXPECT_EQ(m.GetStyle().size, 20);
             EXPECT_EQ(m.GetStyle().face, str("Fonts/Big.mvec"));
             EXPECT_TRUE(ColorIs(m.GetStyle().color, 1, 1, 1, 1));
             EXPECT_EQ(m.GetStyleDepth(), 1);
         }},
        {"outline without attributes: size 2, transparent black after a reset",
         {"<outline>"},
         [](const Parsed&, const TMarkupParser& m) {
             EXPECT_EQ(m.GetOutlineSize(), 2.0f);
             EXPECT_TRUE(ColorIs(m.GetOutlineColor(), 0, 0, 0, 0));
         }},
        {"outline keeps a colour set before, /outline clears both",
         {"<outline color='0000ff' size='3'>", "<outline>"},
         [](const Parsed&, const TMarkupParser& m) {
             EXPECT_EQ(m.GetOutlineSize(), 2.0f);
             EXPECT_TRUE(ColorIs(m.GetOutlineColor(), 0, 0, 1, 1));
         }},
        {"/outline",
         {"<outline color='0000ff' size='3'>", "</outline>"},
         [](const Parsed&, const TMarkupParser& m) {
             EXPECT_EQ(m.GetOutlineSize(), 0.0f);
             EXPECT_TRUE(ColorIs(m.GetOutlineColor(), 0, 0, 0, 0));
         }},
        {"tab pos 100 is 400 quarter pixels",
         {"<tab pos='100'>"},
         [](const Parsed& p, auto&) { EXPECT_EQ(p.tab, 400); }},
        {"tab without pos stays 0", {"<tab>"}, [](const Parsed& p, auto&) { EXPECT_EQ(p.tab, 0); }},
        {"cursor", {"<cursor>"}, [](const Parsed& p, auto&) { EXPECT_TRUE(p.cursor); }},
        {"center pushes an alignment",
         {"<center>"},
         [](const Parsed& p, const TMarkupParser& m) {
             EXPECT_TRUE(p.alignmentChanged);
             EXPECT_EQ(m.GetAlignment(), TMarkupParser::kAlignCenter);
         }},
        {"any closing alignment pops whatever is on top",
         {"<right>", "<left>", "</center>"},
         [](const Parsed& p, const TMarkupParser& m) {
             EXPECT_TRUE(p.alignmentChanged);
             EXPECT_EQ(m.GetAlignment(), TMarkupParser::kAlignRight);
         }},
        {"i, u and their ends",
         {"<i>", "<u>", "</i>"},
         [](const Parsed&, const TMarkupParser& m) {
             EXPECT_FALSE(m.IsItalic());
             EXPECT_TRUE(m.IsUnderline());
         }},
        {"surplus closing tags are harmless",
         {"</font>", "</font>", "</center>", "</a>", "</b>"},
         [](const Parsed& p, const TMarkupParser& m) {
             EXPECT_TRUE(p.tag);
             EXPECT_EQ(m.GetStyleDepth(), 0);
             EXPECT_EQ(m.GetAlignmentDepth(), 0);
             EXPECT_EQ(m.GetAlignment(), TMarkupParser::kNoAlignment);
             EXPECT_EQ(m.GetStyle().size, 16);
         }},
        {"digits of absurd length saturate",
         {"<font size='99999999999999999999999'>", "<br pad='123456789012345'>"},
         [](const Parsed& p, const TMarkupParser& m) {
             EXPECT_EQ(m.GetStyle().size, TMarkupParser::kNumberLimit);
             EXPECT_EQ(p.pad, TMarkupParser::kNumberLimit);
         }},
        {"a tab position of absurd length",
         {"<tab pos='99999999999999999999'>"},
         [](const Parsed& p, auto&) { EXPECT_EQ(p.tab, 4 * TMarkupParser::kNumberLimit); }},
        {"unknown tags vanish",
         {"<zzz>"},
         [](const Parsed& p, const TMarkupParser& m) {
             EXPECT_TRUE(p.tag && p.consumed == 5);
             EXPECT_FALSE(m.IsItalic() || m.IsBold());
         }},
        {"an image tag vanishes, though it begins like i",
         {"<IMG src='x.png'>"},
         [](const Parsed& p, const TMarkupParser& m) {
             EXPECT_TRUE(p.tag && p.consumed == 17);
             EXPECT_FALSE(m.IsItalic());
         }},
        {"a name that only begins with i is still i",
         {"<image>"},
         [](const Parsed&, const TMarkupParser& m) { EXPECT_TRUE(m.IsItalic()); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TMarkupParser parser = Fresh();
        Parsed last;
        for (const std::string& text : row.texts)
            last = Parse(parser, text);
        row.check(last, parser);
    }
}

TEST(MarkupTest, AZeroTerminatedTextIsReadToItsEnd) {
    TMarkupParser parser = Fresh();
    int32_t consumed = 0;
    int32_t pad = 0;
    int32_t tab = -1;
    bool newline = false;
    bool cursor = false;
    bool alignmentChanged = false;
    EXPECT_TRUE(
        parser.ParseTag("<br pad='7'>ab", consumed, newline, pad, cursor, alignmentChanged, tab));
    EXPECT_EQ(consumed, 12);
    EXPECT_TRUE(newline);
    EXPECT_EQ(pad, 7);
    EXPECT_EQ(tab, 0);
    EXPECT_FALSE(
        parser.ParseTag("<br pad='7'", consumed, newline, pad, cursor, alignmentChanged, tab));
    EXPECT_FALSE(parser.ParseTag(nullptr, consumed, newline, pad, cursor, alignmentChanged, tab));
}

TEST(MarkupTest, NestedFontTagsCountEveryOneAndKeepTheDeepestStoredStyle) {
    for (int depth : {31, 32, 40}) {
        SCOPED_TRACE(depth);
        TMarkupParser parser = Fresh();
        for (int i = 1; i <= depth; ++i)
            Parse(parser, "<font size='" + std::to_string(i) + "'>");
        EXPECT_EQ(parser.GetStyleDepth(), depth);
        EXPECT_EQ(parser.GetStyle().size, 31);
        for (int i = depth; i > 1; --i) {
            Parse(parser, "</font>");
            EXPECT_EQ(parser.GetStyle().size, std::min(i - 1, 31));
        }
        Parse(parser, "</font>");
        EXPECT_EQ(parser.GetStyleDepth(), 0);
        EXPECT_EQ(parser.GetStyle().size, 16);
    }
}

TEST(MarkupTest, NestedAlignmentsKeepTheDeepestStoredEntry) {
    for (int depth : {31, 32, 40}) {
        SCOPED_TRACE(depth);
        TMarkupParser parser = Fresh();
        for (int i = 1; i <= depth; ++i)
            Parse(parser, i == 31 ? "<right>" : "<center>");
        EXPECT_EQ(parser.GetAlignmentDepth(), depth);
        EXPECT_EQ(parser.GetAlignment(),
                  depth >= 31 ? TMarkupParser::kAlignRight : TMarkupParser::kAlignCenter);
        for (int i = 0; i < depth; ++i)
            Parse(parser, "</left>");
        EXPECT_EQ(parser.GetAlignment(), TMarkupParser::kNoAlignment);
    }
}

TEST(MarkupTest, ResetKeepsTheStyleRecordsAndClearsTheRest) {
    TMarkupParser parser = Fresh();
    for (const char* tag : {"<font size='30'>", "<b>", "<i>", "<u>", "<center>", "<a id='x'>",
                            "<outline color='ff0000'>"})
        Parse(parser, tag);
    parser.Reset();
    EXPECT_EQ(parser.GetStyleDepth(), 0);
    EXPECT_FALSE(parser.IsBold() || parser.IsItalic() || parser.IsUnderline());
    EXPECT_EQ(parser.GetAlignment(), TMarkupParser::kNoAlignment);
    EXPECT_EQ(parser.GetLinkId(), str(""));
    EXPECT_TRUE(ColorIs(parser.GetLinkColor(), 0, 0, 0, 0));
    EXPECT_EQ(parser.GetOutlineSize(), 0.0f);
    EXPECT_TRUE(ColorIs(parser.GetOutlineColor(), 0, 0, 0, 0));
    Parse(parser, "<font>");
    EXPECT_EQ(parser.GetStyle().size, 16);  // a copy of the base
}

TEST(MarkupTest, RewindingToAMarkUndoesTheTagsAfterIt) {
    TMarkupParser parser = Fresh();
    Parse(parser, "<font size='20'>");
    const TMarkupParser::TMark mark = parser.Mark();
    // Closing and opening again overwrites the record the mark stood on.
    for (const char* tag : {"</font>", "<font size='99' face='x'>", "<font size='40'>", "<b>",
                            "<a id='link'>", "<outline>"})
        Parse(parser, tag);
    parser.Rewind(mark);
    EXPECT_EQ(parser.GetStyleDepth(), 1);
    EXPECT_EQ(parser.GetStyle().size, 20);
    EXPECT_EQ(parser.GetStyle().face, str("__DEFAULT"));
    EXPECT_FALSE(parser.IsBold());
    EXPECT_EQ(parser.GetLinkId(), str(""));
    EXPECT_EQ(parser.GetOutlineSize(), 0.0f);
    Parse(parser, "</font>");
    EXPECT_EQ(parser.GetStyle().size, 16);
}

}  // namespace
