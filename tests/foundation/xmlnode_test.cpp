#include "foundation/xml/xmlnode.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "filefixture.h"
#include "foundation/xml/getchar.h"
#include "foundation/file/inflate.h"

namespace {

std::string Text(const str& s) {
    return s.c_str();
}

// Child names of a node in order.
std::vector<std::string> ChildNames(const TXmlNode& node) {
    std::vector<std::string> names;
    for (const TXmlNode* child : node.GetChildren())
        names.push_back(Text(child->GetName()));
    return names;
}

TEST(XmlReaderTest, EmptyElementsWithAndWithoutASpace) {
    TXmlNode doc;
    doc.ParseString("<r><a/><b x=\"1\" /><c>t</c></r><after/>");
    ASSERT_EQ(ChildNames(doc), (std::vector<std::string>{"r", "after"}));
    const TXmlNode* r = doc.FindChild("r");
    ASSERT_EQ(ChildNames(*r), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(r->FindChild("a")->GetChildren().empty());
    EXPECT_EQ(Text(r->FindChild("b")->GetAttribute("x")), "1");
    EXPECT_EQ(Text(r->FindChild("c")->GetText()), "t");
}

TEST(XmlReaderTest, DeclarationDoctypeAndCommentsAreChildlessElements) {
    TXmlNode doc;
    doc.ParseString(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE settings>\n"
        "<!-- a comment -->\n<!--tight-->\n<settings a=\"1\"><!-- x > <inner/> --></settings>");
    EXPECT_EQ(ChildNames(doc),
              (std::vector<std::string>{"?xml", "!DOCTYPE", "!--", "!--tight--", "settings"}));
    const TXmlNode* declaration = doc.GetChildren()[0];
    EXPECT_EQ(Text(declaration->GetAttribute("version")), "1.0");
    EXPECT_EQ(Text(declaration->GetAttribute("encoding")), "UTF-8");
    EXPECT_TRUE(declaration->GetChildren().empty());
    // A ">" inside a comment ends it: what follows is read as content.
    const TXmlNode* settings = doc.FindChild("settings");
    EXPECT_EQ(ChildNames(*settings), (std::vector<std::string>{"!--", "inner"}));
    EXPECT_EQ(Text(settings->GetText()), "-- >");
}

TEST(XmlReaderTest, TextAndValueQuirks) {
    TXmlNode doc;
    doc.ParseString(
        "<e single='a b' bare=5 empty=\"\" dup=\"1\" dup=\"2\" flag>"
        "  two   words  \"quoted   text\" a=b  </e>");
    const TXmlNode* e = doc.FindChild("e");
    ASSERT_NE(e, nullptr);
    // Single quotes are not quotes: the value stops at the blank and keeps its quote.
    EXPECT_EQ(Text(e->GetAttribute("single")), "'a");
    bool quoted = true;
    EXPECT_EQ(Text(e->GetAttribute("bare", &quoted)), "5");
    EXPECT_FALSE(quoted);
    EXPECT_EQ(Text(e->GetAttribute("empty", &quoted)), "");
    EXPECT_TRUE(quoted);
    EXPECT_EQ(Text(e->GetAttribute("dup")), "1");
    EXPECT_EQ(Text(e->GetText()), "two words quoted   text a = b");
    quoted = true;
    EXPECT_EQ(Text(e->GetAttribute("missing", &quoted)), "");
    EXPECT_TRUE(quoted);  // untouched
}

TEST(XmlReaderTest, References) {
    const struct {
        const char* value;
        std::string expected;
    } cases[] = {
        {"&#233;", "\xE9"},
        {"&#195;&#169;", "\xC3\xA9"},
        {"&amp;&lt;&gt;&quot;&apos;", "&<>\"'"},
        {"&#38;amp;", "&amp;"},  // decoded once, left to right
        {"a&b &unknown; &#", "a&b &unknown; &#"},
        {"&#999999999999999999;", "\xFF"},  // low 8 bits, no overflow
        {"&#-23;", "\xE9"},
        {"&#65abc;z", "Az"},
        {"x&#x41;y", "x"},  // no hexadecimal form: the byte 0 ends the text
    };
    for (const auto& c : cases) {
        TXmlNode doc;
        doc.ParseString((std::string("<e v=\"") + c.value + "\"/>").c_str());
        ASSERT_NE(doc.FindChild("e"), nullptr) << c.value;
        EXPECT_EQ(Text(doc.FindChild("e")->GetAttribute("v")), c.expected) << c.value;
    }
    // Text starting with a reference is text, even "&lt;".
    TXmlNode doc;
    doc.ParseString("<e>&lt;b&gt; x</e>");
    EXPECT_EQ(Text(doc.FindChild("e")->GetText()), "<b> x");
    EXPECT_TRUE(doc.FindChild("e")->GetChildren().empty());
}

TEST(XmlReaderTest, EndTagsAreNotMatchedAndUnterminatedInputKeepsWhatWasRead) {
    TXmlNode doc;
    doc.ParseString("<a><b></x><c>text");
    const TXmlNode* a = doc.FindChild("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(ChildNames(*a), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(Text(a->FindChild("c")->GetText()), "text");

    TXmlNode cut;
    cut.ParseString("<a x=\"1\" y=");
    ASSERT_NE(cut.FindChild("a"), nullptr);
    EXPECT_EQ(Text(cut.FindChild("a")->GetAttribute("x")), "1");
}

TEST(XmlReaderTest, MultiByteCharactersAreReadWhole) {
    // The bytes after a lead byte belong to its character, whatever they are: the "<" after
    // 0xC3 is not markup.
    TXmlNode doc;
    doc.ParseString("<e>caf\xC3\xA9 \xC3<b/></e>");
    const TXmlNode* e = doc.FindChild("e");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(Text(e->GetText()), "caf\xC3\xA9 \xC3<b / >");
    EXPECT_TRUE(e->GetChildren().empty());
}

// Records what the parser tells a node, and builds its children as recorders too.
class Recorder : public TXmlNode {
public:
    explicit Recorder(std::vector<std::string>* events, const char* name = "")
        : TXmlNode(name), mEvents(events) {}
    TXmlNode* AddChild(const str& name) override {
        mEvents->push_back("child " + Text(name));
        return AdoptChild(new Recorder(mEvents, name.c_str()));
    }
    void EndElement(const str& token) override { mEvents->push_back("end " + Text(token)); }
    void AppendText(const str& token, int length) override {
        mEvents->push_back("text " + Text(token) + " " + std::to_string(length));
    }
    void AddAttribute(const str& name, const str& value, bool quoted) override {
        mEvents->push_back("attr " + Text(name) + "=" + Text(value) + (quoted ? " q" : ""));
    }

private:
    std::vector<std::string>* mEvents;
};

TEST(XmlReaderTest, ParserHooksSeeTheDocumentAsItIsRead) {
    std::vector<std::string> events;
    Recorder doc(&events);
    doc.ParseString("<a k=v><b/>hi</a>");
    EXPECT_EQ(events, (std::vector<std::string>{"child a", "attr k=v", "child b", "end b",
                                                "text hi 2", "end /a"}));
    EXPECT_EQ(ChildNames(*doc.FindChild("a")), (std::vector<std::string>{"b"}));
}

TEST(XmlReaderTest, CharacterSources) {
    const char text[] = "<a>x</a>";
    TGetCharString source(text, 8);
    EXPECT_EQ(source.UngetChar('z'), -1);
    EXPECT_EQ(source.GetChar(), '<');
    EXPECT_EQ(source.UngetChar('<'), '<');
    TXmlNode fromString;
    fromString.Parse(source);
    EXPECT_EQ(source.GetChar(), -1);
    source.Rewind();
    EXPECT_EQ(source.GetChar(), '<');

    TGetCharFile missing("no/such/file.xml");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(missing.GetChar(), -1);
    EXPECT_EQ(missing.UngetChar('a'), -1);
    EXPECT_EQ(Text(fromString.ToString()), "<>\n    <a>\n    x\n    </a>\n</>\n");
}

TEST(XmlWriterTest, FiveLineWorld) {
    TXmlNode world("World");
    world.SetAttributeInt("CurrentTime", 10);
    world.AddChild("GlobalData");
    EXPECT_EQ(Text(world.ToString()),
              "<World\n"
              "    CurrentTime=\"10\">\n"
              "    <GlobalData>\n"
              "    </GlobalData>\n"
              "</World>\n");
}

TEST(XmlWriterTest, TextAttributesEscapingAndBareValues) {
    TXmlNode doc;
    doc.ParseString("<n bare=5 q=\"caf\xC3\xA9 &lt;&amp;&gt;\">\tline\x01 'x' </n>");
    TXmlNode* n = doc.FindChild("n");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(Text(n->ToString()),
              "<n\n"
              "    bare=5\n"
              "    q=\"caf&#195;&#169; &lt;&amp;&gt;\">\n"
              "line&#1; &apos;x&apos;\n"
              "</n>\n");
    n->SetAttribute("bare", "6");  // the program's values are quoted
    EXPECT_NE(Text(n->ToString()).find("bare=\"6\""), std::string::npos);
    TXmlNode e("e");
    e.SetAttribute("v", "\xE9");
    EXPECT_EQ(Text(e.ToString()), "<e\n    v=\"&#233;\">\n</e>\n");
}

TEST(XmlNodeTest, TreeOperations) {
    TXmlNode root("root");
    TXmlNode* a = root.AddChild("a");
    root.AddChild("b");
    root.AddChild("a");
    EXPECT_EQ(root.FindChild("a"), a);
    EXPECT_EQ(root.FindChild("A"), nullptr);
    str name;
    TXmlNode* node = nullptr;
    std::vector<std::string> seen;
    root.ResetChildren();
    while (root.GetNextChild(name, node))
        seen.push_back(Text(name));
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "a"}));
    root.RemoveChild(a);
    root.RemoveChild(nullptr);
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"b", "a"}));

    root.SetAttribute("x", "1");
    root.SetAttributeInt("y", -2);
    root.SetAttribute("x", "3");
    str value;
    seen.clear();
    root.ResetAttributes();
    while (root.GetNextAttribute(name, value))
        seen.push_back(Text(name) + "=" + Text(value));
    EXPECT_EQ(seen, (std::vector<std::string>{"x=3", "y=-2"}));
}

