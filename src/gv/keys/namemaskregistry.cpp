#include "gv/keys/namemaskregistry.h"

#include <cstring>

#include "foundation/log.h"

namespace {

// The word that starts at text, up to its "_" or the end.
std::string_view WordAt(const char* text) {
    return std::string_view(text, std::strcspn(text, "_"));
}

}  // namespace

GNameMaskRegistry& GNameMaskRegistry::Instance() {
    static GNameMaskRegistry registry;
    return registry;
}

GNameMask GNameMaskRegistry::Parse(const char* name, bool keepCopy) {
    if (name == nullptr || *name == '\0') return GNameMask();
    SplitWords(name);
    GNameMask key;
    for (const char* start : mWordStarts) {
        const int number = GetWordNumber(start, keepCopy);
        if (number != 0) key = GNameMask::Append(key, GNameMask(static_cast<uint64_t>(number)));
    }
    mWordStarts.clear();
    return key;
}

int GNameMaskRegistry::GetWordNumber(const char* word, bool /*keepCopy*/) {
    if (word == nullptr || *word == '\0' || *word == '_') return 0;
    const std::string_view text = WordAt(word);
    const auto found = mNumbers.find(text);
    if (found != mNumbers.end()) return found->second;
    if (static_cast<int>(mWords.size()) >= kMaxWords) {
        if (!mFullLogged) {
            LogPrintf("GNameMaskRegistry::GetWordNumber: no number left for the word \"%.*s\"",
                      static_cast<int>(text.size()), text.data());
            mFullLogged = true;
        }
        return 0;
    }
    mWords.emplace_back(text);
    const int number = static_cast<int>(mWords.size());
    mNumbers.emplace(mWords.back(), number);
    return number;
}

str GNameMaskRegistry::GetName(GNameMask key) const {
    str name;
    name.Reserve(20);
    uint64_t bits = key.Bits();
    for (int byte = 0; byte < 8; ++byte, bits >>= 8) {
        const unsigned int number = bits & 0xFFu;
        if (number == 0) continue;
        if (byte != 0) name += '_';
        if (number <= mWords.size()) {
            const std::string& word = mWords[number - 1];
            name.Append(word.data(), static_cast<int>(word.size()));
        }
    }
    return name;
}

void GNameMaskRegistry::SplitWords(const char* name) {
    mWordStarts.clear();
    if (name == nullptr) return;
    mWordStarts.push_back(name);
    for (const char* c = name; *c != '\0'; ++c) {
        // A trailing "_" is itself the start of a last, empty word.
        if (*c == '_') mWordStarts.push_back(c[1] == '\0' ? c : c + 1);
    }
}
