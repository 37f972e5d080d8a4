// The reader behind TXmlNode::Parse, ParseString and LoadFile: the tokenizers and the document
// and tag parsers.
//
// Two roads share the parsers. Text in memory is scanned in place (DirectTokens): a token is a
// run of the document's own bytes, its references decoded where it stands, and a plain TXmlNode
// that lives in the document's arena takes its attribute values and texts as those bytes, with
// no copy (TXmlFastRoute). Any other TGetChar is read byte by byte through its virtual operations
// (VirtualTokens), and every node hears of its document through its overridable operations, as
// does a node of a derived class on either road.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory_resource>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "foundation/log.h"
#include "foundation/xml/getchar.h"
#include "foundation/xml/xmlarena.h"
#include "foundation/xml/xmlnode.h"
#include "foundation/xml/xmlreference.h"

namespace {

bool IsSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The scan's byte classes. A stop ends a run of plain bytes: whitespace, "<", ">" and "=" end an
// unquoted token, '"' a quoted one; lead bytes of longer characters take their continuation bytes
// along; "&" and NUL are noted on the way (a reference to decode, a value cut short, or the NUL
// after the text's end).
// A run of text stops at "<" and at whatever would make its words other than plain ones: a
// quote, ">", "=", "&" (to be looked at), NUL and lead bytes.
struct ByteTable {
    bool space[256];
    bool unquoted[256];
    bool quoted[256];
    bool text[256];
    ByteTable() : space(), unquoted(), quoted(), text() {
        for (int b = 0; b < 256; ++b) {
            const unsigned char c = static_cast<unsigned char>(b);
            const bool noted = b >= 0xC0 || b == '&' || b == 0;
            space[b] = IsSpace(c);
            unquoted[b] = noted || IsSpace(c) || b == '<' || b == '>' || b == '=';
            quoted[b] = noted || b == '"';
            text[b] = noted || b == '<' || b == '>' || b == '=' || b == '"';
        }
    }
};
const ByteTable kBytes;

// How many continuation bytes a lead byte takes along, whatever they are.
int MoreBytes(unsigned char lead) {
    return lead >= 0xF0 ? 3 : (lead >= 0xE0 ? 2 : (lead >= 0xC0 ? 1 : 0));
}

enum class TagStep { kAttribute, kEnd, kClosedEnd, kOther };

struct Token {
    char* data = nullptr;
    size_t length = 0;
    bool quoted = false;
    // The token's first byte came from a reference.
    bool fromReference = false;
    // It may hold a NUL (read or decoded): its value and text end there.
    bool mayHoldNul = false;
    // The first byte when it is markup (not from a reference), else 0.
    char markup = 0;

    bool empty() const { return length == 0; }
    std::string_view View() const { return {data, length}; }
    // The token begins with c, as markup (not from a reference).
    bool BeginsWith(char c) const { return markup == c; }
    // The length of the value or text it gives.
    size_t ValueLength() const { return mayHoldNul ? strnlen(data, length) : length; }
};

str ToStr(const char* bytes, size_t length) {
    return str(bytes, static_cast<int>(std::min<size_t>(length, INT32_MAX - 1)));
}

str ToStr(const Token& token) {
    return ToStr(token.data, token.length);
}

// length bytes of which the first and last Word cover all (length from sizeof(Word) to twice
// that): both are read before either is written, so the two ranges may overlap.
template <class Word>
void MoveCovered(char* to, const char* from, size_t length) {
    Word head;
    Word tail;
    std::memcpy(&head, from, sizeof head);
    std::memcpy(&tail, from + length - sizeof tail, sizeof tail);
    std::memcpy(to, &head, sizeof head);
    std::memcpy(to + length - sizeof tail, &tail, sizeof tail);
}

// memmove to a lower address, for the short words of a text.
inline void MoveDown(char* to, const char* from, size_t length) {
    if (length >= 8 && length <= 16) {
        MoveCovered<uint64_t>(to, from, length);
    } else if (length >= 4 && length < 8) {
        MoveCovered<uint32_t>(to, from, length);
    } else if (length < 4) {
        for (size_t i = 0; i < length; ++i)  // forward, as the move goes down
            to[i] = from[i];
    } else {
        std::memmove(to, from, length);
    }
}

#if defined(__SSE2__)
// Whitespace among sixteen bytes: " " and "\t" to "\r", as a bit a byte.
inline unsigned SpaceBits(const unsigned char* at) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i controls = _mm_sub_epi8(v, _mm_set1_epi8('\t'));
    const __m128i inRange =
        _mm_cmpeq_epi8(_mm_min_epu8(controls, _mm_set1_epi8('\r' - '\t')), controls);
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')), inRange)));
}
#endif

