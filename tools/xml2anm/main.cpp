// xml2anm: writes the binary form of an XML animation.
//
//   xml2anm INPUT.xml OUTPUT.anm
//
// The input is read as the game reads animations, so an input the game would refuse (a missing
// file, or one without its sequence, img or framelist element or without frames) is refused
// here too.
#include <cstdio>
#include <fstream>
#include <string>

#include "anmwriter.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: xml2anm INPUT.xml OUTPUT.anm\n");
        return 2;
    }
    std::string bytes;
    // "::" reads a real path, past the asset index.
    if (!tools::ConvertXmlToAnm(str("::") + argv[1], &bytes)) {
        std::fprintf(stderr, "xml2anm: %s is not an animation the game loads\n", argv[1]);
        return 1;
    }
    std::ofstream file(argv[2], std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "xml2anm: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