TEST(XmlNodeTest, RemovingChildrenDuringAWalkVisitsEveryChild) {
    // Each row: the children, the names removed as the walk meets them.
    const struct {
        std::vector<std::string> children;
        std::string removed;
        std::vector<std::string> visited;
        std::vector<std::string> left;
    } cases[] = {
        {{"a", "x", "b", "x", "x", "c"}, "x", {"a", "x", "b", "x", "x", "c"}, {"a", "b", "c"}},
        {{"x", "x"}, "x", {"x", "x"}, {}},
        {{"a", "b"}, "b", {"a", "b"}, {"a"}},
    };
    for (const auto& c : cases) {
        TXmlNode root("root");
        for (const std::string& name : c.children)
            root.AddChild(name.c_str());
        std::vector<std::string> visited;
        str name;
        TXmlNode* node = nullptr;
        root.ResetChildren();
        while (root.GetNextChild(name, node)) {
            visited.push_back(Text(name));
            if (Text(name) == c.removed) root.RemoveChild(node);
        }
        EXPECT_EQ(visited, c.visited);
        EXPECT_EQ(ChildNames(root), c.left);
    }
    // Removing a child the walk has not reached yet leaves the walk where it was.
    TXmlNode root("root");
    root.AddChild("a");
    root.AddChild("b");
    TXmlNode* c = root.AddChild("c");
    str name;
    TXmlNode* node = nullptr;
    root.ResetChildren();
    ASSERT_TRUE(root.GetNextChild(name, node));
    root.RemoveChild(c);
    ASSERT_TRUE(root.GetNextChild(name, node));
    EXPECT_EQ(Text(name), "b");
    EXPECT_FALSE(root.GetNextChild(name, node));
}