// The first byte at or after at that is not whitespace. Most runs are a byte or two; longer ones
// (indentation of any kind) go sixteen bytes a step while that many lie before end. The NUL at
// end stops the scan.
inline unsigned char* SkipSpace(unsigned char* at, const unsigned char* end) {
    if (!kBytes.space[at[0]]) return at;
    if (!kBytes.space[at[1]]) return at + 1;
    at += 2;
#if defined(__SSE2__)
    for (; end - at >= 16; at += 16) {
        const unsigned others = ~SpaceBits(at) & 0xFFFF;
        if (others != 0) return at + __builtin_ctz(others);
    }
#else
    (void)end;
#endif
    while (kBytes.space[*at])
        ++at;
    return at;
}

// The first stop at or after at, four bytes a step. A byte is read only after the one before it
// was found plain, so the NUL after the text stops the scan in time.
inline unsigned char* SkipPlain(unsigned char* at, bool quoted) {
    const bool* stops = quoted ? kBytes.quoted : kBytes.unquoted;
    for (;; at += 4) {
        if (stops[at[0]]) return at;
        if (stops[at[1]]) return at + 1;
        if (stops[at[2]]) return at + 2;
        if (stops[at[3]]) return at + 3;
    }
}

// Tokens of text in memory, which the reader owns and may write: references are decoded in place.
// The text ends in a NUL past its length, where every scan stops without counting.
class DirectTokens {
public:
    DirectTokens(char* text, size_t length)
        : mAt(reinterpret_cast<unsigned char*>(text)), mEnd(mAt + length) {}
    // A token that must outlast the next one: its bytes stay where they are.
    std::string_view Keep(const Token& token) { return token.View(); }

    [[gnu::always_inline]] Token Next() {
        Token t;
        unsigned char* at = SkipSpace(mAt, mEnd);
        t.quoted = false;
        t.fromReference = false;
        t.mayHoldNul = false;
        t.data = reinterpret_cast<char*>(at);
        const unsigned char first = *at;
        if (first == '<' || first == '>' || first == '=') {
            t.length = 1;
            t.markup = static_cast<char>(first);
            mAt = at + 1;
            return t;
        }
        if (at == mEnd) {
            t.length = 0;
            t.markup = 0;
            mAt = at;
            return t;
        }
        t.quoted = first == '"';
        at += t.quoted;
        unsigned char* start = at;
        bool reference = false;
        unsigned char* after;  // where the next token is looked for
        for (;;) {
            at = SkipPlain(at, t.quoted);
            const unsigned char b = *at;
            if (b >= 0xC0) {
                // Its continuation bytes belong to the token whatever they are.
                const size_t more =
                    std::min(static_cast<size_t>(MoreBytes(b)), static_cast<size_t>(mEnd - at - 1));
                for (size_t i = 1; i <= more; ++i) {
                    reference |= at[i] == '&';
                    t.mayHoldNul |= at[i] == 0;
                }
                at += 1 + more;
                continue;
            }
            if (b == '&') {
                reference = true;
                ++at;
                continue;
            }
            if (b == 0) {
                if (at == mEnd) {
                    after = at;
                    break;
                }
                t.mayHoldNul = true;
                ++at;
                continue;
            }
            after = at + t.quoted;  // past a closing quote; whitespace and markup are read again
            // "name/>" reads as "name", "/", ">".
            if (b == '>' && at - start >= 2 && at[-1] == '/') after = --at;
            break;
        }
        t.data = reinterpret_cast<char*>(start);
        t.length = static_cast<size_t>(at - start);
        mAt = after;
        if (reference) {
            t.length = DecodeXmlReferences(t.data, t.length, &t.fromReference);
            t.mayHoldNul = true;  // "&#0;" and its kind
        }
        t.markup = t.length != 0 && !t.fromReference ? t.data[0] : 0;
        return t;
    }

