#include "outputfile.h"

#include "foundation/file/safefile.h"

namespace tools {

bool WriteOutputFile(const std::string& path, const char* data, size_t size, std::string* error) {
    std::string problem;
    if (ReplaceFileSafely(str(path.c_str()), data, size, problem)) return true;
    *error = "cannot write " + path + ": " + problem;
    return false;
}

}  // namespace tools
