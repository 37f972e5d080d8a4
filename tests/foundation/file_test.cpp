#include "foundation/file/file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archivewriter.h"
#include "filefixture.h"

namespace {

std::string ReadAll(TFile* file) {
    std::string out;
    char buffer[7];  // small, so reads cross the carriage returns
    int got;
    while ((got = FileRead(file, buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<size_t>(got));
    return out;
}

class FileTest : public FileLayerTest {
protected:
    // One file of each kind holding the same bytes: "disk.txt" loose in the asset folder,
    // "member.txt" in an archive, "memory.txt" a registered block.
    void MakeAllKinds(const std::string& bytes) {
        Put("assets/disk.txt", bytes);
        std::string error;
        ASSERT_TRUE(
            bvpack::WriteArchive({{"member.txt", bytes}}, mDir.File("assets/a.bvp"), &error))
            << error;
        mBlock = bytes;
        RegisterMemoryFile("Memory.txt", mBlock.data(), static_cast<uint32_t>(mBlock.size()));
        ScanAssetFolder("", "assets");
    }
    std::string mBlock;
};

const char* const kKinds[] = {"disk.txt", "member.txt", "memory.txt"};

TEST_F(FileTest, TextModeDropsEveryCarriageReturnInEveryKind) {
    const std::string bytes = "one\r\ntwo\rthree\r\r\nend\r";
    MakeAllKinds(bytes);
    for (const char* name : kKinds) {
        SCOPED_TRACE(name);
        std::unique_ptr<TFile, void (*)(TFile*)> text(FileOpen(name, kFileReadText), FileClose);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(ReadAll(text.get()), "one\ntwothree\nend");
        std::unique_ptr<TFile, void (*)(TFile*)> binary(FileOpen(name, kFileReadBinary), FileClose);
        ASSERT_NE(binary, nullptr);
        EXPECT_EQ(ReadAll(binary.get()), bytes);
    }
}

TEST_F(FileTest, GetCharAndReadLineInEveryKind) {
    MakeAllKinds("ab\ncd\r\nlast");
    for (const char* name : kKinds) {
        SCOPED_TRACE(name);
        TFile* file = FileOpen(name, kFileReadBinary);
        ASSERT_NE(file, nullptr);
        char line[16];
        char* end = FileReadLine(file, line, sizeof line);
        ASSERT_NE(end, nullptr);
        EXPECT_STREQ(line, "ab\n");
        EXPECT_EQ(end, line + 3);
        ASSERT_NE(FileReadLine(file, line, sizeof line), nullptr);
        EXPECT_STREQ(line, "cd\r");  // a carriage return ends a line too
        ASSERT_NE(FileReadLine(file, line, sizeof line), nullptr);
        EXPECT_STREQ(line, "\n");
        // The last line has no end byte and still comes back.
        ASSERT_NE(FileReadLine(file, line, sizeof line), nullptr);
        EXPECT_STREQ(line, "last");
        EXPECT_EQ(FileReadLine(file, line, sizeof line), nullptr);
        EXPECT_EQ(FileGetChar(file), -1);

        FileSeek(file, 0, kSeekStart);
        EXPECT_EQ(FileGetChar(file), 'a');
        // Size 1 stores only the NUL; below 1 nothing at all.
        std::memset(line, 'x', sizeof line);
        EXPECT_EQ(FileReadLine(file, line, 1), line);
        EXPECT_EQ(line[0], '\0');
        line[0] = 'x';
        EXPECT_EQ(FileReadLine(file, line, 0), nullptr);
        EXPECT_EQ(line[0], 'x');
        // A line longer than the buffer is cut at size - 1.
        EXPECT_NE(FileReadLine(file, line, 2), nullptr);
        EXPECT_STREQ(line, "b");
        FileClose(file);
    }
}

TEST_F(FileTest, MemberEndFlagIsSetOnlyByAShortRead) {
    MakeAllKinds("12345");
    TFile* file = FileOpen("member.txt", kFileReadBinary);
    ASSERT_NE(file, nullptr);
    char buffer[16];
    EXPECT_EQ(FileRead(file, buffer, 5), 5);
    EXPECT_FALSE(FileEof(file));  // ended exactly at the last byte
    FileSeek(file, 0, kSeekStart);
    EXPECT_EQ(FileRead(file, buffer, 9), 5);
    EXPECT_TRUE(FileEof(file));
    FileSeek(file, 0, kSeekStart);
    EXPECT_FALSE(FileEof(file));
    // A seek past the end lands at the end and leaves the flag alone.
    FileSeek(file, 100, kSeekCurrent);
    EXPECT_EQ(FileTell(file), 5);
    EXPECT_FALSE(FileEof(file));
    EXPECT_EQ(FileGetChar(file), -1);
    EXPECT_TRUE(FileEof(file));
    FileUngetChar(file);
    EXPECT_FALSE(FileEof(file));
    EXPECT_EQ(FileGetChar(file), '5');
    FileClose(file);
}

TEST_F(FileTest, MemoryFileSeeksStayWithinTheSize) {
    MakeAllKinds("12345");
    TFile* file = FileOpen("MEMORY.TXT", kFileReadBinary);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(FileGetSize(file), 5);
    FileSeek(file, 2, kSeekStart);
    EXPECT_FALSE(FileEof(file));
    FileSeek(file, 10, kSeekCurrent);
    EXPECT_EQ(FileTell(file), 5);
    EXPECT_TRUE(FileEof(file));
    FileSeek(file, 1, kSeekStart);
    EXPECT_FALSE(FileEof(file));
    FileSeek(file, 6, kSeekStart);
    EXPECT_EQ(FileTell(file), 5);
    EXPECT_TRUE(FileEof(file));
    FileSeek(file, -2, kSeekEnd);
    EXPECT_EQ(FileGetChar(file), '4');
    FileSeek(file, -10, kSeekCurrent);  // negative results count as past the size
    EXPECT_EQ(FileTell(file), 5);
    FileClose(file);
    // Memory files are read-only.
    EXPECT_EQ(FileOpen("memory.txt", kFileWriteBinary), nullptr);
}

TEST_F(FileTest, MemoryNamesCarryAHandleAndANullAddressUnregisters) {
    static const char block[] = "data";
    RegisterMemoryFile("Blocks/One.bin", block, 4);
    const str location = ResolvePath("blocks/one.bin", true);
    EXPECT_EQ(location.GetAt(0), '&');
    EXPECT_EQ(location.Find(str::Format("%lu", reinterpret_cast<unsigned long>(block))), str::npos);
    EXPECT_TRUE(FileExists("BLOCKS/ONE.BIN"));
    RegisterMemoryFile("blocks/one.bin", nullptr, 0);
    EXPECT_FALSE(FileExists("blocks/one.bin"));
    // The name alone, typed by hand, opens nothing.
    EXPECT_EQ(FileOpen(location, kFileReadBinary), nullptr);
}

TEST_F(FileTest, NoFile) {
    TFile file;
    EXPECT_TRUE(file.IsClosed());
    EXPECT_TRUE(file.IsEof());
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_EQ(file.Tell(), -1);
    char c;
    EXPECT_EQ(file.Read(&c, 1), 0);
    EXPECT_EQ(file.Write("x", 1), 0);
    file.Seek(1, kSeekStart);
    file.UngetChar();
    EXPECT_FALSE(file.Open("nothing/here.txt", kFileReadBinary));
    EXPECT_EQ(FileOpen("nothing/here.txt", kFileReadBinary), nullptr);
    EXPECT_EQ(FileGetChar(nullptr), -1);
    EXPECT_TRUE(FileIsClosed(nullptr));
}

TEST_F(FileTest, DiskUngetAndFolders) {
    Put("assets/x.txt", "xy");
    ScanAssetFolder("", "assets");
    TFile* file = FileOpen("x.txt", kFileReadBinary);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(FileGetChar(file), 'x');
    FileUngetChar(file);
    EXPECT_EQ(FileGetChar(file), 'x');
    EXPECT_EQ(FileGetChar(file), 'y');
    EXPECT_EQ(FileGetChar(file), -1);
    EXPECT_TRUE(FileEof(file));
    FileClose(file);
    // A folder is not a file.
    EXPECT_EQ(FileOpen("::assets", kFileReadBinary), nullptr);
}

TEST_F(FileTest, UserWritesMakeTheirFoldersBelowTheRoot) {
    SetUserDataRoot((mDir.File("home/user") + "/").c_str());
    std::filesystem::create_directories(mDir.File("home/user"));
    EXPECT_EQ(std::string(ResolvePath("user:prefs.dat", false).c_str()),
              mDir.File("home/user/prefs.dat"));

    TFile* file = FileOpen("user:Saves/Slot1/World.XML", kFileWriteText);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(FileWrite(file, "a\r\nb", 4), 4);  // text writes are byte for byte
    FileClose(file);
    EXPECT_EQ(Get("home/user/saves/slot1/world.xml"), "a\r\nb");

    // Reading finds it again, and a folder already on disk keeps its spelling.
    std::filesystem::create_directories(mDir.File("home/user/Shots"));
    ClearFileIndex();
    EXPECT_TRUE(FileExists("user:saves/slot1/world.xml"));
    file = FileOpen("user:SHOTS/one.txt", kFileAppendBinary);
    ASSERT_NE(file, nullptr);
    FileClose(file);
    EXPECT_TRUE(std::filesystem::exists(mDir.File("home/user/Shots/one.txt")));
    EXPECT_FALSE(std::filesystem::exists(mDir.File("home/user/shots")));
}

TEST_F(FileTest, WithoutRootsDataNamesDoNotResolve) {
    EXPECT_EQ(FileOpen("user:prefs.dat", kFileWriteBinary), nullptr);
    EXPECT_EQ(FileOpen("common:display.xml", kFileWriteBinary), nullptr);
    EXPECT_EQ(FileOpen("desktop:shot.png", kFileWriteBinary), nullptr);
}

}  // namespace
