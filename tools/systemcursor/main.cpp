// systemcursor: writes the built-in cursor's source file.
//   systemcursor OUT.cpp          writes the file, whole or not at all (tools/outputfile)
//   systemcursor --check FILE     exits 1 when FILE differs from what the tool writes now
// Every failure is one line on the error stream and the exit status 1.
#include <cstdio>
#include <string>

#include "cursorpng.h"
#include "inputfile.h"
#include "outputfile.h"

namespace {

// The committed source is some tens of KiB.
constexpr uint64_t kLargestSource = 1024 * 1024;

}  // namespace

int main(int argc, char** argv) {
    std::string source =
        systemcursor::WriteSource(systemcursor::EncodePng(systemcursor::DrawArrow()));
    std::string error;
    if (argc == 3 && std::string(argv[1]) == "--check") {
        std::string existing;
        if (!tools::ReadInputFile(argv[2], kLargestSource, &existing, &error)) {
            std::fprintf(stderr, "systemcursor: %s\n", error.c_str());
            return 1;
        }
        if (existing != source) {
            std::fprintf(stderr, "%s is not what tools/systemcursor writes; run it again\n",
                         argv[2]);
            return 1;
        }
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: systemcursor OUT.cpp | systemcursor --check FILE\n");
        return 2;
    }
    if (!tools::WriteOutputFile(argv[1], source, &error)) {
        std::fprintf(stderr, "systemcursor: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
