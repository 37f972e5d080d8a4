// The reader behind TXmlNode::Parse and ParseString: the tokenizer and the document and tag
// parsers. Text in memory is read through a direct source; any other TGetChar through its
// virtual operations.
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/getchar.h"
#include "foundation/log.h"
#include "foundation/xmlnode.h"
#include "foundation/xmlreference.h"

namespace {

bool IsSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Bytes that end an unquoted token's run of one-byte characters: whitespace, "<", ">", "=", and
// the lead bytes of longer characters, which take the character-by-character road.
struct StopTable {
    bool unquoted[256];
    bool quoted[256];
    StopTable() : unquoted(), quoted() {
        for (int b = 0; b < 256; ++b) {
            const bool lead = b >= 0xC0;
            unquoted[b] =
                lead || IsSpace(static_cast<unsigned char>(b)) || b == '<' || b == '>' || b == '=';
            quoted[b] = lead || b == '"';
        }
    }
};
const StopTable kStops;

class MemorySource {
public:
    static constexpr bool kDirect = true;

    MemorySource(const char* text, size_t length)
        : mText(reinterpret_cast<const unsigned char*>(text)), mLength(length) {}
    int Get() { return mIndex < mLength ? mText[mIndex++] : -1; }
    void Unget(int) {
        if (mIndex > 0) --mIndex;
    }
    // Appends the bytes up to the next stop byte, and steps over them.
    void TakeRun(const bool* stops, std::string& out) {
        size_t end = mIndex;
        while (end < mLength && !stops[mText[end]])
            ++end;
        out.append(reinterpret_cast<const char*>(mText) + mIndex, end - mIndex);
        mIndex = end;
    }

private:
    const unsigned char* mText;
    size_t mIndex = 0;
    size_t mLength;
};

class VirtualSource {
public:
    static constexpr bool kDirect = false;

    explicit VirtualSource(TGetChar& source) : mSource(source) {}
    int Get() { return mSource.GetChar(); }
    void Unget(int c) { mSource.UngetChar(c); }

private:
    TGetChar& mSource;
};

// One character: a lead byte and the continuation bytes its value calls for, read at once
// whatever they are.
struct Character {
    unsigned char bytes[4];
    int count;
    unsigned char Lead() const { return bytes[0]; }
};

template <class Source>
class Tokenizer {
public:
    explicit Tokenizer(Source& source) : mSource(source) { mToken.reserve(256); }

    // The next token into Token(); empty at the end of the input (or for "" ).
    void Next();
    const std::string& Token() const { return mToken; }
    bool Quoted() const { return mQuoted; }
    // The token's first byte came from a reference.
    bool FromReference() const { return mFromReference; }
    // The token begins with c, as markup (not from a reference).
    bool BeginsWith(char c) const { return !mToken.empty() && mToken[0] == c && !mFromReference; }

private:
    bool Get(Character& c) {
        int b = mSource.Get();
        if (b < 0) return false;
        c.bytes[0] = static_cast<unsigned char>(b);
        c.count = 1;
        const int more = b >= 0xF0 ? 3 : (b >= 0xE0 ? 2 : (b >= 0xC0 ? 1 : 0));
        for (int i = 0; i < more; ++i) {
            int x = mSource.Get();
            if (x < 0) break;
            c.bytes[c.count++] = static_cast<unsigned char>(x);
        }
        return true;
    }
    void Unget(const Character& c) {
        for (int i = c.count - 1; i >= 0; --i)
            mSource.Unget(c.bytes[i]);
    }
    void Append(const Character& c) {
        mToken.append(reinterpret_cast<const char*>(c.bytes), c.count);
    }

