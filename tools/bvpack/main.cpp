// bvpack <folder> <archive.bvp>: packs every file below the folder into a "BVPK" archive, each
// named by its path relative to the folder (the names the game opens them by when the archive
// lies in its asset folder).
#include <cstdio>
#include <string>
#include <vector>

#include "archivewriter.h"
#include "toolmain.h"

namespace {

int Run(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bvpack <folder> <archive.bvp>\n");
        return 2;
    }
    std::vector<bvpack::Member> members;
    std::string error;
    if (!bvpack::CollectFolder(argv[1], &members, &error) ||
        !bvpack::WriteArchive(members, argv[2], &error)) {
        std::fprintf(stderr, "bvpack: %s\n", error.c_str());
        return 1;
    }
    std::printf("bvpack: %zu files into %s\n", members.size(), argv[2]);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // What is left to throw is the library's own (memory above all: the members are held whole,
    // and the archive beside them).
    return tools::RunReportingThrows(
        std::string("bvpack: cannot pack ") + (argc > 1 ? argv[1] : ""),
        [&] { return Run(argc, argv); });
}