// Random trees within what the format carries: names from [A-Za-z_][A-Za-z0-9_.-]*, texts of
// words without "=" joined by single spaces, attribute values of any bytes but NUL.
class RandomTree {
public:
    explicit RandomTree(uint32_t seed) : mRandom(seed) {}

    void Fill(TXmlNode* node, int depth) {
        const int attributes = Pick(4);
        for (int i = 0; i < attributes; ++i)
            node->SetAttribute(Name().c_str(), Value().c_str());
        if (Pick(2) == 0) {
            const int words = 1 + Pick(4);
            std::string text;
            for (int i = 0; i < words; ++i)
                text += (i > 0 ? " " : "") + Word();
            node->AppendText(text.c_str(), static_cast<int>(text.size()));
        }
        const int children = depth < 4 ? Pick(4) : 0;
        for (int i = 0; i < children; ++i)
            Fill(node->AddChild(Name().c_str()), depth + 1);
    }

private:
    int Pick(int n) { return static_cast<int>(mRandom() % static_cast<uint32_t>(n)); }
    std::string Name() {
        static const char first[] = "ABCXYZabcxyz_";
        static const char rest[] = "ABCabcz019_.-";
        std::string name(1, first[Pick(sizeof first - 1)]);
        for (int i = Pick(6); i > 0; --i)
            name += rest[Pick(sizeof rest - 1)];
        return name;
    }
    std::string Word() {
        std::string word;
        for (int i = 1 + Pick(6); i > 0; --i) {
            char c;
            do {
                c = static_cast<char>(1 + Pick(255));
            } while (c == '=' || c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' ||
                     c == '\f');
            word += c;
        }
        return word;
    }
    std::string Value() {
        std::string value;
        for (int i = Pick(8); i > 0; --i)
            value += static_cast<char>(1 + Pick(255));
        return value;
    }
    std::mt19937 mRandom;
};

