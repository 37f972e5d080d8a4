// Name keys: every line of the input is a name parsed into a fresh registry. A name of at most
// eight words must come back from its key as itself without its empty words; a key must not
// change when its name is parsed again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "gv/keys/namemaskregistry.h"

namespace {

// The name with runs of "_" collapsed and a leading or trailing "_" dropped, and its word count.
std::string WithoutEmptyWords(const std::string& name, int& words) {
    std::string out;
    words = 0;
    bool inWord = false;
    for (char c : name) {
        if (c == '_') {
            inWord = false;
            continue;
        }
        if (!inWord) {
            if (!out.empty()) out += '_';
            ++words;
            inWord = true;
        }
        out += c;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GNameMaskRegistry registry;
    std::vector<std::string> names;
    std::string current;
    for (size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\n' || c == '\0') {
            names.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    names.push_back(current);

    for (const std::string& name : names) {
        const GNameMask key = registry.Parse(name.c_str());
        if (!(registry.Parse(name.c_str()) == key)) std::abort();
        const str back = registry.GetName(key);
        if (!(registry.Parse(back) == key)) std::abort();
        int words = 0;
        const std::string expected = WithoutEmptyWords(name, words);
        // Past 255 words some words have no number; past eight words the key is cut.
        if (words <= 8 && registry.GetWordCount() < GNameMaskRegistry::kMaxWords &&
            expected != back.c_str()) {
            std::abort();
        }
    }
    return 0;
}
