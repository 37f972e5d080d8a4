#include "foundation/prefs/stringtable.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "foundation/file/file.h"
#include "foundation/file/fileindex.h"
#include "foundation/log.h"
#include "foundation/settingsmap.h"
#include "foundation/xml/xmlreference.h"
#include "foundation/xml/zxml.h"

namespace {

constexpr std::string_view kRow = "<Row";
constexpr std::string_view kData = "<Data";
const char kFailed[] = "#####";

// The text of the cell whose "<Data" is at cell: from after the first ">" to the next "<" (or
// the end), references decoded. end receives where the text stops. False when no ">" follows.
bool CellText(std::string_view document, size_t cell, str& text, size_t& end) {
    const size_t open = document.find('>', cell + kData.size());
    if (open == std::string_view::npos) {
        end = document.size();
        return false;
    }
    end = document.find('<', open + 1);
    if (end == std::string_view::npos) end = document.size();
    std::string run(document.substr(open + 1, end - open - 1));
    if (run.find('&') != std::string::npos) DecodeXmlReferences(run);
    text = str(run.data(), static_cast<int>(run.size()));
    return true;
}

bool AllDigits(const str& text) {
    if (text.Length() == 0) return false;
    for (const char* c = text.c_str(); *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return false;
    }
    return true;
}

bool IsTestMode() {
    return TSettingsMap::GetInstance().Get("stringtest", str()).ToInt() != 0;
}

}  // namespace

bool TStringTable::LoadFile(const str& name) {
    mStrings.clear();
    return Load(name);
}

bool TStringTable::Load(const str& name) {
    std::string bytes;
    std::string problem;
    switch (ReadWholeFile(name, kFileReadBinary, kLargestTable, bytes, problem)) {
        case TWholeFile::kMissing:
            problem = ReasonNotOpened(name);
            if (!problem.empty())
                LogPrintf("String table %s not read: %s", name.c_str(), problem.c_str());
            return false;
        case TWholeFile::kTooLarge:
            LogPrintf("String table %s not read: %s", name.c_str(), problem.c_str());
            return false;
        case TWholeFile::kCutShort:
            // What came is kept: the rows before the gap are whole.
            LogPrintf("String table %s cut short: %s", name.c_str(), problem.c_str());
            LoadText(bytes.data(), bytes.size(), &problem);
            return true;
        case TWholeFile::kRead:
            break;
    }
    if (!LoadText(bytes.data(), bytes.size(), &problem))
        LogPrintf("String table %s is damaged: %s", name.c_str(), problem.c_str());
    return true;
}

bool TStringTable::LoadText(const char* data, size_t size, std::string* problem) {
    if (data == nullptr) {
        data = "";
        size = 0;
    }
    std::unique_ptr<char[]> unpacked;
    if (IsZxml(data, size)) {
        size_t unpackedSize;
        if (!UnpackZxml(data, size, unpacked, unpackedSize, problem)) return false;
        data = unpacked.get();
        size = unpackedSize;
    }
    const std::string_view document(data, strnlen(data, size));

    size_t row = document.find(kRow);
    if (row == std::string_view::npos) {
        if (problem != nullptr) *problem = "it holds no rows";
        return false;
    }
    while (row != std::string_view::npos) {
        const size_t next = document.find(kRow, row + kRow.size());
        const size_t rowEnd = next == std::string_view::npos ? document.size() : next;
        const size_t labelCell = document.find(kData, row + kRow.size());
        str label;
        size_t labelEnd;
        if (labelCell < rowEnd && CellText(document, labelCell, label, labelEnd)) {
            str text;
            size_t textEnd;
            const size_t textCell = document.find(kData, labelEnd);
            if (textCell < rowEnd) CellText(document, textCell, text, textEnd);
            mStrings[label] = text;
        }
        row = next;
    }
    return true;
}

