// xml2anm: writes the binary form of an XML animation.
//
//   xml2anm INPUT.xml OUTPUT.anm
//
// The input is read only when it is a regular file of at most 2 GiB (tools/inputfile), then
// converted as the game reads animations, so an input the game would refuse (one without its
// sequence, img or framelist element or without frames) is refused here too. The output appears
// whole or not at all, and only in the place of a regular file (tools/outputfile). Every failure
// is one line on the error stream and the exit status 1.
#include <cstdint>
#include <cstdio>
#include <string>

#include "anmwriter.h"
#include "foundation/file/fileindex.h"
#include "inputfile.h"
#include "outputfile.h"
#include "toolmain.h"

namespace {

int Run(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: xml2anm INPUT.xml OUTPUT.anm\n");
        return 2;
    }
    std::string xml;
    std::string error;
    if (!tools::ReadInputFile(argv[1], tools::kLargestProgramFile, &xml, &error)) {
        std::fprintf(stderr, "xml2anm: %s\n", error.c_str());
        return 1;
    }
    // The game's loader reads it from memory, under the input's own name.
    RegisterMemoryFile(argv[1], xml.data(), static_cast<uint32_t>(xml.size()));
    std::string bytes;
    const bool converted = tools::ConvertXmlToAnm(argv[1], &bytes);
    RegisterMemoryFile(argv[1], nullptr, 0);
    if (!converted) {
        std::fprintf(stderr, "xml2anm: %s is not an animation the game loads\n", argv[1]);
        return 1;
    }
    if (!tools::WriteOutputFile(argv[2], bytes, &error)) {
        std::fprintf(stderr, "xml2anm: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // What is left to throw is the library's own (memory above all: the input, its tree and the
    // output are held whole).
    return tools::RunReportingThrows("xml2anm", [&] { return Run(argc, argv); });
}