TEST(XmlRoundTripTest, RandomTreesSurviveAWriteAndARead) {
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        TXmlNode root("Root");
        RandomTree(seed).Fill(&root, 0);
        const str first = root.ToString();
        TXmlNode doc;
        doc.ParseString(first.c_str());
        ASSERT_EQ(doc.GetChildren().size(), 1u) << "seed " << seed;
        EXPECT_EQ(Text(doc.GetChildren()[0]->ToString()), Text(first)) << "seed " << seed;
    }
}

std::string Compressed(const std::string& text, int32_t packedDelta = 0,
                       int32_t unpackedDelta = 0) {
    uLongf packedSize = compressBound(text.size());
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
             reinterpret_cast<const Bytef*>(text.data()), text.size());
    packed.resize(packedSize);
    std::string out = "ZXML";
    auto put = [&out](int32_t v) {
        for (int i = 0; i < 4; ++i)
            out += static_cast<char>(static_cast<uint32_t>(v) >> (8 * i));
    };
    put(static_cast<int32_t>(packed.size()) + packedDelta);
    put(static_cast<int32_t>(text.size()) + unpackedDelta);
    return out + packed;
}

using XmlFileTest = FileLayerTest;

const char kSettings[] =
    "<?xml version=\"1.0\"?>\n<settings>\n  <gamename>Umbrava</gamename>\n"
    "  <item id=\"1\" v='x'>caf\xC3\xA9</item>\n</settings>\n";

TEST_F(XmlFileTest, CompressedFilesLoadLikePlainOnes) {
    Put("assets/plain.xml", kSettings);
    Put("assets/packed.xml", Compressed(kSettings));
    ScanAssetFolder("", "assets");
    TXmlNode plain;
    plain.LoadFile("plain.xml");
    TXmlNode packed;
    packed.LoadFile("PACKED.xml");
    ASSERT_NE(plain.FindChild("settings"), nullptr);
    EXPECT_EQ(Text(packed.ToString()), Text(plain.ToString()));
    // The file source, stepping back by seeking, reads the same tree.
    TGetCharFile source("plain.xml");
    TXmlNode fromFile;
    fromFile.Parse(source);
    EXPECT_EQ(Text(fromFile.ToString()), Text(plain.ToString()));

    const std::string bytes = Compressed(kSettings);
    TXmlNode inMemory;
    inMemory.ParseString(bytes.data(), bytes.size());
    EXPECT_EQ(Text(inMemory.ToString()), Text(plain.ToString()));
    // Without the length the compressed bytes stop at their first NUL: nothing loads.
    TXmlNode cut;
    cut.ParseString(bytes.c_str());
    EXPECT_TRUE(cut.GetChildren().empty());

    TXmlNode missing;
    missing.LoadFile("missing.xml");
    EXPECT_EQ(missing.FindChild("settings"), nullptr);
    EXPECT_TRUE(missing.GetChildren().empty());
}

