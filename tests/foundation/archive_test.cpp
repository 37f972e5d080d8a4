#include "foundation/file/filemaphandler.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "archivewriter.h"
#include "filefixture.h"
#include "foundation/file/file.h"

namespace {

class ArchiveTest : public FileLayerTest {
protected:
    void Pack(const std::string& archive, const std::vector<bvpack::Member>& members) {
        std::string error;
        std::filesystem::create_directories(mDir.File("assets"));
        ASSERT_TRUE(bvpack::WriteArchive(members, mDir.File("assets/" + archive), &error)) << error;
    }
    // The whole of a file opened by name; "<none>" when it does not open.
    static std::string Contents(const char* name) {
        TFile* file = FileOpen(name, kFileReadBinary);
        if (file == nullptr) return "<none>";
        std::string out(static_cast<size_t>(FileGetSize(file)), '\0');
        out.resize(static_cast<size_t>(FileRead(file, out.data(), static_cast<int>(out.size()))));
        FileClose(file);
        return out;
    }
};

void Put32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(value >> (8 * i));
}

// A directory written by hand: count, then (name, offset, size) entries, then padding.
std::string Directory(int32_t count,
                      const std::vector<std::tuple<std::string, uint32_t, uint32_t>>& entries) {
    std::string out = "BVPK";
    Put32(out, static_cast<uint32_t>(count));
    for (const auto& [name, offset, size] : entries) {
        out += static_cast<char>(name.size());
        out += name;
        Put32(out, offset);
        Put32(out, size);
    }
    return out;
}

TEST_F(ArchiveTest, PackerWritesTheDirectoryThenTheDataInMemberOrder) {
    Pack("p.bvp", {{"Sprites/A.png", "aa"}, {"b", ""}, {"c.txt", "ccc"}});
    std::string expected = Directory(3, {{"Sprites/A.png", 54, 2}, {"b", 56, 0}, {"c.txt", 56, 3}});
    EXPECT_EQ(expected.size(), 54u);
    EXPECT_EQ(Get("assets/p.bvp"), expected + "aaccc");
}

TEST_F(ArchiveTest, PackerTakesTheFilesTheAssetScanWouldIndex) {
    Put("in/Sprites/X.PNG", "x");
    Put("in/a.txt", "a");
    Put("in/.svn/entries", "svn");
    Put("elsewhere/linked.png", "l");
    std::filesystem::create_directory_symlink(mDir.File("elsewhere"), mDir.File("in/folderlink"));
    std::filesystem::create_symlink(mDir.File("elsewhere/linked.png"), mDir.File("in/filelink"));
    std::vector<bvpack::Member> members;
    std::string error;
    ASSERT_TRUE(bvpack::CollectFolder(mDir.File("in"), &members, &error)) << error;
    std::vector<std::string> names;
    for (const bvpack::Member& member : members)
        names.push_back(member.name + "=" + member.data);
    EXPECT_EQ(names, (std::vector<std::string>{"Sprites/X.PNG=x", "a.txt=a", "filelink=l"}));

    // A link to nothing is passed over, wherever the listing meets it.
    std::filesystem::create_directories(mDir.File("dangling"));
    std::filesystem::create_symlink(mDir.File("nothing"), mDir.File("dangling/gone"));
    members.clear();
    EXPECT_TRUE(bvpack::CollectFolder(mDir.File("dangling"), &members, &error)) << error;
    EXPECT_TRUE(members.empty());
    EXPECT_FALSE(bvpack::CollectFolder(mDir.File("no-such-folder"), &members, &error));
}

