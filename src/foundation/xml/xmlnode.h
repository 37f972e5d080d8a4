// TXmlNode: the program's XML element, with a name, attributes, text and child elements. It loads
// itself from a file or from text in memory and writes itself back as indented text.
//
// The reader is a small tokenizer, not a conforming XML parser, and stored files depend on its
// exact behaviour:
//   - text is split at whitespace and joined again with single spaces; text in double quotes loses
//     its quotes and keeps its spaces; "=" is a token of its own, so a=b reads back as "a = b";
//   - attribute values in single quotes keep the quotes; a bare value (a=5) is kept and written
//     back without quotes;
//   - the declaration, a document type and comments become childless elements named "?xml",
//     "!DOCTYPE" and "!--" (or "!--" followed by the comment's first word); a ">" ends a comment;
//   - "&#N;" (decimal only) gives the byte N mod 256, and &amp; &lt; &gt; &quot; &apos; their
//     characters; any other "&" stays;
//   - an end tag closes the element it is in, whatever its name; an unterminated document keeps
//     what was read; nesting deeper than 4,096 levels stops the reading there (logged).
// No parse error is reported: callers notice missing elements or attributes.
//
// The "ZXML" form is read too: "ZXML", the packed size and the text's size (int32 little-endian
// each), then a zlib stream. Sizes outside the data or above 64 MiB, and streams that do not
// inflate, load nothing (logged).
//
// The writer indents by four spaces a level, puts each attribute on a line of its own, escapes
// every byte below 0x20 or from 0x80 as its own numeric reference (so any bytes but NUL survive a
// write and a read), and has no empty-element form.
//
// A node owns its children. The parse calls AddChild, EndElement, AppendText and AddAttribute,
// so a derived class can act on the document as it is read; for a plain TXmlNode, which does not
// override them, the reader builds the node directly.
//
// Memory: a node that reads a document (ParseString, LoadFile, Parse) gets an arena
// (xmlarena.h) that it owns; the nodes the reader makes, and the children later added to them,
// live in it, with their lists and texts, and the document's text is kept there once, so
// attribute values and texts are read from it where they stood. Nodes made any other way (a
// node on the stack, AddChild on a node that has no arena, a derived class's AddChild) are on
// the heap as before. Either way a node is destroyed by its parent; str values handed out
// (GetName, GetText, GetAttribute) are copies that outlive the tree. One thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "foundation/str.h"
#include "foundation/xml/xmlname.h"

class TGetChar;
class TXmlArena;
class TXmlNode;

// The children of a node in document order. GetChildren answers the node's own list, which
// follows later changes as a reference to a container would; AddChild and RemoveChild on the node
// invalidate its iterators.
class TXmlNodeList {
public:
    using value_type = TXmlNode*;
    using const_iterator = TXmlNode* const*;
    using iterator = const_iterator;
    using size_type = size_t;

    const_iterator begin() const { return mData; }
    const_iterator end() const { return mData + mSize; }
    size_t size() const { return mSize; }
    bool empty() const { return mSize == 0; }
    TXmlNode* operator[](size_t index) const { return mData[index]; }
    TXmlNode* front() const { return mData[0]; }
    TXmlNode* back() const { return mData[mSize - 1]; }
    TXmlNode* const* data() const { return mData; }

private:
    friend class TXmlNode;
    TXmlNode** mData = nullptr;
    uint32_t mSize = 0;
    uint32_t mCapacity = 0;
};

class TXmlNode {
public:
    TXmlNode();
    explicit TXmlNode(const char* name);
    explicit TXmlNode(const str& name);
    virtual ~TXmlNode();
    TXmlNode(const TXmlNode&) = delete;
    TXmlNode& operator=(const TXmlNode&) = delete;

    str GetName() const { return Name(); }
    str GetText() const;

    // A new last child with that name; this node owns it.
    virtual TXmlNode* AddChild(const str& name);
    // An element ended: an end tag's token ("/name"), or the name of an element that closed
    // itself (empty element, declaration, comment). Nothing happens here.
    virtual void EndElement(const str& token);
    // Appends a text token, after a single space when there is text already.
    virtual void AppendText(const str& token, int length);
    // Appends an attribute without looking for one of the same name. quoted: the value stood in
    // double quotes (or was set by the program) and is written back in them.
    virtual void AddAttribute(const str& name, const str& value, bool quoted);

    // Takes every entry of node out of the children and deletes it; null is ignored. Safe during
    // a GetNextChild walk: the walk goes on with the child after the removed one.
    void RemoveChild(TXmlNode* node);
    // The first child with that exact name, or null.
    TXmlNode* FindChild(const str& name) const;
    void ResetChildren() { mChildCursor = 0; }
    bool GetNextChild(str& name, TXmlNode*& node);
    const TXmlNodeList& GetChildren() const { return mChildren; }

    // The value of the first attribute with that name; empty (and quoted untouched) without one.
    str GetAttribute(const str& name, bool* quoted = nullptr) const;
    // Replaces the first attribute's value or appends one; either way it is written quoted.
    void SetAttribute(const str& name, const str& value);
    void SetAttributeInt(const str& name, int value);
    void ResetAttributes() { mAttributeCursor = 0; }
    bool GetNextAttribute(str& name, str& value);

