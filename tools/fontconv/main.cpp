// fontconv: writes a TrueType or OpenType font as "MVC4" vector-font data, or as the C++ source
// of the program's built-in font. See fontconverter.h for what is written.
//
//   fontconv [--builtin] [--strings FILE]... [--cpp SYMBOL] FONT OUTPUT
//
// --builtin     ASCII and Latin-1 only (the built-in font); else the game's character set
// --strings     also every character of this UTF-8 file (repeatable)
// --cpp SYMBOL  write a C++ source defining SYMBOL and SYMBOLSize instead of the font file
//
// Inputs are read only when they are regular files within their limits (fontconverter.h); the
// output appears whole or not at all, and only in the place of a regular file (tools/outputfile).
// Every failure is one line on the error stream and the exit status 1.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fontconverter.h"
#include "outputfile.h"
#include "toolmain.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: fontconv [--builtin] [--strings FILE]... [--cpp SYMBOL] FONT OUTPUT\n");
    return 2;
}

int Run(int argc, char** argv) {
    bool builtin = false;
    std::vector<std::string> stringsFiles;
    std::string symbol;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--builtin") == 0) {
            builtin = true;
        } else if (std::strcmp(argv[i], "--strings") == 0 && i + 1 < argc) {
            stringsFiles.push_back(argv[++i]);
        } else if (std::strcmp(argv[i], "--cpp") == 0 && i + 1 < argc) {
            symbol = argv[++i];
        } else if (argv[i][0] == '-') {
            return Usage();
        } else {
            paths.push_back(argv[i]);
        }
    }
    if (paths.size() != 2) return Usage();

    std::vector<uint32_t> codes =
        builtin ? fontconv::BuiltinCharacterSet() : fontconv::GameCharacterSet();
    std::string error;
    for (const std::string& file : stringsFiles) {
        if (!fontconv::ReadStringsFile(file, &codes, &error)) {
            std::fprintf(stderr, "fontconv: %s\n", error.c_str());
            return 1;
        }
    }
    std::vector<uint8_t> font;
    if (!fontconv::ConvertFont(paths[0], codes, &font, &error)) {
        std::fprintf(stderr, "fontconv: %s\n", error.c_str());
        return 1;
    }
    bool written;
    if (symbol.empty()) {
        written = tools::WriteOutputFile(paths[1], reinterpret_cast<const char*>(font.data()),
                                         font.size(), &error);
    } else {
        std::string base = paths[0].substr(paths[0].find_last_of('/') + 1);
        written = tools::WriteOutputFile(paths[1], fontconv::CppSource(font, symbol, base), &error);
    }
    if (!written) {
        std::fprintf(stderr, "fontconv: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // What is left to throw is the library's own (memory above all: the font and its outlines
    // are held whole).
    return tools::RunReportingThrows("fontconv", [&] { return Run(argc, argv); });
}
