#include "foundation/file/datafolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "filefixture.h"
#include "foundation/file/folderlist.h"
#include "port/system/shell.h"

namespace {

class DataFolderTest : public FileLayerTest {
protected:
    void SetUp() override {
        FileLayerTest::SetUp();
        port::control::SetSpecialFolder(CSIDL_APPDATA, mDir.File("appdata"));
        port::control::SetSpecialFolder(CSIDL_COMMON_APPDATA, mDir.File("shared"));
        port::control::SetSpecialFolder(CSIDL_DESKTOP, mDir.File("desktop"));
    }
};

TEST_F(DataFolderTest, UserDataFolderUnderThePublisher) {
    const std::string expected = mDir.File("appdata/Brisvel/Umbrava/");
    char small[8];
    // Too small: the length needed, and nothing made.
    EXPECT_EQ(GetUserDataFolder(false, "Umbrava", small, sizeof small),
              static_cast<int>(expected.size()));
    EXPECT_FALSE(std::filesystem::exists(mDir.File("appdata/Brisvel")));
    std::vector<char> exact(expected.size());
    EXPECT_EQ(GetUserDataFolder(false, "Umbrava", exact.data(), static_cast<int>(exact.size())),
              static_cast<int>(expected.size()));

    char buffer[4096];
    ASSERT_EQ(GetUserDataFolder(false, "Umbrava", buffer, static_cast<int>(expected.size()) + 1),
              0);
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_TRUE(std::filesystem::is_directory(expected));

    TSettingsMap::GetInstance().Set("publisher", "Other Games");
    ASSERT_EQ(GetUserDataFolder(true, "Umbrava", buffer, sizeof buffer), 0);
    EXPECT_EQ(std::string(buffer), mDir.File("shared/Other Games/Umbrava/"));
    EXPECT_TRUE(std::filesystem::is_directory(buffer));

    EXPECT_EQ(GetUserDataFolder(false, nullptr, buffer, sizeof buffer), -1);
    EXPECT_EQ(GetUserDataFolder(false, "Umbrava", nullptr, 100), -1);
    port::control::InjectFailure("SHGetFolderPathA", 5, 1);
    EXPECT_EQ(GetUserDataFolder(false, "Umbrava", buffer, sizeof buffer), -1);
}

TEST_F(DataFolderTest, DesktopFolder) {
    char buffer[4096];
    EXPECT_EQ(GetDesktopFolder(buffer, sizeof buffer), -1);  // not there, and not made
    std::filesystem::create_directories(mDir.File("desktop"));
    const std::string expected = mDir.File("desktop/");
    ASSERT_EQ(GetDesktopFolder(buffer, sizeof buffer), 0);
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_EQ(GetDesktopFolder(buffer, 3), static_cast<int>(expected.size()));
    EXPECT_EQ(GetDesktopFolder(nullptr, 100), -1);
}

TEST_F(DataFolderTest, FullPath) {
    EXPECT_EQ(std::string(GetFullPath("a/../b\\c.txt").c_str()),
              std::filesystem::current_path().string() + "/b/c.txt");
    EXPECT_EQ(GetFullPath("").Length(), 0u);
}

TEST_F(DataFolderTest, FolderListing) {
    Put("list/b.txt", "");
    Put("list/A.txt", "");
    Put("list/sub/c.txt", "");
    Put("list/.hidden", "");
    std::vector<std::string> files;
    std::vector<std::string> all;
    TFolderList listing;
    for (const char* folder : {"list", "list/", "list\\"}) {
        SCOPED_TRACE(folder);
        files.clear();
        all.clear();
        listing.Open(folder);
        str name;
        while (listing.Next(name))
            files.push_back(name.c_str());
        listing.Open(folder);
        bool isFolder;
        while (listing.Next(name, &isFolder))
            all.push_back(std::string(name.c_str()) + (isFolder ? "/" : ""));
        EXPECT_EQ(files, (std::vector<std::string>{".hidden", "A.txt", "b.txt"}));
        EXPECT_EQ(all, (std::vector<std::string>{".hidden", "A.txt", "b.txt", "sub/"}));
    }
    str name;
    listing.Open(nullptr);
    EXPECT_FALSE(listing.Next(name));
    listing.Open("no-such-folder");
    EXPECT_FALSE(listing.Next(name));
}

}  // namespace
