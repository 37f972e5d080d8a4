#include "port/system/shell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "port/control.h"
#include "port/startup.h"
#include "port/system/lasterror.h"
#include "support/tempdir.h"

namespace {

TEST(ShellTest, ModuleFileName) {
    char path[4096];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(std::string(path).substr(length - 10), "port_tests");

    char small[5];
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 5u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::string(small), std::string(path, 4));

    port::control::SetModulePath("/opt/games/umbrava/umbrava");
    GetModuleFileNameA(nullptr, path, sizeof path);
    EXPECT_STREQ(path, "/opt/games/umbrava/umbrava");
    port::control::SetModulePath("");
}

TEST(ShellTest, ShortPathIsTheIdentity) {
    char out[64];
    EXPECT_EQ(GetShortPathNameA("/Some Long/Path Name", out, sizeof out), 20u);
    EXPECT_STREQ(out, "/Some Long/Path Name");
    EXPECT_EQ(GetShortPathNameA("/abc", out, 4), 5u);  // the size needed
}

TEST(ShellTest, CurrentAndFullPaths) {
    testing_support::TempDir dir;
    char before[4096];
    ASSERT_GT(GetCurrentDirectoryA(sizeof before, before), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
    char now[4096];
    GetCurrentDirectoryA(sizeof now, now);
    EXPECT_EQ(std::filesystem::canonical(now), std::filesystem::canonical(dir.Path()));

    char full[4096];
    char* file = nullptr;
    DWORD length = GetFullPathNameA("a/../b\\c.txt", sizeof full, full, &file);
    EXPECT_EQ(std::string(full), std::string(now) + "/b/c.txt");
    EXPECT_EQ(length, std::string(full).size());
    ASSERT_NE(file, nullptr);
    EXPECT_STREQ(file, "c.txt");
    EXPECT_EQ(GetFullPathNameA("/x/./y", 3, full, nullptr), 5u);

    // Dot components name folders without a trailing separator; a given trailing one is kept.
    const std::string cwd(now);
    const std::string parent = cwd.substr(0, cwd.rfind('/'));
    const std::string leaf = cwd.substr(cwd.rfind('/') + 1);
    const std::string parentLeaf = parent.substr(parent.rfind('/') + 1);
    struct Case {
        const char* name;
        std::string full;
        std::string filePart;  // empty when the result ends in a separator
    };
    const Case cases[] = {
        {".", cwd, leaf},        {"a/.", cwd + "/a", "a"},
        {"a\\..", cwd, leaf},    {"..", parent, parentLeaf},
        {"a/", cwd + "/a/", ""}, {"a/../", cwd + "/", ""},
        {"/", "/", ""},          {"/x/y/.", "/x/y", "y"},
    };
    for (const Case& c : cases) {
        file = nullptr;
        length = GetFullPathNameA(c.name, sizeof full, full, &file);
        EXPECT_EQ(std::string(full), c.full) << c.name;
        EXPECT_EQ(length, c.full.size()) << c.name;
        EXPECT_EQ(file != nullptr ? std::string(file) : std::string(), c.filePart) << c.name;
    }

    EXPECT_FALSE(SetCurrentDirectoryA("/no/such/folder/here"));
    ASSERT_TRUE(SetCurrentDirectoryA(before));
}

class SpecialFolderTest : public ::testing::Test {
protected:
    testing_support::TempDir mDir;
};

TEST_F(SpecialFolderTest, OverridesAndCreation) {
    std::string user = mDir.File("user/appdata");
    port::control::SetSpecialFolder(CSIDL_APPDATA, user + "/");
    char path[MAX_PATH];
    EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, path), E_FAIL);  // missing
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path), S_OK);
    EXPECT_EQ(std::string(path), user);  // no trailing separator
    EXPECT_TRUE(std::filesystem::is_directory(user));
}

TEST_F(SpecialFolderTest, EnvironmentFoldersAreDistinct) {
    // The test environment points the XDG folders into the build; the shared folder lies beside
    // the user's and is never the same folder.
    char user[MAX_PATH], common[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, user), S_OK);
    ASSERT_EQ(
        SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, common),
        S_OK);
    EXPECT_NE(std::string(user), std::string(common));
    const char* home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(std::string(user).rfind(home, 0), 0u);
}

TEST_F(SpecialFolderTest, InjectedFailure) {
    port::control::InjectFailure("SHGetFolderPathA", ERROR_PATH_NOT_FOUND, 1);
    char path[MAX_PATH];
    EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_DESKTOP, nullptr, 0, path), E_FAIL);
    EXPECT_EQ(SHGetFolderPathA(nullptr, 0x30, nullptr, 0, path), E_FAIL);  // unknown id
}

std::vector<std::string> gLogged;
void CaptureLog(const char* line) {
    gLogged.push_back(line);
}

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        port::control::SetLinkLauncher([this](const std::vector<std::string>& argv) {
            mLaunched.push_back(argv);
            return true;
        });
        port::SetLogSink(CaptureLog);
        gLogged.clear();
    }
    static bool Succeeded(HINSTANCE result) { return reinterpret_cast<uintptr_t>(result) > 32; }
    std::vector<std::vector<std::string>> mLaunched;
};

TEST_F(LinkTest, OpensWebAndMailLinksWithAnArgumentVector) {
    EXPECT_TRUE(Succeeded(ShellExecuteA(nullptr, "open", "https://example.org/a b;rm -rf", nullptr,
                                        nullptr, SW_SHOWNORMAL)));
    EXPECT_TRUE(Succeeded(
        ShellExecuteA(nullptr, "open", "MAILTO:x@example.org", nullptr, nullptr, SW_SHOWNORMAL)));
    // A host names its own program; the old browser default means the system's opener.
    EXPECT_TRUE(Succeeded(ShellExecuteA(nullptr, "open", "iexplore.exe", "http://example.org",
                                        nullptr, SW_SHOWNORMAL)));
    EXPECT_TRUE(Succeeded(
        ShellExecuteA(nullptr, "open", "firefox", "http://example.org", nullptr, SW_SHOWNORMAL)));
    ASSERT_EQ(mLaunched.size(), 4u);
    EXPECT_EQ(mLaunched[0],
              (std::vector<std::string>{"xdg-open", "https://example.org/a b;rm -rf"}));
    EXPECT_EQ(mLaunched[2], (std::vector<std::string>{"xdg-open", "http://example.org"}));
    EXPECT_EQ(mLaunched[3], (std::vector<std::string>{"firefox", "http://example.org"}));
    EXPECT_TRUE(gLogged.empty());
}

TEST_F(LinkTest, RefusesEverythingElse) {
    for (const char* target : {"file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)", ""}) {
        EXPECT_FALSE(
            Succeeded(ShellExecuteA(nullptr, "open", target, nullptr, nullptr, SW_SHOWNORMAL)))
            << target;
    }
    EXPECT_FALSE(Succeeded(ShellExecuteA(nullptr, "open", "sh", "-c reboot", nullptr, 1)));
    EXPECT_TRUE(mLaunched.empty());
    EXPECT_EQ(gLogged.size(), 5u);
    EXPECT_EQ(gLogged[0].rfind("ShellExecute refused: file:///etc/passwd", 0), 0u);
}

}  // namespace
