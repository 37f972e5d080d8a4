// The parameter block and the typed attribute functions every loader uses.
#include <cmath>
#include <limits>

#include "gv/attributes.h"
#include "gv/gvdata.h"
#include "gvfixture.h"

namespace {

using gv_test::GvTest;
using gv_test::Text;

class GvDataTest : public GvTest {};

TEST_F(GvDataTest, AttributeReadersFollowTheirConversionRules) {
    TXmlNode* node = Parse(
        "<e hex=\"0x3E8\" oct=\"010\" word=\"true\" mixed=\"12abc\" empty=\"\" big=\"99999999999\""
        " small=\"-99999999999\" blank=\"  -7\" f=\"2.5xyz\" one=\"1\"/>");
    ASSERT_NE(node, nullptr);
    struct IntCase {
        const char* name;
        int32_t decimal;  // ReadIntAttr, default 42
        int32_t base0;    // ReadIntAttrBase, base 0, default 42
    };
    const IntCase ints[] = {
        {"hex", 0, 1000},
        {"oct", 10, 8},
        {"word", 0, 0},
        {"mixed", 12, 12},
        {"empty", 42, 42},
        {"absent", 42, 42},
        {"big", std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max()},
        {"small", std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min()},
        {"blank", -7, -7},
    };
    for (const IntCase& c : ints) {
        EXPECT_EQ(ReadIntAttr(node, c.name, 42), c.decimal) << c.name;
        EXPECT_EQ(ReadIntAttrBase(node, c.name, 42, 0), c.base0) << c.name;
    }
    EXPECT_EQ(ReadIntAttrBase(node, "mixed", 0, 16), 0x12ABC);

    // "true" is read as an integer: 0, so false.
    EXPECT_FALSE(ReadBoolAttr(node, "word", true));
    EXPECT_TRUE(ReadBoolAttr(node, "one", false));
    EXPECT_TRUE(ReadBoolAttr(node, "big", false));
    EXPECT_TRUE(ReadBoolAttr(node, "empty", true));
    EXPECT_FALSE(ReadBoolAttr(node, "absent", false));

    EXPECT_EQ(ReadFloatAttr(node, "f", 9.0f), 2.5f);
    EXPECT_EQ(ReadFloatAttr(node, "word", 9.0f), 0.0f);
    EXPECT_EQ(ReadFloatAttr(node, "empty", 9.0f), 9.0f);
}

TEST_F(GvDataTest, AttributeWritersAlwaysSetTheAttribute) {
    TXmlNode* node = Element("e");
    WriteFloatAttr(node, "a", 0.5f, 1.0f);
    WriteFloatAttr(node, "b", 1.0f, 1.0f);
    WriteFloatAttr(node, "c", 1e-7f, 0.0f);
    WriteIntAttr(node, "d", -3, 0);
    WriteIntAttr(node, "e", 0, 0);
    bool quoted = false;
    EXPECT_EQ(Text(node->GetAttribute("a")), "0.5");
    EXPECT_EQ(Text(node->GetAttribute("b", &quoted)), "");
    EXPECT_EQ(Text(node->GetAttribute("c")), "1e-07");
    EXPECT_EQ(Text(node->GetAttribute("d")), "-3");
    EXPECT_EQ(Text(node->GetAttribute("e")), "");
    // The empty ones are there, not left out: the saved text names them.
    std::string saved = Text(node->ToString());
    EXPECT_NE(saved.find("b"), std::string::npos);
    EXPECT_NE(saved.find("e"), std::string::npos);
    // Setting again replaces.
    WriteIntAttr(node, "d", 5, 0);
    EXPECT_EQ(Text(node->GetAttribute("d")), "5");
}

TEST_F(GvDataTest, ConversionsSaturate) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(TruncateToInt(nan), 0);
    EXPECT_EQ(TruncateToInt(1e30), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(TruncateToInt(-1e30), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(TruncateToInt(-INFINITY), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(TruncateToInt(10.7), 10);
    EXPECT_EQ(TruncateToInt(-10.7), -10);
    EXPECT_EQ(SaturateToInt(int64_t(1) << 40), std::numeric_limits<int32_t>::max());
}

TEST_F(GvDataTest, NewBlockHasTheDefaults) {
    GVData data;
    EXPECT_EQ(data.GetKind(), GVBase::kData);
    EXPECT_EQ(data.scaling, 1.0f);
    EXPECT_EQ(data.alpha, 1.0f);
    EXPECT_EQ(data.visible, 1);
    for (float color : data.colors)
        EXPECT_EQ(color, 1.0f);
    EXPECT_EQ(data.changed, 1);
    EXPECT_FALSE(data.Load(nullptr, nullptr));
    EXPECT_FALSE(data.Save(nullptr));
}

TEST_F(GvDataTest, LoadReadsCenterFlipBlendAndVisible) {
    struct Case {
        const char* attributes;
        float centerX, centerY;
        uint32_t flip;
        int32_t blend;
        int8_t visible;
    };
    // The block starts with centre (8, 9): an absent or empty "center" keeps it.
    const Case cases[] = {
        {"center=\"5\"", 5, 5, 0, 0, 1},
        {"center=\",3\"", 0, 3, 0, 0, 1},
        {"center=\"1.5,-2\"", 1.5f, -2, 0, 0, 1},
        {"", 8, 9, 0, 0, 1},
        {"center=\"\"", 8, 9, 0, 0, 1},
        {"flip=\"hv\"", 8, 9, 3, 0, 1},
        {"flip=\"V H\"", 8, 9, 3, 0, 1},
        {"flip=\"none\"", 8, 9, 0, 0, 1},
        {"flip=\"h\"", 8, 9, 1, 0, 1},
        {"blend=\"Additive\"", 8, 9, 0, 2, 1},
        {"blend=\"multiply\"", 8, 9, 0, 4, 1},
        {"blend=\"normal\"", 8, 9, 0, 0, 1},
        {"blend=\"SUBmul\"", 8, 9, 0, 3, 1},
        {"blend=\"muladd\"", 8, 9, 0, 2, 1},
        {"visible=\"false\"", 8, 9, 0, 0, 0},
        {"visible=\"no\"", 8, 9, 0, 0, 0},
        {"visible=\"2\"", 8, 9, 0, 0, 1},
        {"visible=\"0\"", 8, 9, 0, 0, 0},
    };
    for (const Case& c : cases) {
        std::string text = std::string("<e ") + c.attributes + "/>";
        SCOPED_TRACE(text);
        GVData data;
        data.centerX = 8;
        data.centerY = 9;
        data.flip = 3;
        data.blend = 4;
        data.colors[2] = 0.25f;
        data.changed = 0;
        ASSERT_TRUE(data.Load(Parse(text.c_str()), nullptr));
        EXPECT_EQ(data.centerX, c.centerX);
        EXPECT_EQ(data.centerY, c.centerY);
        EXPECT_EQ(data.flip, c.flip);
        EXPECT_EQ(data.blend, c.blend);
        EXPECT_EQ(data.visible, c.visible);
        EXPECT_EQ(data.colors[2], 0.25f);  // colour factors are game code's
        EXPECT_EQ(data.changed, 1);
    }
}

TEST_F(GvDataTest, SaveWritesNineAttributesInOrderAndLoadsBack) {
    GVData defaults;
    TXmlNode* node = Element("e");
    ASSERT_TRUE(defaults.Save(node));
    const char* expected[] = {"deltaX", "deltaY", "deltaZ", "alpha",  "visible",
                              "flip",   "blend",  "rotate", "scaling"};
    str name;
    str value;
    node->ResetAttributes();
    for (const char* want : expected) {
        ASSERT_TRUE(node->GetNextAttribute(name, value));
        EXPECT_EQ(Text(name), want);
        EXPECT_EQ(Text(value), "");
    }
    EXPECT_FALSE(node->GetNextAttribute(name, value));

    GVData reader;
    reader.centerX = 4;
    reader.deltaX = 7;
    reader.scaling = 3;
    reader.visible = 0;
    ASSERT_TRUE(reader.Load(node, nullptr));
    EXPECT_EQ(reader.deltaX, 0.0f);
    EXPECT_EQ(reader.scaling, 1.0f);
    EXPECT_EQ(reader.visible, 1);
    EXPECT_EQ(reader.centerX, 4.0f);  // not written, kept

    GVData data;
    data.deltaX = -1.25f;
    data.deltaZ = 3;
    data.alpha = 0.5f;
    data.visible = 0;
    data.flip = 3;
    data.blend = GVData::kBlendSub;
    data.rotate = 0.75f;
    data.scaling = 1.0f;
    TXmlNode* saved = Element("e");
    ASSERT_TRUE(data.Save(saved));
    EXPECT_EQ(Text(saved->GetAttribute("alpha")), "0.5");
    EXPECT_EQ(Text(saved->GetAttribute("scaling")), "");
    EXPECT_EQ(Text(saved->GetAttribute("visible")), "0");
    EXPECT_EQ(Text(saved->GetAttribute("flip")), "VH");
    EXPECT_EQ(Text(saved->GetAttribute("blend")), "sub");
    GVData back;
    ASSERT_TRUE(back.Load(saved, nullptr));
    EXPECT_EQ(back.deltaX, -1.25f);
    EXPECT_EQ(back.deltaZ, 3.0f);
    EXPECT_EQ(back.alpha, 0.5f);
    EXPECT_EQ(back.visible, 0);
    EXPECT_EQ(back.flip, 3u);
    EXPECT_EQ(back.blend, GVData::kBlendSub);
    EXPECT_EQ(back.rotate, 0.75f);

    // A blend the save does not know is written empty.
    data.blend = 1;
    ASSERT_TRUE(data.Save(saved));
    EXPECT_EQ(Text(saved->GetAttribute("blend")), "");
}

TEST_F(GvDataTest, CopyAndAssignmentCopyEveryParameterButTheKind) {
    GVData from;
    from.deltaX = 1;
    from.deltaY = 2;
    from.deltaZ = 3;
    from.rotate = 4;
    from.scaling = 5;
    from.centerX = 6;
    from.centerY = 7;
    from.visible = 0;
    from.alpha = 0.5f;
    from.colors[0] = 0.1f;
    from.colors[3] = 0.4f;
    from.flip = 2;
    from.blend = 4;
    from.changed = 0;

    GVData target(GVBase::kObject);
    target.changed = 0;
    ASSERT_EQ(from.CopyTo(&target), &target);
    EXPECT_EQ(target.GetKind(), GVBase::kObject);
    EXPECT_EQ(target.changed, 1);
    GVData assigned(GVBase::kState);
    assigned.changed = 0;
    assigned = from;
    EXPECT_EQ(assigned.GetKind(), GVBase::kState);
    EXPECT_EQ(assigned.changed, 1);
    for (const GVData* copy : {&target, &assigned}) {
        EXPECT_EQ(copy->deltaX, 1.0f);
        EXPECT_EQ(copy->deltaY, 2.0f);
        EXPECT_EQ(copy->deltaZ, 3.0f);
        EXPECT_EQ(copy->rotate, 4.0f);
        EXPECT_EQ(copy->scaling, 5.0f);
        EXPECT_EQ(copy->centerX, 6.0f);
        EXPECT_EQ(copy->centerY, 7.0f);
        EXPECT_EQ(copy->visible, 0);
        EXPECT_EQ(copy->alpha, 0.5f);
        EXPECT_EQ(copy->colors[0], 0.1f);
        EXPECT_EQ(copy->colors[3], 0.4f);
        EXPECT_EQ(copy->flip, 2u);
        EXPECT_EQ(copy->blend, 4);
    }
    EXPECT_EQ(from.CopyTo(nullptr), nullptr);

    target.ResetChanged();
    EXPECT_EQ(target.changed, 0);
}

TEST_F(GvDataTest, ComposeFoldsFieldByField) {
    GVData a;
    a.deltaX = 1;
    a.rotate = 0.5f;
    a.centerY = 2;
    a.scaling = 2;
    a.alpha = 0.5f;
    a.colors[1] = 0.5f;
    a.visible = 1;
    a.flip = 1;
    a.changed = 0;
    GVData b;
    b.deltaX = 2;
    b.rotate = 0.25f;
    b.centerY = 3;
    b.scaling = 3;
    b.alpha = 0.5f;
    b.colors[1] = 0.5f;
    b.visible = 0;
    b.flip = 3;
    a.Compose(b);
    EXPECT_EQ(a.deltaX, 3.0f);
    EXPECT_EQ(a.rotate, 0.75f);
    EXPECT_EQ(a.centerY, 5.0f);
    EXPECT_EQ(a.scaling, 6.0f);
    EXPECT_EQ(a.alpha, 0.25f);
    EXPECT_EQ(a.colors[1], 0.25f);
    EXPECT_EQ(a.visible, 0);
    EXPECT_EQ(a.flip, 2u);
    EXPECT_EQ(a.changed, 1);

    GVData both;
    GVData shown;
    both.Compose(shown);
    EXPECT_EQ(both.visible, 1);
}

TEST_F(GvDataTest, ComposedBlendKeepsTheLastNonZero) {
    // A description's "add" through a state and an inherited block at 0.
    GVData description;
    ASSERT_TRUE(description.Load(Parse("<e blend=\"add\"/>"), nullptr));
    GVData composed = description;
    GVData state;
    GVData inherited;
    composed.Compose(state);
    composed.Compose(inherited);
    EXPECT_EQ(composed.blend, GVData::kBlendAdd);

    // A later non-zero blend overrides it.
    GVData later;
    later.blend = GVData::kBlendSub;
    composed.Compose(later);
    EXPECT_EQ(composed.blend, GVData::kBlendSub);

    // "mul" composed with "add" gives "add".
    GVData mul;
    mul.blend = GVData::kBlendMul;
    GVData add;
    add.blend = GVData::kBlendAdd;
    mul.Compose(add);
    EXPECT_EQ(mul.blend, GVData::kBlendAdd);
}

}  // namespace
