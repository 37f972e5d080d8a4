// The owning, keyed item list, and the named parameters.
#include "gv/gvconteiner.h"
#include "gv/gvparams.h"
#include "gvfixture.h"

namespace {

using gv_test::GvTest;
using gv_test::Text;

// An item with a key read from "key"; it fails to load with "bad", refuses to copy with "nocopy".
struct Item : GVBase {
    Item() : GVBase(kEffect) { ++alive; }
    ~Item() override { --alive; }
    bool Load(TXmlNode* node, GVBase* owner) override {
        if (!GVBase::Load(node, owner)) return false;
        key = node->GetAttribute("key");
        loadedBy = owner;
        return node->GetAttribute("bad").Length() == 0;
    }
    bool Save(TXmlNode*) override { return true; }
    GVBase* CopyTo(GVBase* target) override {
        if (key == "nocopy") return nullptr;
        static_cast<Item*>(target)->key = key;
        return target;
    }
    str key;
    GVBase* loadedBy = nullptr;
    static inline int alive = 0;
};

struct Items : GVConteiner<Item, str> {
    explicit Items(const char* itemName) : GVConteiner<Item, str>(kEffects, itemName) {}
    str GetKey(const Item* item) const override { return item->key; }
};

class GvConteinerTest : public GvTest {};

TEST_F(GvConteinerTest, LoadTakesItemElementsInOrderAndAppends) {
    Items items("it");
    EXPECT_FALSE(items.Load(nullptr, nullptr));
    EXPECT_FALSE(items.Load(Parse("<l><other key=\"a\"/><x/></l>"), nullptr));
    EXPECT_EQ(items.GetCount(), 0);

    ASSERT_TRUE(items.Load(
        Parse("<l><it key=\"a\"/><other key=\"z\"/><it key=\"b\" bad=\"1\"/><it key=\"c\"/></l>"),
        nullptr));
    ASSERT_EQ(items.GetCount(), 2);
    EXPECT_EQ(Text(items.GetAt(0)->key), "a");
    EXPECT_EQ(Text(items.GetAt(1)->key), "c");
    EXPECT_EQ(items.GetAt(0)->loadedBy, &items);
    EXPECT_EQ(Item::alive, 2);  // the failed item was deleted

    // A second load appends; a load that finds nothing still answers for what is held.
    ASSERT_TRUE(items.Load(Parse("<l><it key=\"d\"/></l>"), nullptr));
    EXPECT_TRUE(items.Load(Parse("<l/>"), nullptr));
    ASSERT_EQ(items.GetCount(), 3);
    EXPECT_EQ(Text(items.GetAt(2)->key), "d");

    // Saving writes nothing.
    EXPECT_FALSE(items.Save(Element("l")));

    // An empty item name takes every child.
    Items all("");
    ASSERT_TRUE(all.Load(Parse("<l><p key=\"1\"/><q key=\"2\"/></l>"), nullptr));
    EXPECT_EQ(all.GetCount(), 2);

    items.Clear();
    all.Clear();
    EXPECT_EQ(Item::alive, 0);
    EXPECT_EQ(items.Find("a"), -1);
}

TEST_F(GvConteinerTest, AddKeepsOnePointerAndTheFirstOfAKey) {
    {
        Items items("it");
        Item* first = new Item();
        first->key = "k";
        Item* second = new Item();
        second->key = "k";
        Item* other = new Item();
        other->key = "m";
        items.Add(first);
        items.Add(first);
        items.Add(second);
        items.Add(other);
        ASSERT_EQ(items.GetCount(), 3);
        EXPECT_EQ(items.GetAt(0), first);
        EXPECT_EQ(items.GetAt(1), second);
        EXPECT_EQ(items.Find("k"), 0);
        EXPECT_EQ(items.Find("m"), 2);
        EXPECT_EQ(Item::alive, 3);
    }
    EXPECT_EQ(Item::alive, 0);  // the destructor deleted each once
}

TEST_F(GvConteinerTest, CopyToAppendsClonesAndSkipsRefusals) {
    Items from("it");
    ASSERT_TRUE(from.Load(Parse("<l><it key=\"a\"/><it key=\"nocopy\"/><it key=\"b\"/></l>"),
                          nullptr));
    Items to("it");
    ASSERT_TRUE(to.Load(Parse("<l><it key=\"old\"/></l>"), nullptr));
    ASSERT_EQ(from.CopyTo(&to), &to);
    ASSERT_EQ(to.GetCount(), 3);
    EXPECT_EQ(Text(to.GetAt(0)->key), "old");
    EXPECT_EQ(Text(to.GetAt(1)->key), "a");
    EXPECT_EQ(Text(to.GetAt(2)->key), "b");
    EXPECT_NE(to.GetAt(1), from.GetAt(0));

    // Into itself: each item once more, not endlessly.
    ASSERT_EQ(to.CopyTo(&to), &to);
    EXPECT_EQ(to.GetCount(), 6);
}

TEST_F(GvConteinerTest, ParamsLoadSaveAndCopy) {
    GVParams params;
    EXPECT_FALSE(params.Load(nullptr, nullptr));
    EXPECT_EQ(params.GetCount(), 0);
    EXPECT_TRUE(params.Load(Parse("<params/>"), nullptr));
    EXPECT_EQ(params.GetCount(), 0);

    ASSERT_TRUE(params.Load(
        Parse("<params zeta=\"last\" alpha=\"1\" mid=\"a b\" empty=\"\" alpha=\"second\"/>"),
        nullptr));
    EXPECT_EQ(params.GetCount(), 5);
    // A repeated name keeps its first value.
    ASSERT_NE(params.Find("alpha"), nullptr);
    EXPECT_EQ(Text(params.Find("alpha")->GetText()), "1");
    EXPECT_EQ(params.Find("beta"), nullptr);

    TXmlNode* saved = Element("params");
    ASSERT_TRUE(params.Save(saved));
    const char* order[][2] = {{"alpha", "1"}, {"empty", ""}, {"mid", "a b"}, {"zeta", "last"}};
    str name;
    str value;
    saved->ResetAttributes();
    for (const auto& want : order) {
        ASSERT_TRUE(saved->GetNextAttribute(name, value));
        EXPECT_EQ(Text(name), want[0]);
        EXPECT_EQ(Text(value), want[1]);
    }
    EXPECT_FALSE(saved->GetNextAttribute(name, value));

    GVParams back;
    ASSERT_TRUE(back.Load(saved, nullptr));
    EXPECT_EQ(Text(back.Find("mid")->GetText()), "a b");
    EXPECT_EQ(Text(back.Find("zeta")->GetText()), "last");

    GVParams copy;
    params.CopyInto(copy);
    EXPECT_EQ(copy.GetCount(), 5);
    EXPECT_EQ(Text(copy.Find("zeta")->GetText()), "last");
}

TEST_F(GvConteinerTest, ParamsNumbersTurnIntoText) {
    GVParams params;
    ASSERT_TRUE(params.Load(Parse("<params i=\"x\" f=\"y\"/>"), nullptr));
    GVParams::Value* integer = params.Find("i");
    integer->type = GVParams::Value::kInt;
    integer->intValue = -12;
    EXPECT_EQ(Text(integer->GetText()), "-12");
    EXPECT_EQ(integer->type, GVParams::Value::kText);
    GVParams::Value* real = params.Find("f");
    real->type = GVParams::Value::kFloat;
    real->floatValue = 1.5f;
    EXPECT_EQ(Text(real->GetText()), "1.500000");
    EXPECT_EQ(real->type, GVParams::Value::kText);
}

}  // namespace