    // The common steps inside a tag, read in one go instead of token by token: an attribute
    // name="value" with nothing in either that a token notes on the way but named references in
    // the value (kAttribute, with the name and the decoded value), the tag's end ">" (kEnd) and
    // "/>" (kClosedEnd, with the "/" as its name). Anything else is left to Next() (kOther).
    [[gnu::always_inline]] TagStep NextInTag(Token& name, Token& value) {
        unsigned char* at = SkipSpace(mAt, mEnd);
        mAt = at;
        if (*at == '>') {
            mAt = at + 1;
            return TagStep::kEnd;
        }
        if (*at == '/' && at[1] == '>') {
            name.data = reinterpret_cast<char*>(at);
            name.length = 1;
            mAt = at + 2;
            return TagStep::kClosedEnd;
        }
        // Markup, whitespace, noted bytes and the end are stops; a quote starts a quoted token.
        if (kBytes.unquoted[*at] || *at == '"') return TagStep::kOther;
        unsigned char* nameEnd = SkipPlain(at + 1, false);
        if (nameEnd[0] != '=' || nameEnd[1] != '"') return TagStep::kOther;
        unsigned char* valueStart = nameEnd + 2;
        // Named references are decoded; a numeric one may give any byte and is left to Next().
        unsigned char* valueEnd = valueStart;
        bool reference = false;
        for (;;) {
            valueEnd = SkipPlain(valueEnd, true);
            if (*valueEnd != '&' || valueEnd[1] == '#') break;
            reference = true;
            ++valueEnd;
        }
        // A value that begins with ">" ends the tag, as that token does wherever it stands.
        if (*valueEnd != '"' || *valueStart == '>') return TagStep::kOther;
        name.data = reinterpret_cast<char*>(at);
        name.length = static_cast<size_t>(nameEnd - at);
        value.data = reinterpret_cast<char*>(valueStart);
        value.length = static_cast<size_t>(valueEnd - valueStart);
        value.quoted = true;
        if (reference) {
            bool fromReference;
            value.length = DecodeXmlReferences(value.data, value.length, &fromReference);
        }
        mAt = valueEnd + 1;
        return TagStep::kAttribute;
    }

    // The text up to the next "<" (or the end) in one go, when it is made of plain words only,
    // with named references among them: the words decoded and joined by single spaces in place,
    // over the bytes they stood in, as the tokens of the words would be joined one by one. False,
    // with nothing read or changed, for anything else: no text, a quoted word, ">" or "=", a
    // numeric reference, NUL and lead bytes are left to Next().
    bool NextTextRun(Token& text) {
        unsigned char* start = SkipSpace(mAt, mEnd);
        mAt = start;
        if (*start == '<' || start == mEnd) return false;
        unsigned char* stop = start;
        for (;;) {
            stop = SkipText(stop);
            if (*stop != '&' || stop[1] == '#') break;
            ++stop;
        }
        if (*stop != '<' && stop != mEnd) return false;
        unsigned char* out = start;
        unsigned char* at = start;
        while (at < stop) {
            unsigned char* word = at;
            bool reference = false;
            // Inside the run a word ends at whitespace or at the run's stop.
            for (;;) {
                at = SkipPlain(at, false);
                if (*at != '&') break;
                reference = true;
                ++at;
            }
            size_t length = static_cast<size_t>(at - word);
            if (reference) {
                bool fromReference;
                length = DecodeXmlReferences(reinterpret_cast<char*>(word), length, &fromReference);
            }
            if (out != start) *out++ = ' ';
            // Words one space apart stay where they are.
            if (out != word) {
                for (size_t i = 0; i < length; ++i)  // forward, as the words move down
                    out[i] = word[i];
            }
            out += length;
            if (at < stop && !kBytes.space[at[1]]) {
                ++at;
            } else {
                at = SkipSpace(at, stop);
            }
        }
        text.data = reinterpret_cast<char*>(start);
        text.length = static_cast<size_t>(out - start);
        mAt = stop;
        return true;
    }

    // An end tag "</name>" with nothing in its name that a token notes on the way, read in one
    // go; false, with nothing read, for anything else.
    bool NextEndTag() {
        unsigned char* at = SkipSpace(mAt, mEnd);
        mAt = at;
        if (at[0] != '<' || at[1] != '/') return false;
        unsigned char* stop = SkipPlain(at + 2, false);
        if (*stop != '>' || stop[-1] == '/') return false;
        mAt = stop + 1;
        return true;
    }

private:
    // The first stop of a run of text at or after at, four bytes a step; the NUL at the end stops
    // it.
    static unsigned char* SkipText(unsigned char* at) {
        for (;; at += 4) {
            if (kBytes.text[at[0]]) return at;
            if (kBytes.text[at[1]]) return at + 1;
            if (kBytes.text[at[2]]) return at + 2;
            if (kBytes.text[at[3]]) return at + 3;
        }
    }

