// The journal of the test module plug-ins (tests/ui/gamestate_module.cc): a file of this test's
// own, named to the module through UMBRAVA_MODULE_JOURNAL, read line by line.
#pragma once

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/tempdir.h"

namespace testing_support {

class TModuleJournal {
public:
    TModuleJournal() { setenv("UMBRAVA_MODULE_JOURNAL", mPath.c_str(), 1); }
    ~TModuleJournal() { unsetenv("UMBRAVA_MODULE_JOURNAL"); }
    TModuleJournal(const TModuleJournal&) = delete;
    TModuleJournal& operator=(const TModuleJournal&) = delete;

    // The lines written since the last call.
    std::vector<std::string> Take() {
        std::istringstream text(ReadFileBytes(mPath));
        WriteFileBytes(mPath, "");
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }

private:
    TempDir mDir;
    std::string mPath = mDir.File("journal.txt");
};

}  // namespace testing_support
