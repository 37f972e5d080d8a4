#include "foundation/file/fileindex.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "filefixture.h"
#include "foundation/file/file.h"

namespace {

using FileIndexTest = FileLayerTest;

std::string Resolve(const char* name, bool mustExist = true) {
    return ResolvePath(name, mustExist).c_str();
}

std::vector<std::string> ListIndexed(const char* prefix, bool subfolders) {
    std::vector<std::string> names;
    str name;
    while (FindIndexedFile(prefix, name, subfolders))
        names.push_back(name.c_str());
    return names;
}

TEST_F(FileIndexTest, NamesAreFoundWhateverTheirCaseAndKeepTheDisksSpelling) {
    Put("assets/Sprites/X.PNG", "png");
    Put("assets/top.txt", "top");
    ScanAssetFolder("", "assets");
    EXPECT_EQ(Resolve("sprites/x.png"), "assets/Sprites/X.PNG");
    EXPECT_EQ(Resolve("Sprites/X.PNG"), "assets/Sprites/X.PNG");
    TFile* file = FileOpen("SPRITES/x.Png", kFileReadBinary);
    ASSERT_NE(file, nullptr);
    FileClose(file);

    // "assets" in front changes nothing; the rest is looked up as written.
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {
        {"assets/sprites/x.png", "assets/Sprites/X.PNG"},
        {"assets\\sprites/x.png", "assets/Sprites/X.PNG"},
        {"ASSETS/top.txt", "assets/top.txt"},
        {"assets\\sprites\\x.png", ""},
        {"assetsX/top.txt", ""},
        {"sprites", ""},  // folders are not indexed
        {"Top.txt", "assets/top.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Resolve(c.name), c.expected) << c.name;
}

TEST_F(FileIndexTest, ScanningAFolderNamedWithBackslashesStoresUsablePaths) {
    Put("assets/Sub/Deeper/X.txt", "x");
    ScanAssetFolder("", "assets\\Sub");
    EXPECT_EQ(Resolve("sub/deeper/x.txt"), "assets/Sub/Deeper/X.txt");
    TFile* file = FileOpen("sub/deeper/x.txt", kFileReadBinary);
    ASSERT_NE(file, nullptr);
    FileClose(file);
}

TEST_F(FileIndexTest, DoubleColonNamesAreRealPathsPastIndexAndManifest) {
    Put("final.txt", "hidden.txt");
    Put("assets/hidden.txt", "h");
    Put("Loose/Notes.TXT", "n");
    LoadAssetManifest();
    EXPECT_FALSE(FileExists("hidden.txt"));
    EXPECT_EQ(Resolve("::assets/hidden.txt"), "assets/hidden.txt");
    // Lower-cased, then matched against the disk one folder at a time.
    EXPECT_EQ(Resolve("::LOOSE\\notes.txt"), "Loose/Notes.TXT");
    const std::string absolute = mDir.File("Loose/Notes.TXT");
    EXPECT_EQ(Resolve(("::" + absolute).c_str()), absolute);
    EXPECT_EQ(Resolve("::loose/missing.txt"), "");
    // Never entered into the index.
    EXPECT_TRUE(ListIndexed("::", true).empty());
}

TEST_F(FileIndexTest, ManifestHidesNamesAndDashStarForgetsEarlierOnes) {
    Put("final.txt", "a.png\r\nSUB/C.png -*\tb.png\nsub/d.png");
    Put("firstpeek.txt", "a.png");
    for (const char* name : {"a.png", "b.png", "sub/c.png", "sub/d.png"})
        Put(std::string("assets/") + name, "x");
    LoadAssetManifest();
    EXPECT_TRUE(FileExists("a.png"));
    EXPECT_FALSE(FileExists("b.png"));
    EXPECT_TRUE(FileExists("sub/c.png"));
    EXPECT_FALSE(FileExists("sub/d.png"));
    EXPECT_EQ(Resolve("b.png", false), "");  // hidden names are not indexed at all
    EXPECT_EQ(ListIndexed("", true), (std::vector<std::string>{"a.png", "sub/c.png"}));

    Reset();
    TSettingsMap::GetInstance().Set("firstpeek", "1");
    LoadAssetManifest();
    EXPECT_FALSE(FileExists("a.png"));
    EXPECT_TRUE(FileExists("b.png"));
}

TEST_F(FileIndexTest, ManifestOfAHundredThousandBytesIsIgnored) {
    Put("assets/a.png", "x");
    std::string manifest = "a.png";
    manifest.resize(100000, ' ');
    Put("final.txt", manifest);
    LoadAssetManifest();
    EXPECT_TRUE(FileExists("a.png"));
    manifest.resize(99999);
    Put("final.txt", manifest);
    Reset();
    LoadAssetManifest();
    EXPECT_FALSE(FileExists("a.png"));
}

TEST_F(FileIndexTest, ScanSkipsSvnAndLinkedFoldersAndScansDataFoldersUnlessEmbedded) {
    Put("assets/ui/.svn/entries", "x");
    Put("assets/ui/ok.png", "x");
    Put("elsewhere/linked.png", "x");
    std::filesystem::create_directory_symlink(mDir.File("elsewhere"), mDir.File("assets/link"));
    Put("home/user/strings_de.xml", "x");
    Put("home/common/display.xml", "x");
    SetUserDataRoot(mDir.File("home/user").c_str());
    SetCommonDataRoot(mDir.File("home/common").c_str());
    LoadAssetManifest();
    EXPECT_EQ(ListIndexed("", true), (std::vector<std::string>{"common:/display.xml", "ui/ok.png",
                                                               "user:/strings_de.xml"}));
    EXPECT_EQ(ListIndexed("user:", false), (std::vector<std::string>{"user:/strings_de.xml"}));

    Reset();
    SetUserDataRoot(mDir.File("home/user").c_str());
    TSettingsMap::GetInstance().Set("activex", "1");
    LoadAssetManifest();
    EXPECT_EQ(ListIndexed("", true), (std::vector<std::string>{"ui/ok.png"}));
}

TEST_F(FileIndexTest, FindIndexedFileWithAndWithoutSubfolders) {
    static const char block[] = "x";
    for (const char* name : {"ui/b.png", "UI/A.png", "ui/sub/c.png", "ui/sub/deeper/d.png",
                             "uix.png", "other/e.png"}) {
        RegisterMemoryFile(name, block, 1);
    }
    EXPECT_EQ(ListIndexed("UI/", false), (std::vector<std::string>{"ui/a.png", "ui/b.png"}));
    EXPECT_EQ(
        ListIndexed("ui/", true),
        (std::vector<std::string>{"ui/a.png", "ui/b.png", "ui/sub/c.png", "ui/sub/deeper/d.png"}));
    // The character after the prefix is passed over, whatever it is.
    EXPECT_EQ(ListIndexed("ui", false),
              (std::vector<std::string>{"ui/a.png", "ui/b.png", "uix.png"}));
    EXPECT_TRUE(ListIndexed("zz", true).empty());
    str name = "ui/b.png";  // resuming from a previous result
    ASSERT_TRUE(FindIndexedFile("ui/", name, true));
    EXPECT_EQ(name, "ui/sub/c.png");
}

TEST_F(FileIndexTest, DataFolderNamesNeedReadAndWriteAccessToExist) {
    Put("home/user/prefs.dat", "p");
    SetUserDataRoot(mDir.File("home/user").c_str());
    SetDesktopRoot((mDir.File("desk") + "\\").c_str());
    EXPECT_TRUE(FileExists("user:prefs.dat"));
    EXPECT_FALSE(FileExists("user:nothing.dat"));
    EXPECT_EQ(Resolve("desktop:Shot.png", false), mDir.File("desk/shot.png"));
    // Resolved data names are entered into the index.
    EXPECT_EQ(ListIndexed("", true),
              (std::vector<std::string>{"desktop:shot.png", "user:prefs.dat"}));
}

TEST_F(FileIndexTest, ResolvingAndRegisteringFromSeveralThreads) {
    SetUserDataRoot(mDir.File("home").c_str());
    static const char block[] = "abc";
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 200; ++i) {
                str name = str::Format("t%d/%d", t, i % 10);
                RegisterMemoryFile(name, block, 3);
                ResolvePath(str::Format("user:t%d/%d", t, i), false);
                TFile* file = FileOpen(name, kFileReadBinary);
                if (file != nullptr) FileClose(file);
                str found;
                FindIndexedFile("t", found, true);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(ListIndexed("t0/", true).size(), 10u);
}

}  // namespace