    unsigned char* mAt;
    unsigned char* mEnd;
};

// Tokens read one byte at a time from a character source.
class VirtualTokens {
public:
    explicit VirtualTokens(TGetChar& source) : mSource(source) { mText.reserve(256); }
    Token Next();
    // The token's bytes are reused by the next one: a copy.
    std::string_view Keep(const Token& token) {
        mKept.assign(token.data, token.length);
        return mKept;
    }
    // Everything comes token by token.
    TagStep NextInTag(Token&, Token&) { return TagStep::kOther; }
    bool NextTextRun(Token&) { return false; }
    bool NextEndTag() { return false; }

private:
    // One character: a lead byte and the continuation bytes its value calls for.
    struct Character {
        unsigned char bytes[4];
        int count;
        unsigned char Lead() const { return bytes[0]; }
    };
    bool Get(Character& c) {
        const int b = mSource.GetChar();
        if (b < 0) return false;
        c.bytes[0] = static_cast<unsigned char>(b);
        c.count = 1;
        const int more = MoreBytes(c.bytes[0]);
        for (int i = 0; i < more; ++i) {
            const int x = mSource.GetChar();
            if (x < 0) break;
            c.bytes[c.count++] = static_cast<unsigned char>(x);
        }
        return true;
    }
    void Unget(const Character& c) {
        for (int i = c.count - 1; i >= 0; --i)
            mSource.UngetChar(c.bytes[i]);
    }
    void Append(const Character& c) {
        mText.append(reinterpret_cast<const char*>(c.bytes), c.count);
    }

    TGetChar& mSource;
    std::string mText;
    std::string mKept;
};

Token VirtualTokens::Next() {
    mText.clear();
    Token t;
    Character c;
    do {
        if (!Get(c)) return t;
    } while (IsSpace(c.Lead()));
    if (c.Lead() == '<' || c.Lead() == '>' || c.Lead() == '=') {
        Append(c);
    } else {
        t.quoted = c.Lead() == '"';
        if (!t.quoted) Unget(c);
        bool endedAtClose = false;
        while (Get(c)) {
            const unsigned char lead = c.Lead();
            if (t.quoted) {
                if (lead == '"') break;
            } else if (IsSpace(lead) || lead == '<' || lead == '>' || lead == '=') {
                Unget(c);
                endedAtClose = lead == '>';
                break;
            }
            Append(c);
        }
        if (endedAtClose && mText.size() >= 2 && mText.back() == '/') {
            mSource.UngetChar('/');
            mText.pop_back();
        }
        if (mText.find('&') != std::string::npos) t.fromReference = DecodeXmlReferences(mText);
    }
    t.data = mText.data();
    t.length = mText.size();
    t.mayHoldNul = true;
    t.markup = t.length != 0 && !t.fromReference ? t.data[0] : 0;
    return t;
}

// An element the reader is filling.
struct Open {
    TXmlNode* node = nullptr;
    // A TXmlNode itself, whose operations are the plain ones.
    bool plain = false;
    // Plain and in this document's arena: built directly, its values read in place.
    bool fast = false;
};

struct TagResult {
    Open child;
    bool endTag = false;
};

}  // namespace

// What the direct road does to plain nodes of the document's arena, with their private parts:
// what TXmlNode's own AddChild, AddAttribute and AppendText would do, on the document's bytes.
class TXmlFastRoute {
public:
    // An attribute read for a plain node, made when its tag ends.
    struct PendingAttribute {
        const TXmlName* name;
        const char* value;
        uint32_t length;  // of the value it gives
        bool quoted;
        char* end;  // of its token
    };

    // The document being read: its arena, and where its text lies.
    struct Document {
        Document(TXmlArena* documentArena, char* textBegin, char* textEnd, bool inPlace)
            : arena(documentArena),
              begin(textBegin),
              end(textEnd),
              direct(inPlace),
              scratch(scratchBytes, sizeof scratchBytes),
              attributes(&scratch) {
            attributes.reserve(32);
        }
        TXmlArena* arena;
        char* begin;
        char* end;
        bool direct;
        // The end of the last value or text given out: bytes from here on belong to no node, so
        // a text that ends here may grow over them. Null until one is given out.
        char* frontier = nullptr;
        // The reader's own lists (the attributes below, the open elements) start in this
        // memory, so that a small document takes nothing from the heap for them.
        alignas(std::max_align_t) std::byte scratchBytes[2048];
        std::pmr::monotonic_buffer_resource scratch;
        // The attributes of the tag being read, while its node is plain.
        std::pmr::vector<PendingAttribute> attributes;
    };