    Source& mSource;
    std::string mToken;
    bool mQuoted = false;
    bool mFromReference = false;
};

template <class Source>
void Tokenizer<Source>::Next() {
    mToken.clear();
    mQuoted = false;
    mFromReference = false;
    Character c;
    do {
        if (!Get(c)) return;
    } while (IsSpace(c.Lead()));
    if (c.Lead() == '<' || c.Lead() == '>' || c.Lead() == '=') {
        Append(c);
        return;
    }
    if (c.Lead() == '"') {
        mQuoted = true;
    } else {
        Unget(c);
    }
    bool endedAtClose = false;
    for (;;) {
        if constexpr (Source::kDirect)
            mSource.TakeRun(mQuoted ? kStops.quoted : kStops.unquoted, mToken);
        if (!Get(c)) break;
        const unsigned char lead = c.Lead();
        if (mQuoted) {
            if (lead == '"') break;
        } else if (IsSpace(lead) || lead == '<' || lead == '>' || lead == '=') {
            Unget(c);
            endedAtClose = lead == '>';
            break;
        }
        Append(c);
    }
    // "name/>" reads as "name", "/", ">".
    if (endedAtClose && mToken.size() >= 2 && mToken.back() == '/') {
        mSource.Unget('/');
        mToken.pop_back();
    }
    if (mToken.find('&') != std::string::npos) mFromReference = DecodeXmlReferences(mToken);
}

str ToStr(const std::string& text) {
    return str(text.data(), static_cast<int>(text.size()));
}

// Element and attribute names repeat throughout a document: one shared text per name saves an
// allocation for every use. Bounded, so a document of endless distinct names costs no more.
class NameCache {
public:
    str Get(const std::string& name) {
        auto it = mNames.find(name);
        if (it != mNames.end()) return it->second;
        if (mNames.size() >= kLimit) mNames.clear();
        str text = ToStr(name);
        mNames.emplace(name, text);
        return text;
    }

private:
    static constexpr size_t kLimit = 512;
    std::unordered_map<std::string, str> mNames;
};

struct TagResult {
    TXmlNode* child;
    bool endTag;
};

template <class Source>
TagResult ParseTag(TXmlNode* node, Tokenizer<Source>& tokens, NameCache& names) {
    enum { kName, kAttribute, kValue } state = kName;
    std::string pending;
    TXmlNode* child = nullptr;
    bool endTag = false;
    bool special = false;
    for (;;) {
        tokens.Next();
        const std::string& token = tokens.Token();
        if (token.empty()) {
            // An empty quoted value is a value; anything else empty is the end of the input.
            if (state != kValue || !tokens.Quoted()) return TagResult{child, endTag};
        } else if (tokens.BeginsWith('>')) {
            break;
        }
        switch (state) {
            case kName:
                if (tokens.BeginsWith('/')) {
                    node->EndElement(ToStr(token));
                    endTag = true;
                } else {
                    child = node->AddChild(names.Get(token));
                    special =
                        token == "?xml" || token == "!DOCTYPE" || token.compare(0, 3, "!--") == 0;
                }
                state = kAttribute;
                break;
            case kAttribute:
                if (tokens.BeginsWith('=')) {
                    state = kValue;
                } else {
                    pending = token;  // a name without a value is overwritten by the next
                }
                break;
            case kValue:
                if (child != nullptr)
                    child->AddAttribute(names.Get(pending), ToStr(token), tokens.Quoted());
                pending.clear();
                state = kAttribute;
                break;
        }
    }
    if (endTag) return TagResult{nullptr, true};
    const bool closed = !pending.empty() && (pending[0] == '/' || pending[0] == '?');
    if (child != nullptr && (closed || special)) {
        node->EndElement(child->GetName());
        return TagResult{nullptr, false};
    }
    return TagResult{child, false};
}

template <class Source>
void ParseDocument(TXmlNode* root, Source& source) {
    Tokenizer<Source> tokens(source);
    NameCache names;
    // The open elements, innermost last; an empty token or an end tag closes the innermost.
    std::vector<TXmlNode*> open{root};
    while (!open.empty()) {
        TXmlNode* node = open.back();
        tokens.Next();
        const std::string& token = tokens.Token();
        if (token.empty()) {
            open.pop_back();
        } else if (!tokens.BeginsWith('<')) {
            str text = ToStr(token);
            node->AppendText(text, static_cast<int>(text.Length()));
        } else {
            TagResult tag = ParseTag(node, tokens, names);
            if (tag.child != nullptr) {
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
}

}  // namespace

void TXmlNode::Parse(TGetChar& source) {
    VirtualSource virtualSource(source);
    ParseDocument(this, virtualSource);
}

void TXmlNode::ParsePlain(const char* text, size_t length) {
    MemorySource source(text, length);
    ParseDocument(this, source);
}
