#include "platform/commandline.h"

#include <cstdio>
#include <cstring>

namespace commandline {

namespace {

// The text from start up to the first character of stops (or the end), at most maxLength long.
str TextUntil(const char* start, const char* stops, unsigned maxLength = 0xFFFFFFFFu) {
    size_t length = std::strcspn(start, stops);
    if (length > maxLength) {
        length = maxLength;
    }
    return str(start, static_cast<int>(length));
}

}  // namespace

bool HasOption(const char* line, const char* option) {
    return std::strstr(line, option) != nullptr;
}

str WordAfter(const char* line, const char* option, unsigned maxLength) {
    const char* found = std::strstr(line, option);
    if (found == nullptr) {
        return str();
    }
    return TextUntil(found + std::strlen(option), " ", maxLength);
}

str CheatCode(const char* line) {
    const char* found = std::strstr(line, "--cheat");
    if (found == nullptr) {
        return str();
    }
    const char* separator = found + 7;
    if (*separator == '\0') {
        return str();  // nothing follows: the code would begin past the line's end
    }
    return TextUntil(separator + 1, " ");
}

unsigned HostWindow(const char* line) {
    const char* found = std::strstr(line, "-wnd=");
    unsigned handle = 0;
    if (found == nullptr || std::sscanf(found + 5, "%x", &handle) != 1) {
        return 0;
    }
    return handle;
}

str WorkingDirectory(const char* line) {
    const char* found = std::strstr(line, "-wd=");
    if (found == nullptr) {
        return str();
    }
    const char* start = found + 4;
    if (*start == '"') {
        return TextUntil(start + 1, "\"");
    }
    return TextUntil(start, " ");
}

std::vector<std::pair<str, str>> OptionPairs(const char* line) {
    std::vector<std::pair<str, str>> pairs;
    const char* found = std::strstr(line, "options=");
    if (found == nullptr) {
        return pairs;
    }
    const char* rest = found + 8;
    while (*rest != '\0' && *rest != ' ') {
        const char* equals = std::strchr(rest, '=');
        if (equals == nullptr) {
            break;
        }
        str key(rest, static_cast<int>(equals - rest));
        const char* value = equals + 1;
        const char* end = std::strchr(value, '&');
        if (end == nullptr) {
            end = value + std::strcspn(value, " ");
        }
        pairs.emplace_back(key, str(value, static_cast<int>(end - value)));
        rest = *end == '\0' ? end : end + 1;
    }
    return pairs;
}

std::string JoinArguments(const std::vector<std::string>& arguments) {
    std::string line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (i > 0) {
            line += ' ';
        }
        if (argument.find(' ') != std::string::npos) {
            line += '"' + argument + '"';
        } else {
            line += argument;
        }
    }
    return line;
}

}  // namespace commandline