    static Open Check(TXmlNode* node, const Document& document) {
        if (node == nullptr) return Open();
        const bool plain = typeid(*node) == typeid(TXmlNode);
        return Open{node, plain, plain && document.direct && node->mArena == document.arena};
    }

    static TXmlNode* NewChild(TXmlNode* parent, const TXmlName* name) {
        return parent->AdoptChild(TXmlNode::NewPlaced(parent->mArena, name));
    }

    static void AddAttribute(const TXmlName* name, const Token& value, Document& document) {
        document.attributes.push_back(PendingAttribute{name, value.data,
                                                       static_cast<uint32_t>(value.ValueLength()),
                                                       value.quoted, value.data + value.length});
    }

    // Gives the tag's node the attributes read for it: a new node gets one list of their number,
    // one a derived class handed back with a list already gets them appended.
    static void MakeAttributes(TXmlNode* node, Document& document) {
        std::pmr::vector<PendingAttribute>& pending = document.attributes;
        if (pending.empty()) return;
        if (node->mAttributeCapacity == 0) {
            const uint32_t count = static_cast<uint32_t>(pending.size());
            auto* attributes = static_cast<TXmlNode::Attribute*>(
                node->Take(static_cast<size_t>(count) * sizeof(TXmlNode::Attribute)));
            for (uint32_t i = 0; i < count; ++i) {
                const PendingAttribute& a = pending[i];
                new (&attributes[i]) TXmlNode::Attribute(a.name, a.value, a.length, a.quoted);
            }
            node->mAttributes = attributes;
            node->mAttributeCount = count;
            node->mAttributeCapacity = count;
        } else {
            for (const PendingAttribute& a : pending)
                new (node->AttributeSlot())
                    TXmlNode::Attribute(a.name, a.value, a.length, a.quoted);
        }
        document.frontier = pending.back().end;
        pending.clear();
    }

    static void AppendText(TXmlNode* node, const Token& token, Document& document) {
        const size_t length = token.ValueLength();
        if (node->mTextLength == 0 && node->mTextCapacity == 0) {
            node->mText = token.data;
            node->mTextLength = static_cast<uint32_t>(length);
            document.frontier = token.data + token.length;
            return;
        }
        if (node->mTextCapacity == 0) {
            // Words of one text stand one after another with something between: the next word
            // moves down to one space after the text, over bytes no node reads.
            char* end = node->mText + node->mTextLength;
            if (node->mText >= document.begin && node->mText < document.end &&
                end == document.frontier && end + 1 <= token.data) {
                *end = ' ';
                MoveDown(end + 1, token.data, length);
                node->mTextLength += static_cast<uint32_t>(1 + length);
                document.frontier = end + 1 + length;
                return;
            }
        }
        node->AppendTextBytes(token.data, length);
    }
};

TXmlNode* TXmlNode::NewPlaced(TXmlArena* arena, const TXmlName* interned) {
    TXmlNode* node = new (arena->Allocate(sizeof(TXmlNode))) TXmlNode(interned);
    node->mArena = arena;
    node->mPlaced = true;
    return node;
}