TEST_F(XmlFileTest, MalformedCompressedDataLoadsNothing) {
    std::string damaged = Compressed(kSettings);
    damaged[20] = static_cast<char>(damaged[20] ^ 0x55);
    std::string negative = Compressed(kSettings);
    negative[7] = '\x80';
    const struct {
        const char* what;
        std::string bytes;
        const char* logged;
    } cases[] = {
        {"header cut short", std::string("ZXML\x05\0\0\0", 8), "ZXML data cut short"},
        {"packed size past the data", Compressed(kSettings, 1), "ZXML sizes out of range"},
        {"negative packed size", negative, "ZXML sizes out of range"},
        {"unpacked size too large", Compressed(kSettings, 0, 64 * 1024 * 1024),
         "ZXML sizes out of range"},
        {"negative unpacked size", Compressed(kSettings, 0, -1000), "ZXML sizes out of range"},
        {"unpacked size too small", Compressed(kSettings, 0, -1), "does not inflate"},
        {"stream cut short", Compressed(kSettings, -4), "does not inflate"},
        {"damaged stream", damaged, "does not inflate"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Put("assets/bad.xml", c.bytes);
        ScanAssetFolder("", "assets");
        TXmlNode doc;
        doc.LoadFile("bad.xml");
        EXPECT_TRUE(doc.GetChildren().empty());
        EXPECT_EQ(doc.GetText().Length(), 0u);
        EXPECT_NE(LogText().find(c.logged), std::string::npos) << LogText();
    }
    // A larger unpacked size than needed is fine: only the bytes produced are read.
    TXmlNode roomy;
    const std::string bytes = Compressed(kSettings, 0, 100);
    roomy.ParseString(bytes.data(), bytes.size());
    EXPECT_NE(roomy.FindChild("settings"), nullptr);
}

TEST_F(XmlFileTest, NestingDeeperThanTheLimitStopsThere) {
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "<d>";
    text += "<never/>";
    TXmlNode doc;
    doc.ParseString(text.c_str());
    int depth = 0;
    const TXmlNode* node = &doc;
    while (!node->GetChildren().empty()) {
        ASSERT_EQ(node->GetChildren().size(), 1u);
        node = node->GetChildren()[0];
        ++depth;
    }
    EXPECT_EQ(depth, TXmlNode::kMaxDepth + 1);  // the element that went too deep is kept, empty
    EXPECT_NE(LogText().find("XML nested deeper than 4096 levels"), std::string::npos);
}

TEST(InflateTest, StatusMapping) {
    const std::string text(1000, 'a');
    uLongf packedSize = compressBound(text.size());
    std::vector<unsigned char> packed(packedSize);
    compress(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(text.data()), text.size());
    std::vector<unsigned char> out(2000);

    unsigned long length = out.size();
    EXPECT_EQ(Inflate(out.data(), &length, packed.data(), packedSize), Z_OK);
    EXPECT_EQ(length, 1000u);
    length = 10;
    EXPECT_EQ(Inflate(out.data(), &length, packed.data(), packedSize), Z_BUF_ERROR);
    length = out.size();
    EXPECT_EQ(Inflate(out.data(), &length, packed.data(), packedSize - 3), Z_DATA_ERROR);
    // A stream that asks for a preset dictionary.
    const unsigned char dictionary[] = {0x78, 0xBB, 0x00, 0x00, 0x00, 0x01, 0x03, 0x00};
    length = out.size();
    EXPECT_EQ(Inflate(out.data(), &length, dictionary, sizeof dictionary), Z_DATA_ERROR);
    length = out.size();
    const unsigned char garbage[] = {1, 2, 3, 4};
    EXPECT_EQ(Inflate(out.data(), &length, garbage, sizeof garbage), Z_DATA_ERROR);
}

}  // namespace
