// The command-line readers on any text, in a block of exactly its size, so that a read past the
// line's end is caught. Each answer must be a piece of the line.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/commandline.h"

namespace {

// The text occurs in the line (the readers only ever cut pieces out of it).
void MustBeInLine(const char* line, const str& text) {
    if (text.Length() > 0 && std::strstr(line, text.c_str()) == nullptr) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto line = std::make_unique<char[]>(size + 1);
    std::memcpy(line.get(), data, size);
    line[size] = '\0';
    const char* text = line.get();

    MustBeInLine(text, commandline::CheatCode(text));
    MustBeInLine(text, commandline::WordAfter(text, "-url="));
    MustBeInLine(text, commandline::WordAfter(text, "-host=", 259));
    MustBeInLine(text, commandline::WorkingDirectory(text));
    commandline::HostWindow(text);
    for (const auto& [key, value] : commandline::OptionPairs(text)) {
        MustBeInLine(text, key);
        MustBeInLine(text, value);
    }
    return 0;
}