namespace {

using Document = TXmlFastRoute::Document;

Open AddChild(const Open& parent, const Token& token, Document& document) {
    const TXmlName* name = document.arena->InternName(token.data, token.length);
    if (parent.fast) {
        TXmlNode* child = TXmlFastRoute::NewChild(parent.node, name);
        return Open{child, true, true};
    }
    return TXmlFastRoute::Check(parent.node->AddChild(name->Text()), document);
}

// An attribute of the element a tag made.
void AddValue(const Open& element, std::string_view name, const Token& value, Document& document) {
    const TXmlName* interned = document.arena->InternName(name.data(), name.size());
    if (element.fast) {
        TXmlFastRoute::AddAttribute(interned, value, document);
    } else {
        element.node->AddAttribute(interned->Text(), ToStr(value), value.quoted);
    }
}

template <class Tokens>
TagResult ParseTag(const Open& at, Tokens& tokens, Document& document) {
    enum { kName, kAttribute, kValue } state = kName;
    std::string_view pending;
    Open child;
    bool endTag = false;
    bool special = false;
    bool inputEnded = false;
    for (;;) {
        if (state == kAttribute) {
            Token name;
            Token value;
            const TagStep step = tokens.NextInTag(name, value);
            if (step == TagStep::kAttribute) {
                if (child.node != nullptr) AddValue(child, name.View(), value, document);
                pending = std::string_view();
                continue;
            }
            if (step == TagStep::kClosedEnd) pending = name.View();
            if (step != TagStep::kOther) break;
        }
        const Token token = tokens.Next();
        if (token.empty()) {
            // An empty quoted value is a value; anything else empty is the end of the input.
            if (state != kValue || !token.quoted) {
                inputEnded = true;
                break;
            }
        } else if (token.BeginsWith('>')) {
            break;
        }
        switch (state) {
            case kName:
                if (token.BeginsWith('/')) {
                    if (!at.plain) at.node->EndElement(ToStr(token));
                    endTag = true;
                } else {
                    child = AddChild(at, token, document);
                    const std::string_view name = token.View();
                    special = (name[0] == '?' || name[0] == '!') &&
                              (name == "?xml" || name == "!DOCTYPE" || name.substr(0, 3) == "!--");
                }
                state = kAttribute;
                break;
            case kAttribute:
                if (token.BeginsWith('=')) {
                    state = kValue;
                } else {
                    pending = tokens.Keep(token);  // a name without a value is overwritten
                }
                break;
            case kValue:
                if (child.node != nullptr) AddValue(child, pending, token, document);
                pending = std::string_view();
                state = kAttribute;
                break;
        }
    }
    // A plain node's attributes, whichever way the tag ended (only a node made by it has any).
    if (child.fast) TXmlFastRoute::MakeAttributes(child.node, document);
    if (inputEnded) return TagResult{child, endTag};
    if (endTag) return TagResult{Open(), true};
    const bool closed = !pending.empty() && (pending[0] == '/' || pending[0] == '?');
    if (child.node != nullptr && (closed || special)) {
        if (!at.plain) at.node->EndElement(child.node->GetName());
        return TagResult{Open(), false};
    }
    return TagResult{child, false};
}

template <class Tokens>
void ParseDocument(TXmlNode* root, Tokens& tokens, Document& document) {
    // The open elements, innermost last; an empty token or an end tag closes the innermost.
    std::pmr::vector<Open> open(&document.scratch);
    open.reserve(32);
    open.push_back(TXmlFastRoute::Check(root, document));
    while (!open.empty()) {
        const Open node = open.back();
        if (node.fast) {
            Token text;
            if (tokens.NextTextRun(text)) {
                TXmlFastRoute::AppendText(node.node, text, document);
                continue;
            }
            // A plain node hears nothing of its end.
            if (tokens.NextEndTag()) {
                open.pop_back();
                continue;
            }
        }
        const Token token = tokens.Next();
        if (token.empty()) {
            open.pop_back();
            continue;
        }
        if (!token.BeginsWith('<')) {
            if (node.fast) {
                TXmlFastRoute::AppendText(node.node, token, document);
            } else {
                const str text = ToStr(token);
                node.node->AppendText(text, static_cast<int>(text.Length()));
            }
            continue;
        }
        const TagResult tag = ParseTag(node, tokens, document);
        if (tag.child.node != nullptr) {
            if (open.size() > static_cast<size_t>(TXmlNode::kMaxDepth)) {
                LogPrintf("XML nested deeper than %d levels: the rest is not read",
                          TXmlNode::kMaxDepth);
                return;
            }
            open.push_back(tag.child);
        } else if (tag.endTag) {
            open.pop_back();
        }
    }
}

}  // namespace

void TXmlNode::Parse(TGetChar& source) {
    Document document{DocumentArena(), nullptr, nullptr, false};
    VirtualTokens tokens(source);
    ParseDocument(this, tokens, document);
}

void TXmlNode::ParseInPlace(std::unique_ptr<char[]> text, size_t length) {
    char* bytes = text.get();
    Document document{DocumentArena(), bytes, bytes + length, true};
    DirectTokens tokens(bytes, length);
    ParseDocument(this, tokens, document);
    // Kept while nodes read from it; a document that gave out nothing (every node of a derived
    // class) is let go.
    if (document.frontier != nullptr) document.arena->Keep(std::move(text));
}