    // Reads a file (plain or "ZXML") into this node: the document's top elements become its
    // children. A file that does not open leaves the node as it was, without a message (the file
    // layer logs a special file); one of more than limit bytes or "ZXML" data that do not unpack
    // are not read, and one whose read stops early is read as far as it came, each with a log
    // line naming it. True when the whole file was read.
    bool LoadFile(const str& name, uint32_t limit);
    // LoadFile with the largest limit the file layer knows.
    void LoadFile(const str& name);
    // Text in memory; "ZXML" data holds NUL bytes, so it needs the length form. Text of 2 GiB
    // or more is not read (logged).
    void ParseString(const char* text);
    void ParseString(const char* text, size_t length);
    // Reads a document from any character source into this node.
    void Parse(TGetChar& source);

    // This node and its subtree as text.
    str ToString();

    // The deepest nesting the reader follows.
    static constexpr int kMaxDepth = 4096;

protected:
    // Appends a child made by a derived class's AddChild; this node owns it from now on.
    TXmlNode* AdoptChild(TXmlNode* child) {
        if (child == nullptr) return nullptr;
        if (mChildren.mSize == mChildren.mCapacity) GrowChildren();
        mChildren.mData[mChildren.mSize++] = child;
        return child;
    }

private:
    friend class TXmlFastRoute;  // the reader's direct route (xmlreader.cpp)

    // A name is interned in the document's arena by the reader (shared by all nodes of that name
    // and released with the arena), or a str of the node's own: one of the two is held.
    struct Attribute {
        union {
            const TXmlName* interned;
            str own;
        };
        // The value's bytes (no terminator; a NUL among them ends the value as str would), in
        // the document's text, or in this node's storage when owned.
        const char* value;
        uint32_t length;
        bool quoted;
        bool owned;
        bool isInterned;

        Attribute()
            : own(), value(nullptr), length(0), quoted(true), owned(false), isInterned(false) {}
        // As the reader makes it: an interned name, a value in the document's text.
        Attribute(const TXmlName* name, const char* bytes, uint32_t size, bool inQuotes)
            : interned(name),
              value(bytes),
              length(size),
              quoted(inQuotes),
              owned(false),
              isInterned(true) {}
        // Takes over other's name, leaving it without one.
        Attribute(Attribute&& other) noexcept;
        ~Attribute() {
            if (!isInterned) own.~str();
        }
        const str& Name() const { return isInterned ? interned->Text() : own; }
    };

    // A node named by a name interned in its document's arena.
    explicit TXmlNode(const TXmlName* interned) : mInternedName(interned), mNameInterned(true) {}
    // A node placed in arena; the one of an interned name is the reader's (xmlreader.cpp).
    static TXmlNode* NewPlaced(TXmlArena* arena, const str& name);
    static TXmlNode* NewPlaced(TXmlArena* arena, const TXmlName* interned);
    // Room for one more child.
    void GrowChildren();
    // The arena this node reads documents into: the one it is placed in, or its own (made now).
    TXmlArena* DocumentArena();
    // Storage for this node's lists, texts and values: its arena when placed in one, else the heap.
    void* Take(size_t bytes);
    void Give(void* memory, size_t bytes);
    void DestroyChild(TXmlNode* child);
    // Room for one more attribute at the end, counted but not yet made.
    Attribute* AttributeSlot();
    Attribute& PushAttribute() { return *new (AttributeSlot()) Attribute(); }
    void SetValue(Attribute& attribute, const char* bytes, size_t length);
    // AppendText on bytes: a space first when there is text already.
    void AppendTextBytes(const char* bytes, size_t length);

    // Reads length bytes of a document, in place: the reader decodes them where they stand. A NUL
    // follows them (UnpackZxml leaves one too).
    void ParseInPlace(std::unique_ptr<char[]> text, size_t length);
    // False when the data do not unpack (logged, naming the file when one is given).
    bool ParseCompressed(const char* data, size_t length, const str* fileName = nullptr);
    void WriteTo(std::string& out, int indent) const;

    const str& Name() const { return mNameInterned ? mInternedName->Text() : mOwnName; }

    union {
        const TXmlName* mInternedName;
        str mOwnName;
    };
    TXmlArena* mArena = nullptr;
    // The text: mTextCapacity bytes of this node's storage, or (capacity 0) bytes of the
    // document's text. A long text arrives one token at a time.
    char* mText = nullptr;
    uint32_t mTextLength = 0;
    uint32_t mTextCapacity = 0;
    TXmlNodeList mChildren;
    Attribute* mAttributes = nullptr;
    uint32_t mAttributeCount = 0;
    uint32_t mAttributeCapacity = 0;
    uint32_t mChildCursor = 0;
    uint32_t mAttributeCursor = 0;
    int mOutputHint = 4096;
    bool mNameInterned = false;
    bool mPlaced = false;     // lives in mArena's memory
    bool mOwnsArena = false;  // mArena is this node's, made when it read a document
};
