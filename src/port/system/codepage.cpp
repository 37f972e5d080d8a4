#include "port/system/codepage.h"

#include <cstring>
#include <string>

#include "port/system/lasterror.h"
#include "port/system/textconv.h"

namespace {

bool KnownCodePage(UINT codePage) {
    return codePage == CP_ACP || codePage == CP_WINDOWS_1252 || codePage == CP_UTF8;
}

// Copies out by the Windows protocol: the count, the size needed, or 0 when it does not fit.
template <typename Char>
int CopyOut(const std::basic_string<Char>& converted, Char* out, int size) {
    int needed = static_cast<int>(converted.size());
    if (size == 0) return needed;
    if (out == nullptr || size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(out, converted.data(), converted.size() * sizeof(Char));
    return needed;
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int length, WCHAR* wide,
                        int wideSize) {
    if (!KnownCodePage(codePage) || text == nullptr || length == 0 || length < -1 || wideSize < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string bytes = length == -1 ? std::string(text, std::strlen(text) + 1)
                                     : std::string(text, static_cast<size_t>(length));
    std::u16string converted;
    if (codePage == CP_UTF8) {
        bool valid = true;
        converted = port::Utf8ToUtf16(bytes, false, &valid);
        if (!valid && (flags & MB_ERR_INVALID_CHARS) != 0) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
    } else {
        for (unsigned char byte : bytes) {
            converted.push_back(static_cast<char16_t>(port::AnsiToCodePoint(byte)));
        }
    }
    return CopyOut(converted, wide, wideSize);
}

int WideCharToMultiByte(UINT codePage, DWORD, const WCHAR* wide, int length, char* text, int size,
                        const char* defaultChar, BOOL* usedDefault) {
    if (!KnownCodePage(codePage) || wide == nullptr || length == 0 || length < -1 || size < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string units = length == -1
                               ? std::u16string(wide, std::char_traits<char16_t>::length(wide) + 1)
                               : std::u16string(wide, static_cast<size_t>(length));
    std::string converted;
    if (usedDefault != nullptr) *usedDefault = FALSE;
    if (codePage == CP_UTF8) {
        converted = port::Utf16ToUtf8(units);
    } else {
        char fallback = defaultChar != nullptr ? *defaultChar : '?';
        for (size_t i = 0; i < units.size(); ++i) {
            uint32_t codePoint = units[i];
            // A surrogate pair is one character, and one default character.
            if (codePoint >= 0xD800 && codePoint <= 0xDBFF && i + 1 < units.size() &&
                units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
                codePoint = 0x10000;
                ++i;
            }
            bool representable = true;
            char byte = port::CodePointToAnsi(codePoint, &representable);
            if (!representable) {
                byte = fallback;
                if (usedDefault != nullptr) *usedDefault = TRUE;
            }
            converted.push_back(byte);
        }
    }
    return CopyOut(converted, text, size);
}