bool TStringTable::LoadStartupFiles() {
    const bool loaded = LoadFile("strings.xml");
    for (const char* prefix : {"user:", "common:"}) {
        const unsigned int skip = static_cast<unsigned int>(std::strlen(prefix));
        str name;
        while (FindIndexedFile(prefix, name, false)) {
            // The data folders' files are indexed as "user:/name"; names that were only resolved
            // ("user:name") have no slash.
            str file = name.Substring(skip);
            if (file.GetAt(0) == '/') file = file.Substring(1);
            if (std::strncmp(file.c_str(), "string", 6) == 0 && file.Find(".xml") != str::npos)
                Load(name);
        }
    }
    return loaded;
}

str TStringTable::GetString(const str& label, const str& arg1, const str& arg2, const str& arg3,
                            const str& arg4, const str& arg5) const {
    const str args[5] = {arg1, arg2, arg3, arg4, arg5};
    auto it = mStrings.find(label);
    str result;
    if (it == mStrings.end() || !Expand(label, it->second, args, result)) {
        LogPrintf(" ##### : Missing string for label '%s'", label.c_str());
        return str(kFailed);
    }
    if (IsTestMode()) {
        std::string masked(result.c_str());
        for (char& c : masked) {
            if (c != ' ') c = 'x';
        }
        result = str(masked.c_str());
    }
    return result;
}

bool TStringTable::Expand(const str& label, const str& text, const str* args, str& out) const {
    std::string result;
    const char* walk = text.c_str();
    while (*walk != '\0') {
        if (*walk != '%') {
            const char* percent = std::strchr(walk, '%');
            const size_t run =
                percent != nullptr ? static_cast<size_t>(percent - walk) : std::strlen(walk);
            result.append(walk, run);
            walk += run;
            continue;
        }
        const char* close = std::strchr(walk + 1, '%');
        if (close == nullptr) {
            // Faulty data: say so, and show the rest as it stands.
            LogPrintf("Non-matched percent (%%) escape found in string %s, '%s'", label.c_str(),
                      text.c_str());
            result.append(walk);
            break;
        }
        const str token(walk + 1, static_cast<int>(close - walk - 1));
        walk = close + 1;
        if (token.Length() == 0) {
            result += '%';
        } else if (AllDigits(token)) {
            // Read like atoi, leading zeros and all; a number past 5 is out of range however
            // long it is, so counting stops there instead of overflowing.
            int k = 0;
            for (const char* digit = token.c_str(); *digit != '\0' && k <= 5; ++digit)
                k = k * 10 + (*digit - '0');
            if (k < 1 || k > 5) return false;
            const str& argument = args[k - 1];
            if (argument.GetAt(0) == '%') {
                str expanded;
                if (!ExpandArgument(argument, expanded)) return false;
                result += expanded.c_str();
            } else {
                result += argument.c_str();
            }
        } else {
            auto it = mStrings.find(token);
            if (it == mStrings.end()) return false;
            result += it->second.c_str();
        }
    }
    out = str(result.c_str());
    return true;
}

bool TStringTable::ExpandArgument(const str& argument, str& out) const {
    const unsigned int length = argument.Length();
    if (argument == str("%%")) {
        out = "%";
        return true;
    }
    if (length <= 2 || argument.GetAt(length - 1) != '%') return false;
    auto it = mStrings.find(argument.Substring(1, length - 2));
    if (it == mStrings.end()) return false;
    out = it->second;
    return true;
}

std::vector<str> TStringTable::GetLabels() const {
    std::vector<str> labels;
    labels.reserve(mStrings.size());
    for (const auto& entry : mStrings)
        labels.push_back(entry.first);
    return labels;
}

void TStringTable::GetFlashText(std::vector<str>& labels) const {
    const size_t before = labels.size();
    for (const auto& [label, text] : mStrings) {
        if (std::strncmp(label.c_str(), "FLASH_", 6) == 0) labels.push_back(label);
    }
    if (labels.size() != before) return;
    for (const auto& [label, text] : mStrings) {
        int first;
        int second;
        // At least the first number must match; running out of input is no match.
        if (std::sscanf(label.c_str(), "flash%2d_%2d", &first, &second) >= 1)
            labels.push_back(label);
    }
}