TEST_F(ArchiveTest, PackerRefusesWhatTheReaderCannotMount) {
    using bvpack::Extent;
    const uint64_t kLargest = 0x7FFFFFFF;  // an archive's size is a signed 32-bit number
    const struct {
        const char* what;
        std::vector<Extent> members;
        bool fits;
        std::vector<uint32_t> offsets;
    } cases[] = {
        {"nothing", {}, true, {}},
        {"two members", {{1, 5}, {3, 0}}, true, {8 + 10 + 12, 8 + 10 + 12 + 5}},
        {"exactly the largest", {{1, kLargest - 18}}, true, {18}},
        {"one byte more", {{1, kLargest - 17}}, false, {}},
        {"sizes that wrap", {{1, 10}, {1, ~uint64_t{0} - 5}}, false, {}},
        {"empty name", {{0, 1}}, false, {}},
        {"name of 256 bytes", {{256, 1}}, false, {}},
        {"name of 255 bytes", {{255, 1}}, true, {8 + 1 + 255 + 8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint32_t> offsets;
        std::string error;
        EXPECT_EQ(bvpack::LayOut(c.members, &offsets, &error), c.fits) << error;
        if (c.fits) {
            EXPECT_EQ(offsets, c.offsets);
        }
    }
}

TEST_F(ArchiveTest, LaterArchivesWinAndLooseFilesWinOverAll) {
    Pack("a.bvp", {{"sprites/x.png", "from a"}, {"only_a.txt", "a"}});
    Pack("b.bvp", {{"sprites/x.png", "from b"}});
    ScanAssetFolder("", "assets");
    EXPECT_EQ(Contents("sprites/x.png"), "from b");
    EXPECT_EQ(Contents("only_a.txt"), "a");
    EXPECT_EQ(std::string(ResolvePath("sprites/x.png", true).c_str()).substr(0, 3), "@1:");

    Put("assets/sprites/x.png", "loose");
    ClearFileIndex();
    ScanAssetFolder("", "assets");
    EXPECT_EQ(Contents("sprites/x.png"), "loose");
    // Mounting again kept the archives' numbers.
    EXPECT_EQ(std::string(ResolvePath("only_a.txt", true).c_str()).substr(0, 3), "@0:");
}

TEST_F(ArchiveTest, MemberNamesAreCaseInsensitive) {
    Pack("data.bvp", {{"Sprites/X.PNG", "x"}});
    ScanAssetFolder("", "assets");
    EXPECT_EQ(Contents("sprites/x.png"), "x");
}

TEST_F(ArchiveTest, AnyNameHoldingDotBvpIsMountedCaseSensitively) {
    Pack("data.bvp.old", {{"old.txt", "old"}});
    Pack("DATA.BVP", {{"upper.txt", "upper"}});
    Pack("x.bvpk", {{"k.txt", "k"}});
    ScanAssetFolder("", "assets");
    EXPECT_EQ(Contents("old.txt"), "old");
    EXPECT_EQ(Contents("k.txt"), "k");
    EXPECT_EQ(Contents("upper.txt"), "<none>");
}

TEST_F(ArchiveTest, DirectoryAndBytesComeFromTheSameFileWhenNamesDifferInCase) {
    // Neither is spelled in lower case, so both names open the first match in byte order, for
    // the directory as for the mapping.
    Pack("DATA.bvp", {{"m.txt", "upper"}});
    Pack("Data.bvp", {{"m.txt", "mixed case"}});
    ScanAssetFolder("", "assets");
    EXPECT_EQ(Contents("m.txt"), "upper");
}

TEST_F(ArchiveTest, EmptyArchiveMountsAndAddsNothing) {
    Pack("a.bvp", {});
    Pack("b.bvp", {{"b.txt", "b"}});
    TFileMapHandler::MountArchives(TFileIndex::GetInstance(), "assets");
    EXPECT_EQ(std::string(ResolvePath("b.txt", true).c_str()), "@1:22,1");
    EXPECT_NE(TFileMapHandler::GetArchiveMapping(0), nullptr);
    str name;
    ASSERT_TRUE(FindIndexedFile("", name, true));
    EXPECT_EQ(name, "b.txt");
    EXPECT_FALSE(FindIndexedFile("", name, true));
}

TEST_F(ArchiveTest, ArchivesAreAlwaysTakenFromTheAssetFolder) {
    std::string error;
    std::filesystem::create_directories(mDir.File("home"));
    ASSERT_TRUE(bvpack::WriteArchive({{"u.txt", "u"}}, mDir.File("home/user.bvp"), &error));
    ScanAssetFolder("user:", mDir.File("home").c_str());
    EXPECT_EQ(Contents("u.txt"), "<none>");
    Pack("user.bvp", {{"u.txt", "from assets"}});
    ScanAssetFolder("user:", mDir.File("home").c_str());
    EXPECT_EQ(Contents("u.txt"), "from assets");
}

TEST_F(ArchiveTest, CorruptDirectoriesMountWhatIsSound) {
    const std::string data = "0123456789";
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> readable;
        const char* logged;
    };
    std::string pastEnd = Directory(2, {{"bad.txt", 30, 0x7FFFFFF0u}, {"good.txt", 0, 4}});
    std::string wrapping = Directory(1, {{"wrap.txt", 0xFFFFFFF0u, 0x20}});
    std::string truncated = Directory(3, {{"first.txt", 0, 4}, {"second.txt", 0, 2}});
    truncated += "\x05sec";
    const Case cases[] = {
        {"negative count", Directory(-5, {}) + data, {}, "entry count -5 does not fit"},
        {"huge count",
         Directory(0x7FFFFFFF, {{"good.txt", 0, 4}}) + data,
         {"good.txt"},
         "entry count 2147483647 does not fit"},
        {"entry past the end", pastEnd + data, {"good.txt"}, "member bad.txt lies past the end"},
        {"offset and size wrap", wrapping, {}, "member wrap.txt lies past the end"},
        {"truncated directory", truncated, {"first.txt", "second.txt"}, "directory cut short"},
        {"magic only", "BVPK", {}, nullptr},
        {"not an archive", "PKZIP and more", {}, nullptr},
        {"empty file", "", {}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Reset();
        Put("assets/c.bvp", c.bytes);
        ScanAssetFolder("", "assets");
        std::vector<std::string> readable;
        str name;
        while (FindIndexedFile("", name, true)) {
            if (std::string(name.c_str()) != "c.bvp") readable.push_back(name.c_str());
        }
        EXPECT_EQ(readable, c.readable);
        for (const std::string& member : readable)
            EXPECT_NE(Contents(member.c_str()), "<none>");
        if (c.logged != nullptr) {
            EXPECT_NE(LogText().find(c.logged), std::string::npos) << LogText();
        }
    }
}

TEST_F(ArchiveTest, ReadingTheDirectoryFromAMemoryBlock) {
    // The fuzz target's road: a directory read from any open file.
    std::string bytes = Directory(2, {{"A.txt", 0, 4}, {"b.txt", 4, 100}}) + "0123456789";
    RegisterMemoryFile("dir.bvp", bytes.data(), static_cast<uint32_t>(bytes.size()));
    TFile file;
    ASSERT_TRUE(file.Open("dir.bvp", kFileReadBinary));
    std::vector<std::string> names;
    EXPECT_TRUE(ReadArchiveDirectory(
        file, bytes.size(), "dir.bvp",
        [&](const str& name, uint32_t, uint32_t) { names.push_back(name.c_str()); }));
    EXPECT_EQ(names, (std::vector<std::string>{"A.txt"}));
}

TEST_F(ArchiveTest, RemountingKeepsOpenMembersReadable) {
    Pack("a.bvp", {{"m.txt", "member bytes"}});
    ScanAssetFolder("", "assets");
    TFile* file = FileOpen("m.txt", kFileReadBinary);
    ASSERT_NE(file, nullptr);
    char first[6] = {};
    EXPECT_EQ(FileRead(file, first, 5), 5);

    // A new archive takes the old one's place (a new file, as a data build makes it).
    Pack("a.tmp", {{"m.txt", "replaced"}});
    std::filesystem::rename(mDir.File("assets/a.tmp"), mDir.File("assets/a.bvp"));
    TFileMapHandler::OpenArchive(TFileIndex::GetInstance(), "::assets/a.bvp");
    char rest[16] = {};
    EXPECT_EQ(FileRead(file, rest, 16), 7);
    EXPECT_STREQ(rest, "r bytes");
    FileClose(file);
    EXPECT_EQ(Contents("m.txt"), "replaced");
}

TEST_F(ArchiveTest, MappingFailureIsLoggedAndItsMembersFailToOpen) {
    Pack("a.bvp", {{"m.txt", "m"}});
    port::control::InjectFailure("MapViewOfFile", 8, 1);
    ScanAssetFolder("", "assets");
    EXPECT_NE(LogText().find("Failed to open flat file ::assets/a.bvp"), std::string::npos);
    EXPECT_EQ(Contents("m.txt"), "<none>");
    EXPECT_NE(LogText().find("error reading @0:22,1 from flat file"), std::string::npos)
        << LogText();
}

TEST_F(ArchiveTest, MemberNamesOutsideTheirArchiveDoNotOpen) {
    Pack("a.bvp", {{"m.txt", "m"}});
    ScanAssetFolder("", "assets");
    for (const char* location :
         {"@0:0,24", "@0:23,1", "@0:4294967295,2", "@0:22", "@0", "@7:0,1"}) {
        TFileIndex::GetInstance().Set("forged", location);
        EXPECT_EQ(Contents("forged"), "<none>") << location;
    }
    TFileIndex::GetInstance().Set("forged", "@0:22,1");
    EXPECT_EQ(Contents("forged"), "m");
}

}  // namespace
