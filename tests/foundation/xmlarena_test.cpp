// The memory behind parsed XML trees: the arena itself, and what a tree that lives in one must
// keep doing when nodes are removed, made by derived classes, filled from other documents, copied
// and changed after the parse. Trees are compared with the same document read through the
// character source, which builds every node through its overridable operations.
#include "foundation/xml/xmlarena.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/xml/getchar.h"
#include "foundation/xml/xmlnode.h"

namespace {

std::string Text(const str& s) {
    return s.c_str();
}

// The document as the character source reads it: the reference for every direct parse.
std::string ThroughSource(const std::string& document) {
    TGetCharString source(document.data(), static_cast<uint32_t>(document.size()));
    TXmlNode root;
    root.Parse(source);
    return Text(root.ToString());
}

std::string Direct(const std::string& document) {
    TXmlNode root;
    root.ParseString(document.data(), document.size());
    return Text(root.ToString());
}

TEST(XmlArenaTest, FreedSizesAreReusedAndLargeOnesComeFromTheHeap) {
    TXmlArena arena;
    const size_t sizes[] = {1, 8, 24, 88, 256, 300, 4096, 5000, 1 << 20};
    for (size_t size : sizes) {
        SCOPED_TRACE(size);
        void* first = arena.Allocate(size);
        std::memset(first, 0xAB, size);
        arena.Free(first, size);
        void* again = arena.Allocate(size);
        if (size <= 4096) {
            EXPECT_EQ(again, first);  // pooled: the freed chunk comes back
        }
        std::memset(again, 0xCD, size);
        void* other = arena.Allocate(size);
        EXPECT_NE(other, again);
        arena.Free(other, size);
        arena.Free(again, size);
    }
    arena.Free(nullptr, 16);
    // Many blocks' worth, left for the arena to release.
    for (int i = 0; i < 10000; ++i)
        std::memset(arena.Allocate(96), i, 96);
}

TEST(XmlArenaTest, NamesAreInternedByAllTheirBytes) {
    TXmlArena arena;
    const TXmlName* a = arena.InternName("Creature", 8);
    EXPECT_EQ(arena.InternName("Creature", 8), a);
    EXPECT_EQ(Text(a->Text()), "Creature");
    EXPECT_NE(arena.InternName("Creaturf", 8), a);
    EXPECT_NE(arena.InternName("Creature", 7), a);
    // Bytes after a NUL tell names apart, though both read as the text before it.
    const TXmlName* x = arena.InternName(std::string("a\0x", 3).data(), 3);
    const TXmlName* y = arena.InternName(std::string("a\0y", 3).data(), 3);
    EXPECT_NE(x, y);
    EXPECT_EQ(Text(x->Text()), "a");
    const std::string longName(40, 'n');
    std::string longOther = longName;
    longOther[20] = 'm';  // differs only in the middle
    EXPECT_NE(arena.InternName(longName.data(), 40), arena.InternName(longOther.data(), 40));
    EXPECT_EQ(arena.InternName(longName.data(), 40), arena.InternName(longName.data(), 40));
    // Past the table's size the lookups start again; names given out stay valid and right.
    std::vector<const TXmlName*> given;
    for (int i = 0; i < 3000; ++i) {
        const std::string name = "name" + std::to_string(i);
        given.push_back(arena.InternName(name.data(), name.size()));
    }
    for (int i = 0; i < 3000; ++i)
        ASSERT_EQ(Text(given[i]->Text()), "name" + std::to_string(i));
    EXPECT_EQ(Text(arena.InternName("name7", 5)->Text()), "name7");
}

// Texts and values that stand in the document's text are joined and changed in place; the
// character source, which copies every token, is the reference.
TEST(XmlArenaTest, TextsJoinedInPlaceMatchTheCharacterSource) {
    const struct {
        const char* document;
        const char* text;  // of the element e
    } cases[] = {
        {"<e>one &amp; two &#65;&#66; three</e>", "one & two AB three"},
        // A child with a value between the words: the value is not written over.
        {"<e>one <c a=\"value\" b='x'/> two three</e>", "one two three"},
        {"<e>one <c>inner text</c> two</e>", "one two"},
        {"<e>\"quoted   words\" after</e>", "quoted   words after"},
        {"<e>\"a\"\"b\" c</e>", "a b c"},
        {"<e>a=b c</e>", "a = b c"},                    // text that grows
        {"<e>x\"y\" &lt;tag&gt;</e>", "x\"y\" <tag>"},  // a quote inside a word stays
        {"<e>&#0;lost kept</e>", "kept"},               // a word cut to nothing by a NUL
        // Lead bytes take what follows, a space or an "&" too; the word is decoded whole.
        {"<e>w\xC3 z\xC3&amp; q</e>", "w\xC3 z\xC3& q"},
        {"<e>one</e><e>two</e>", "one"},
        {"<e>one <!-- two --> three</e>", "one three"},
        {"<e>  </e>", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.document);
        TXmlNode root;
        root.ParseString(c.document);
        ASSERT_NE(root.FindChild("e"), nullptr);
        EXPECT_EQ(Text(root.FindChild("e")->GetText()), c.text);
        EXPECT_EQ(Text(root.ToString()), ThroughSource(c.document));
    }
    TXmlNode root;
    root.ParseString("<e>one <c a=\"value\" b=\"\"/> two</e>");
    const TXmlNode* child = root.FindChild("e")->FindChild("c");
    EXPECT_EQ(Text(child->GetAttribute("a")), "value");
    bool quoted = false;
    EXPECT_EQ(Text(child->GetAttribute("b", &quoted)), "");
    EXPECT_TRUE(quoted);
}

// The reader takes the common steps inside a tag (name="value", ">", "/>") in one go; every
// shape near them must read as the character source reads it, token by token.
TEST(XmlArenaTest, TagsReadInOneGoMatchTheCharacterSource) {
    const struct {
        const char* document;
        const char* value;  // of the attribute a of the element e; null: e has no such attribute
    } cases[] = {
        {"<e a=\"1\" b=\"2\"/>", "1"},
        {"<e a=\"1\">text</e>", "1"},
        {"<e a=\"\"/>", ""},
        {"<e a=\"x\"b=\"y\"/>", "x"},               // no space between attributes
        {"<e a = \"1\" b =\"2\" c= \"3\"/>", "1"},  // spaces around "="
        {"<e a=\"1 &amp; 2\"/>", "1 & 2"},          // a reference in the value
        {"<e a&amp;=\"1\" a=\"2\"/>", "2"},         // a reference in the name
        {"<e a=\"x>y\"/>", "x>y"},
        {"<e a=\"&gt;x &quot;q&quot;\"/>", ">x \"q\""},  // decoded, not the tag's end
        {"<e a=\"&#62;x\"/>", ">x"},
        {"<e a=\"&#0;x\" b=\"2\"/>",
         ""},  // a value cut short by a NUL                  // ">" inside a value
        {"<e a=\">\"/>", nullptr},  // a value beginning with ">" ends the tag
        {"<e a=\">x\" b=\"1\">text</e>", nullptr},
        {"<e a='1'/>", "'1'"},  // single quotes are kept
        {"<e a=1/>", "1"},      // "name/>" reads as "name", "/", ">"
        {"<e a=\"1\"/ >", "1"},
        {"<e a=\"1\" / >", "1"},
        {"<e a=\"1\" b>", "1"},  // a name without a value
        {"<e b a=\"1\"/>", "1"},
        {"<e a=\"1\"", "1"},  // the input ends in the tag
        {"<e a=\"1", "1"},
        {"<e a=\"", ""},
        {"<e a=", nullptr},
        {"<e a=\"1\">x</e><f a=\"2\"/>", "1"},
        {"<e a=\"\xC3\"\"/>", "\xC3\""},  // a lead byte takes the quote along
        {"<e a=\"\xC3\xA9\"/>", "\xC3\xA9"},
        {"<e /a=\"1\"/>", nullptr},
        {"<e ?a=\"1\"?>", nullptr},
        {"<?xml version=\"1.0\"?><e a=\"1\"/>", "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.document);
        TXmlNode root;
        root.ParseString(c.document);
        EXPECT_EQ(Text(root.ToString()), ThroughSource(c.document));
        const TXmlNode* e = root.FindChild("e");
        ASSERT_NE(e, nullptr);
        if (c.value == nullptr) {
            EXPECT_EQ(Text(e->GetAttribute("a")), "");
        } else {
            EXPECT_EQ(Text(e->GetAttribute("a")), c.value);
        }
    }
}

TEST(XmlArenaTest, ValuesReadOutliveTheDocumentAndRemovedNodes) {
    str name;
    str text;
    str value;
    {
        TXmlNode root;
        root.ParseString(
            "<World Seed=\"42\"><Creature Id=\"7\">water &amp; rest</Creature>"
            "<Creature Id=\"8\"/><Other/></World>");
        TXmlNode* world = root.FindChild("World");
        TXmlNode* first = world->FindChild("Creature");
        name = first->GetName();
        text = first->GetText();
        value = first->GetAttribute("Id");
        world->RemoveChild(first);
        // The rest of the tree keeps its values, and new nodes take the freed memory.
        EXPECT_EQ(Text(world->GetAttribute("Seed")), "42");
        ASSERT_NE(world->FindChild("Creature"), nullptr);
        EXPECT_EQ(Text(world->FindChild("Creature")->GetAttribute("Id")), "8");
        for (int i = 0; i < 100; ++i) {
            TXmlNode* added = world->AddChild("Added");
            added->SetAttributeInt("n", i);
            added->AppendText("some text", 9);
            if (i % 2 == 0) world->RemoveChild(added);
        }
        EXPECT_EQ(world->GetChildren().size(), 52u);
        EXPECT_EQ(Text(world->GetChildren().back()->GetAttribute("n")), "99");
        EXPECT_EQ(Text(world->GetChildren().back()->GetText()), "some text");
    }
    EXPECT_EQ(Text(name), "Creature");
    EXPECT_EQ(Text(text), "water & rest");
    EXPECT_EQ(Text(value), "7");
}

TEST(XmlArenaTest, ParsedValuesChangeLikeAnyOther) {
    TXmlNode root;
    root.ParseString("<e a=\"1\" bare=5>first words</e>");
    TXmlNode* e = root.FindChild("e");
    e->SetAttribute("a", "a much longer value than before");
    e->SetAttribute("bare", "");
    e->SetAttributeInt("new", 3);
    e->AppendText("added", 5);
    e->AppendText("", 0);
    e->AddAttribute("a", "second", false);
    EXPECT_EQ(Text(e->ToString()),
              "<e\n"
              "    a=\"a much longer value than before\"\n"
              "    bare=\"\"\n"
              "    new=\"3\"\n"
              "    a=second>\n"
              "first words added \n"
              "</e>\n");
    // A second document read into the same node adds to it; the first one's values stay.
    root.ParseString("<f b=\"2\">more</f>");
    ASSERT_NE(root.FindChild("f"), nullptr);
    EXPECT_EQ(Text(root.FindChild("f")->GetAttribute("b")), "2");
    EXPECT_EQ(Text(e->GetText()), "first words added ");
    // A node of the document reads a document of its own into itself.
    TXmlNode* f = root.FindChild("f");
    f->ParseString("<g c=\"3\">inner</g> tail");
    EXPECT_EQ(Text(f->GetText()), "more tail");
    EXPECT_EQ(Text(f->FindChild("g")->GetAttribute("c")), "3");
}

// A derived class whose AddChild files elements of any document under a node of another tree:
// the parse reaches nodes that live elsewhere, and they must keep what they got after the
// document that gave it is gone.
class Redirect : public TXmlNode {
public:
    explicit Redirect(TXmlNode* target) : mTarget(target) {}
    TXmlNode* AddChild(const str& name) override { return mTarget->AddChild(name); }

private:
    TXmlNode* mTarget;
};

TEST(XmlArenaTest, ASubtreeFilledFromAnotherDocumentKeepsItsValues) {
    const std::string document =
        "<Creature Id=\"1\" Name=\"A &amp; B\">walks <Task Kind=\"3\">gather water</Task> far"
        "</Creature>";
    const std::string expected = Direct(document);
    for (bool parsedTarget : {false, true}) {
        SCOPED_TRACE(parsedTarget ? "into a parsed tree" : "into a built tree");
        TXmlNode target;
        if (parsedTarget) target.ParseString("<Before x=\"y\"/>");
        {
            Redirect source(&target);
            source.ParseString(document.data(), document.size());
            EXPECT_TRUE(source.GetChildren().empty());
        }
        TXmlNode* creature = target.FindChild("Creature");
        ASSERT_NE(creature, nullptr);
        EXPECT_EQ(Text(creature->GetAttribute("Name")), "A & B");
        EXPECT_EQ(Text(creature->GetText()), "walks far");
        EXPECT_EQ(Text(creature->FindChild("Task")->GetText()), "gather water");
        TXmlNode reread;
        reread.ParseString(creature->ToString().c_str());
        EXPECT_EQ(Text(reread.ToString()), expected);
    }
}

// Copies a tree through the public operations.
void CopyInto(TXmlNode* to, TXmlNode* from) {
    str name;
    str value;
    from->ResetAttributes();
    while (from->GetNextAttribute(name, value))
        to->SetAttribute(name, value);
    const str text = from->GetText();
    if (text.Length() != 0) to->AppendText(text, static_cast<int>(text.Length()));
    TXmlNode* child;
    from->ResetChildren();
    while (from->GetNextChild(name, child))
        CopyInto(to->AddChild(name), child);
}

TEST(XmlArenaTest, ACopyOfAParsedTreeOutlivesIt) {
    const std::string document =
        "<World T=\"1\"><A x=\"1\" y=\"&lt;2&gt;\">text &amp; more<B/></A><C>c</C></World>";
    TXmlNode copy("World");
    std::string original;
    {
        TXmlNode root;
        root.ParseString(document.data(), document.size());
        TXmlNode* world = root.FindChild("World");
        original = Text(world->ToString());
        CopyInto(&copy, world);
    }
    EXPECT_EQ(Text(copy.ToString()), original);
}

// Overrides one operation only: the others stay plain, and the nodes it makes go the direct
// way; the tree must be the one a plain node reads.
class TextCounter : public TXmlNode {
public:
    void AppendText(const str& token, int length) override {
        ++mWords;
        TXmlNode::AppendText(token, length);
    }
    int mWords = 0;
};

TEST(XmlArenaTest, ADerivedRootWithPlainChildren) {
    const std::string document = "top <a k=\"v\">one two</a> words <b/>";
    TextCounter root;
    root.ParseString(document.data(), document.size());
    EXPECT_EQ(root.mWords, 2);  // its own text only
    EXPECT_EQ(Text(root.ToString()), Direct(document));
    EXPECT_EQ(Text(root.FindChild("a")->GetText()), "one two");
}

TEST(XmlArenaTest, ADocumentAtTheDepthLimit) {
    std::string text;
    for (int i = 0; i < TXmlNode::kMaxDepth; ++i)
        text += "<d v=\"" + std::to_string(i) + "\">";
    text += "deepest";
    for (int i = 0; i < TXmlNode::kMaxDepth; ++i)
        text += "</d>";
    text += "<after/>";
    TXmlNode doc;
    doc.ParseString(text.data(), text.size());
    const TXmlNode* node = &doc;
    int depth = 0;
    while (node->FindChild("d") != nullptr) {
        node = node->FindChild("d");
        ASSERT_EQ(Text(node->GetAttribute("v")), std::to_string(depth));
        ++depth;
    }
    EXPECT_EQ(depth, TXmlNode::kMaxDepth);
    EXPECT_EQ(Text(node->GetText()), "deepest");
    EXPECT_NE(doc.FindChild("after"), nullptr);  // read to the end: nothing went too deep
}

TEST(XmlArenaTest, TheChildListFollowsChanges) {
    TXmlNode root;
    root.ParseString("<a/><b/>");
    const TXmlNodeList& children = root.GetChildren();
    ASSERT_EQ(children.size(), 2u);
    root.AddChild("c");
    root.RemoveChild(root.FindChild("a"));
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(Text(children.front()->GetName()), "b");
    EXPECT_EQ(Text(children.back()->GetName()), "c");
    std::vector<std::string> names;
    for (const TXmlNode* child : children)
        names.push_back(Text(child->GetName()));
    EXPECT_EQ(names, (std::vector<std::string>{"b", "c"}));
}

}  // namespace
