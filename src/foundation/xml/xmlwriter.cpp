// The writer behind TXmlNode::ToString.
#include <cstdint>
#include <cstring>
#include <string>

#include "foundation/xml/xmlnode.h"

namespace {

// The bytes up to length or the first NUL, escaped.
void AppendEscaped(std::string& out, const char* text, size_t length) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    for (size_t i = 0; i < length && bytes[i] != 0; ++i) {
        const unsigned char c = bytes[i];
        if (c < 0x20 || c >= 0x80) {
            char reference[8];
            int length = 0;
            reference[length++] = '&';
            reference[length++] = '#';
            if (c >= 100) reference[length++] = static_cast<char>('0' + c / 100);
            if (c >= 10) reference[length++] = static_cast<char>('0' + c / 10 % 10);
            reference[length++] = static_cast<char>('0' + c % 10);
            reference[length++] = ';';
            out.append(reference, static_cast<size_t>(length));
            continue;
        }
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += static_cast<char>(c);
                break;
        }
    }
}

void AppendEscaped(std::string& out, const str& text) {
    AppendEscaped(out, text.c_str(), text.Length());
}

}  // namespace

void TXmlNode::WriteTo(std::string& out, int indent) const {
    out.append(static_cast<size_t>(indent), ' ');
    out += '<';
    out += Name().c_str();
    for (uint32_t i = 0; i < mAttributeCount; ++i) {
        const Attribute& attribute = mAttributes[i];
        out += '\n';
        out.append(static_cast<size_t>(indent) + 4, ' ');
        AppendEscaped(out, attribute.Name());
        out += '=';
        if (attribute.quoted) out += '"';
        AppendEscaped(out, attribute.value, attribute.length);
        if (attribute.quoted) out += '"';
    }
    out += ">\n";
    if (mTextLength != 0) {
        out.append(static_cast<size_t>(indent), ' ');
        AppendEscaped(out, mText, mTextLength);
        out += '\n';
    }
    for (const TXmlNode* child : mChildren)
        child->WriteTo(out, indent + 4);
    out.append(static_cast<size_t>(indent), ' ');
    out += "</";
    AppendEscaped(out, Name());
    out += ">\n";
}

str TXmlNode::ToString() {
    // Built in one buffer, then handed over in one write; the hint remembers how large the text
    // was, so repeated saves of a big tree reserve enough at once.
    std::string text;
    text.reserve(static_cast<size_t>(mOutputHint));
    WriteTo(text, 0);
    str result;
    if (mOutputHint > result.Capacity()) result.Reserve(mOutputHint);
    result.WriteAt(0, text.data(), static_cast<int>(text.size()), true);
    if (static_cast<int>(text.size()) > mOutputHint)
        mOutputHint = static_cast<int>(text.size()) + 1;
    return result;
}
