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
// so a derived class can act on the document as it is read. One thread at a time.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "foundation/str.h"

class TGetChar;

class TXmlNode {
public:
    TXmlNode();
    explicit TXmlNode(const char* name);
    explicit TXmlNode(const str& name);
    virtual ~TXmlNode();
    TXmlNode(const TXmlNode&) = delete;
    TXmlNode& operator=(const TXmlNode&) = delete;

    str GetName() const { return mName; }
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
    const std::vector<TXmlNode*>& GetChildren() const { return mChildren; }

    // The value of the first attribute with that name; empty (and quoted untouched) without one.
    str GetAttribute(const str& name, bool* quoted = nullptr) const;
    // Replaces the first attribute's value or appends one; either way it is written quoted.
    void SetAttribute(const str& name, const str& value);
    void SetAttributeInt(const str& name, int value);
    void ResetAttributes() { mAttributeCursor = 0; }
    bool GetNextAttribute(str& name, str& value);

    // Reads a file (plain or "ZXML") into this node: the document's top elements become its
    // children. A file that does not open leaves the node as it was, without a message.
    void LoadFile(const str& name);
    // Text in memory; "ZXML" data holds NUL bytes, so it needs the length form.
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
    TXmlNode* AdoptChild(TXmlNode* child);

private:
    struct Attribute {
        str name;
        str value;
        bool quoted;
    };

    // Text in memory that is not "ZXML".
    void ParsePlain(const char* text, size_t length);
    void ParseCompressed(const char* data, size_t length);
    void WriteTo(std::string& out, int indent) const;

    // Text is kept as a growing byte buffer: a long text arrives one token at a time.
    std::string mText;
    int mOutputHint = 4096;
    str mName;
    std::vector<TXmlNode*> mChildren;
    size_t mChildCursor = 0;
    std::vector<Attribute> mAttributes;
    size_t mAttributeCursor = 0;
};
