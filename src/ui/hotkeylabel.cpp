#include "ui/hotkeylabel.h"

#include <algorithm>
#include <cctype>

#include "foundation/utf8.h"

namespace {

// The first byte of a UTF-8 lead byte's sequences of two or more.
constexpr unsigned char kFirstLeadByte = 0xC0;

}  // namespace

THotKeyLabel StripKeyFromLabel(const str& label) {
    unsigned int mark = label.FindChar('&');
    if (mark == str::npos) return {label, str()};
    THotKeyLabel result{label, str()};
    auto next = static_cast<unsigned char>(label.GetAt(mark + 1));
    if (next != 0 && next < kFirstLeadByte) result.key = str("@") + static_cast<char>(next);
    result.label.Erase(mark, 1);
    return result;
}

str TagHotKey(const str& key, const str& label) {
    unsigned int keyLength = key.Length();
    if (keyLength == 0) return label;
    unsigned int at = label.Find(str() + key.GetAt(keyLength - 1), str::kIgnoreCase);
    if (at == str::npos) return label;
    unsigned int left = label.Length() - at;
    int lead = Utf8SequenceLength(static_cast<unsigned char>(label.GetAt(at)));
    unsigned int length = std::clamp(static_cast<unsigned int>(lead), 1u, left);
    return label.Substring(0, at) + "<u>" + label.Substring(at, length) + "</u>" +
           label.Substring(at + length);
}

str NormalizeHotKey(const str& key) {
    if (key.Length() == 0) return str();
    str text = key;
    text.ToLower();
    str result;
    if (text.Length() != 1 && text.GetAt(0) == '@') {
        result = "@";
    } else {
        if (text.Find("shift-") != str::npos) result += "shift-";
        if (text.Find("ctrl-") != str::npos || text.Find("control-") != str::npos)
            result += "ctrl-";
        if (text.Find("alt-") != str::npos) result += "alt-";
    }
    auto last = static_cast<unsigned char>(text.GetAt(text.Length() - 1));
    return result + static_cast<char>(std::toupper(last));
}
