// The writer behind TXmlNode::ToString.
#include <cstring>
#include <string>

#include "foundation/xmlnode.h"

namespace {

void AppendEscaped(std::string& out, const char* text) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        const unsigned char c = *p;
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

}  // namespace

void TXmlNode::WriteTo(std::string& out, int indent) const {
    out.append(static_cast<size_t>(indent), ' ');
    out += '<';
    out += mName.c_str();
    for (const Attribute& attribute : mAttributes) {
        out += '\n';
        out.append(static_cast<size_t>(indent) + 4, ' ');
        AppendEscaped(out, attribute.name.c_str());
        out += '=';
        if (attribute.quoted) out += '"';
        AppendEscaped(out, attribute.value.c_str());
        if (attribute.quoted) out += '"';
    }
    out += ">\n";
    if (!mText.empty()) {
        out.append(static_cast<size_t>(indent), ' ');
        AppendEscaped(out, mText.c_str());
        out += '\n';
    }
    for (const TXmlNode* child : mChildren)
        child->WriteTo(out, indent + 4);
    out.append(static_cast<size_t>(indent), ' ');
    out += "</";
    AppendEscaped(out, mName.c_str());
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
