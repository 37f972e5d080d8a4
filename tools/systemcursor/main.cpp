// systemcursor: writes the built-in cursor's source file.
//   systemcursor OUT.cpp          writes the file
//   systemcursor --check FILE     exits 1 when FILE differs from what the tool writes now
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "cursorpng.h"

int main(int argc, char** argv) {
    std::string source =
        systemcursor::WriteSource(systemcursor::EncodePng(systemcursor::DrawArrow()));
    if (argc == 3 && std::string(argv[1]) == "--check") {
        std::ifstream in(argv[2], std::ios::binary);
        std::stringstream existing;
        existing << in.rdbuf();
        if (!in || existing.str() != source) {
            std::cerr << argv[2] << " is not what tools/systemcursor writes; run it again\n";
            return 1;
        }
        return 0;
    }
    if (argc != 2) {
        std::cerr << "usage: systemcursor OUT.cpp | systemcursor --check FILE\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << source;
    return out ? 0 : 1;
}
