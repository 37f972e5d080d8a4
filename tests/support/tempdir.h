// A fresh, empty folder for one test, removed with everything in it when the object goes away.
// It lives under the system's temporary folder, never under the user's home.
#pragma once

#include <string>

namespace testing_support {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return mPath; }
    // Path() + "/" + name.
    std::string File(const std::string& name) const;

private:
    std::string mPath;
};

// Whole contents of a file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Writes bytes to a file, replacing it; false on failure.
bool WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace testing_support
