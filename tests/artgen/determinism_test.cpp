// The generator's output depends on its sources alone: run twice into two folders, with a
// different number of jobs, it writes the same files with the same bytes, and only under "anim/"
// and "xml/".
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "support/tempdir.h"

namespace {

// Every file below the folder, by relative path, with its bytes.
std::map<std::string, std::string> Files(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        files[std::filesystem::relative(entry.path(), folder).string()] =
            testing_support::ReadFileBytes(entry.path().string());
    }
    return files;
}

int RunGenerator(const std::string& out, int jobs) {
    const std::string command = std::string(ARTGEN) + " --recipes " + ART_RECIPES + " --style " +
                                ART_STYLE + " --logic " + ART_LOGIC + " --out " + out + " --jobs " +
                                std::to_string(jobs) + " " + ART_GROUPS;
    return std::system(command.c_str());
}

TEST(ArtgenOutput, TwoRunsIntoTwoFoldersWriteTheSameBytes) {
    testing_support::TempDir dir;
    ASSERT_EQ(RunGenerator(dir.File("a"), 2), 0);
    ASSERT_EQ(RunGenerator(dir.File("b"), 1), 0);
    const auto a = Files(dir.File("a"));
    const auto b = Files(dir.File("b"));
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a.size(), b.size());
    for (const auto& [name, bytes] : a) {
        auto other = b.find(name);
        ASSERT_NE(other, b.end()) << name;
        EXPECT_TRUE(other->second == bytes) << name << " differs";
        EXPECT_TRUE(name.rfind("anim/", 0) == 0 || name.rfind("xml/", 0) == 0) << name;
    }
    // And the build's own run wrote those bytes too.
    for (const auto& [name, bytes] : a) {
        EXPECT_TRUE(testing_support::ReadFileBytes(std::string(ART_GAME_FOLDER) + "/" + name) ==
                    bytes)
            << name << " differs from the built game folder's";
    }
}

}  // namespace
