#include "gv/framelist.h"

#include <cstdio>
#include <limits>
#include <string>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads the digits at text[i], moving i past them; a number beyond the int range reads as the
// largest int (it is out of range for any list).
int32_t ReadNumber(const char* text, int32_t length, int32_t& i) {
    int64_t value = 0;
    while (i < length && IsDigit(text[i])) {
        if (value <= std::numeric_limits<int32_t>::max()) value = value * 10 + (text[i] - '0');
        ++i;
    }
    return value > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                       : static_cast<int32_t>(value);
}

}  // namespace

bool ParseFrameList(std::vector<int32_t>& frames, int32_t count, const str& text) {
    frames.clear();
    const char* chars = text.c_str();
    const int32_t length = static_cast<int32_t>(text.Length());
    int32_t last = -1;  // the last single number
    bool failed = false;
    int32_t i = 0;
    while (i < length && !failed) {
        if (IsDigit(chars[i])) {
            const int32_t number = ReadNumber(chars, length, i);
            if (number < 0 || number >= count) {
                failed = true;
                break;
            }
            frames.push_back(number);
            last = number;
        } else if (chars[i] == '.' && i + 1 < length && chars[i + 1] == '.') {
            i += 2;
            int32_t end;
            if (i >= length) {
                end = count - 1;
            } else if (IsDigit(chars[i])) {
                end = ReadNumber(chars, length, i);
            } else {
                continue;
            }
            if (end >= count) {
                end = count - 1;
                failed = true;
            }
            for (int32_t n = last + 1; n <= end; ++n)
                frames.push_back(n);
        } else {
            ++i;
        }
    }
    if (failed) return false;
    if (frames.empty())
        for (int32_t n = 0; n < count; ++n)
            frames.push_back(n);
    return true;
}

str FormatFrameList(const std::vector<int32_t>& frames) {
    // Built in a growing buffer and made a str once: a str grows to the exact size on every
    // append, and a list may hold thousands of frames.
    std::string text;
    char number[32];
    const size_t size = frames.size();
    size_t i = 0;
    while (i < size) {
        size_t end = i;  // the last of the run that starts at i
        while (end + 1 < size && frames[end] != std::numeric_limits<int32_t>::max() &&
               frames[end + 1] == frames[end] + 1)
            ++end;
        if (!text.empty()) text += ',';
        int length;
        if (end - i >= 2) {
            length = std::snprintf(number, sizeof number, "%d..%d", frames[i], frames[end]);
            i = end + 1;
        } else {
            length = std::snprintf(number, sizeof number, "%d", frames[i]);
            ++i;
        }
        text.append(number, static_cast<size_t>(length));
    }
    return text.empty() ? str() : str(text.data(), static_cast<int>(text.size()));
}
