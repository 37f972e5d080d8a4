// Safe saving: replacing a file through a temporary file, backups of damaged preference files,
// and the preference store's saves when a step fails.
#include "foundation/file/safefile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "foundation/prefs/prefs.h"
#include "port/control.h"
#include "prefsfixture.h"
#include "support/printers.h"

namespace {

using prefs_testing::FileBuilder;
using prefs_testing::ListRecords;
using PrefsTest = prefs_testing::PrefsTest;
using Names = std::vector<std::string>;

class SafeFileTest : public FileLayerTest {};

TEST_F(SafeFileTest, ReplacesWholeAndKeepsPermissions) {
    Put("data/file", "old contents");
    ASSERT_EQ(chmod(mDir.File("data/file").c_str(), 0640), 0);
    // A temporary file left by an earlier crash is simply written over.
    Put("data/file.tmp", "stale");
    std::string problem;
    ASSERT_TRUE(ReplaceFileSafely(mDir.File("data/file").c_str(), "new", 3, problem)) << problem;
    EXPECT_EQ(Get("data/file"), "new");
    EXPECT_FALSE(std::filesystem::exists(mDir.File("data/file.tmp")));
    struct stat info;
    ASSERT_EQ(stat(mDir.File("data/file").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    // Missing folders are made.
    ASSERT_TRUE(ReplaceFileSafely(mDir.File("new/deeper/file").c_str(), "x", 1, problem));
    EXPECT_EQ(Get("new/deeper/file"), "x");
}

TEST_F(SafeFileTest, NewFileTakesTheUsualPermissions) {
    // With nothing there before, the file is made as any other new file: the umask applies, so
    // it is not left writable by everyone.
    const mode_t before = umask(022);
    std::string problem;
    const bool replaced = ReplaceFileSafely(mDir.File("fresh").c_str(), "x", 1, problem);
    umask(before);
    ASSERT_TRUE(replaced) << problem;
    struct stat info;
    ASSERT_EQ(stat(mDir.File("fresh").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(SafeFileTest, LinkStaysALink) {
    Put("elsewhere/real", "old");
    std::filesystem::create_directories(mDir.File("data"));
    std::filesystem::create_symlink(mDir.File("elsewhere/real"), mDir.File("data/link"));
    std::string problem;
    ASSERT_TRUE(ReplaceFileSafely(mDir.File("data/link").c_str(), "new", 3, problem)) << problem;
    EXPECT_TRUE(std::filesystem::is_symlink(mDir.File("data/link")));
    EXPECT_EQ(Get("elsewhere/real"), "new");

    std::filesystem::create_directories(mDir.File("data/folder"));
    EXPECT_FALSE(ReplaceFileSafely(mDir.File("data/folder").c_str(), "new", 3, problem));
    EXPECT_EQ(problem, "it is a folder");
}

TEST_F(SafeFileTest, EachFailingStepKeepsTheOldFile) {
    for (const char* operation : {"CreateFileA", "WriteFile", "FlushFileBuffers", "MoveFileExA"}) {
        Put("file", "old contents");
        port::control::InjectFailure(operation, 5, 1);
        std::string problem;
        EXPECT_FALSE(ReplaceFileSafely(mDir.File("file").c_str(), "new", 3, problem)) << operation;
        EXPECT_FALSE(problem.empty()) << operation;
        EXPECT_EQ(Get("file"), "old contents") << operation;
        EXPECT_FALSE(std::filesystem::exists(mDir.File("file.tmp"))) << operation;
        port::control::ClearFailures();
    }
}

TEST_F(SafeFileTest, BackupsNeverOverwriteEachOther) {
    Put("file", "first");
    std::string problem;
    EXPECT_EQ(BackupFile(mDir.File("file").c_str(), problem), str(mDir.File("file.bak").c_str()));
    Put("file", "second");
    EXPECT_EQ(BackupFile(mDir.File("file").c_str(), problem), str(mDir.File("file.bak2").c_str()));
    EXPECT_EQ(Get("file.bak"), "first");
    EXPECT_EQ(Get("file.bak2"), "second");

    // A copy that fails leaves nothing behind.
    port::control::InjectFailure("WriteFile", 5, 1);
    EXPECT_EQ(BackupFile(mDir.File("file").c_str(), problem), str());
    EXPECT_FALSE(problem.empty());
    EXPECT_FALSE(std::filesystem::exists(mDir.File("file.bak3")));
    EXPECT_EQ(BackupFile(mDir.File("missing").c_str(), problem), str());
}

class PrefsSafetyTest : public PrefsTest {
protected:
    void ClearUserFolder() {
        std::filesystem::remove_all(mDir.File("user"));
        std::filesystem::create_directories(mDir.File("user"));
    }
};

TEST_F(PrefsSafetyTest, DamagedFileKeepsWhatWasReadAndLeavesOneBackup) {
    const std::string good = FileBuilder().Install("test-install").User(0).Pair("kept", "1").Get();
    struct Case {
        const char* name;
        std::string bytes;
        bool keeps;
    };
    const Case cases[] = {
        {"truncated tail", good + FileBuilder().User(1).Pair("lost", "x").Get().substr(0, 20),
         true},
        {"size out of range",
         good + std::string("KVPR") + prefs_testing::LittleEndian32(0x7FFFFFFF), true},
        {"slot out of range", good + FileBuilder().User(1025).Pair("lost", "x").Get(), true},
        {"unknown record", good + FileBuilder().Sealed("JUNK", "x").Get(), true},
        {"encryption key changed", FileBuilder("SomeOtherKey").Install("test-install").Get() + good,
         false},
        {"first record unreadable", std::string("IKEY") + prefs_testing::LittleEndian32(3) + "abc",
         false},
        {"one byte", "I", false},
    };
    for (const Case& c : cases) {
        ClearUserFolder();
        PutPrefs(c.bytes);
        {
            TPrefs prefs(true);
            EXPECT_EQ(prefs.GetString("kept", "", -1), str(c.keeps ? "1" : "")) << c.name;
            EXPECT_EQ(prefs.GetString("lost", "", 0), str("")) << c.name;
        }
        EXPECT_EQ(UserFiles(), (Names{"prefs.dat", "prefs.dat.bak"})) << c.name;
        EXPECT_EQ(Get("user/prefs.dat.bak"), c.bytes) << c.name;
        // The file now holds what was read, and reads cleanly.
        EXPECT_EQ(ListRecords(GetPrefs()).front().tag, "IKEY") << c.name;
        {
            TPrefs prefs(true);
            EXPECT_EQ(prefs.GetString("kept", "", -1), str(c.keeps ? "1" : "")) << c.name;
        }
        EXPECT_EQ(UserFiles(), (Names{"prefs.dat", "prefs.dat.bak"})) << c.name;
    }
    const std::string log = LogText();
    EXPECT_NE(log.find("Preference file user:prefs.dat damaged at byte 68 (record cut short)"),
              std::string::npos);
    EXPECT_NE(log.find("damaged at byte 0 (payload does not decipher)"), std::string::npos);
    EXPECT_NE(log.find("prefs.dat.bak before it is replaced"), std::string::npos);
}

TEST_F(PrefsSafetyTest, EmptyFileIsNotDamage) {
    PutPrefs("");
    { TPrefs prefs(true); }
    EXPECT_EQ(UserFiles(), (Names{"prefs.dat"}));
    EXPECT_EQ(LogText().find("damaged"), std::string::npos);
}

TEST_F(PrefsSafetyTest, EarlierBackupIsKept) {
    Put("user/prefs.dat.bak", "an earlier backup");
    PutPrefs(FileBuilder().User(0).Get());
    { TPrefs prefs(true); }
    EXPECT_EQ(UserFiles(), (Names{"prefs.dat", "prefs.dat.bak", "prefs.dat.bak2"}));
    EXPECT_EQ(Get("user/prefs.dat.bak"), "an earlier backup");
    EXPECT_EQ(Get("user/prefs.dat.bak2"), FileBuilder().User(0).Get());
}

TEST_F(PrefsSafetyTest, DamagedFileIsNotReplacedWithoutItsBackup) {
    const std::string damaged = FileBuilder().Install("test-install").User(2000).Get();
    PutPrefs(damaged);
    TPrefs prefs(true);
    port::control::InjectFailure("CopyFileA", 5, 1);
    prefs.SetString("name", "x", 0, true);
    EXPECT_EQ(GetPrefs(), damaged);
    EXPECT_EQ(UserFiles(), (Names{"prefs.dat"}));
    EXPECT_NE(LogText().find("Preferences not saved: the damaged file"), std::string::npos);

    // The next save tries again.
    prefs.SetString("name", "y", 0, true);
    EXPECT_EQ(Get("user/prefs.dat.bak"), damaged);
    EXPECT_EQ(ListRecords(GetPrefs()).size(), 5u);
}

TEST_F(PrefsSafetyTest, SomethingUnreadableInThePlaceOfTheFileIsLeftAlone) {
    std::filesystem::create_directories(mDir.File("user/prefs.dat/inside"));
    {
        TPrefs prefs(true);
        prefs.SetString("name", "x", 0, true);
    }
    EXPECT_TRUE(std::filesystem::is_directory(mDir.File("user/prefs.dat/inside")));
    EXPECT_EQ(UserFiles(), (Names{"prefs.dat"}));
    const std::string log = LogText();
    EXPECT_NE(log.find("damaged at byte 0 (cannot be opened)"), std::string::npos);
    EXPECT_NE(log.find("could not be backed up"), std::string::npos);
}

TEST_F(PrefsSafetyTest, FailingSaveLeavesTheOldFileIntact) {
    const std::string old = FileBuilder().Install("test-install").User(0).Pair("v", "old").Get();
    for (const char* operation : {"CreateFileA", "WriteFile", "FlushFileBuffers", "MoveFileExA"}) {
        PutPrefs(old);
        TPrefs prefs(true);
        port::control::InjectFailure(operation, 5, 1);
        prefs.SetString("v", "new", -1, true);
        EXPECT_EQ(GetPrefs(), old) << operation;
        EXPECT_EQ(UserFiles(), (Names{"prefs.dat"})) << operation;
        port::control::ClearFailures();
        prefs.SetString("v", "newer", -1, true);
        TPrefs reread(false);
        EXPECT_EQ(reread.GetString("v", "", -1), str("newer")) << operation;
    }
    EXPECT_NE(LogText().find("Preferences not saved to"), std::string::npos);
}

TEST_F(PrefsSafetyTest, LeftoverTemporaryFilesOfEveryKindGoWithTheNextSave) {
    // A pipe would never be read, and writing through a link would change the file it names.
    Put("elsewhere", "not ours");
    std::filesystem::create_directories(mDir.File("user"));
    using MakeLeftover = std::function<void(const std::string&)>;
    const std::vector<MakeLeftover> leftovers = {
        [&](const std::string& path) { testing_support::WriteFileBytes(path, "cut off"); },
        [&](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0666), 0); },
        [&](const std::string& path) {
            std::filesystem::create_symlink(mDir.File("elsewhere"), path);
        },
    };
    int value = 0;
    for (const MakeLeftover& make : leftovers) {
        make(mDir.File("user/prefs.dat.tmp"));
        {
            TPrefs prefs(true);
            prefs.SetInt("v", ++value, -1, true);
        }
        EXPECT_EQ(UserFiles(), (Names{"prefs.dat"})) << value;
        EXPECT_EQ(TPrefs(false).GetInt("v", 0, -1), value);
    }
    EXPECT_EQ(Get("elsewhere"), "not ours");
}

TEST_F(PrefsSafetyTest, FolderWhereTheTemporaryFileMustGo) {
    const std::string old = FileBuilder().Install("test-install").User(0).Pair("v", "old").Get();
    PutPrefs(old);
    std::filesystem::create_directories(mDir.File("user/prefs.dat.tmp"));
    {
        TPrefs prefs(true);
        prefs.SetString("v", "new", -1, true);
    }
    EXPECT_EQ(GetPrefs(), old);
    EXPECT_TRUE(std::filesystem::is_directory(mDir.File("user/prefs.dat.tmp")));
    EXPECT_NE(LogText().find("Preferences not saved to"), std::string::npos);
}

}  // namespace
