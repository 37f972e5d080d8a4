// What the file layer does with what is not a regular file (a folder, a pipe, a socket, a device)
// and with files past the size a caller reads: treated as missing, with one log line naming them,
// and never waited on; and with files that are there but may not be read: named with the
// system's reason. A pipe here has no writer, so a layer that opened it as a stream would wait
// for ever: these tests would hang rather than fail.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "archivewriter.h"
#include "filefixture.h"
#include "foundation/file/file.h"
#include "foundation/file/safefile.h"
#include "foundation/prefs/stringtable.h"
#include "foundation/xml/xmlnode.h"
#include "foundation/xml/zxml.h"

namespace {

// Takes from this process (each test runs as one of its own) the rights that let root read any
// file, so that a file without read permission cannot be read here, as for a player.
void GiveUpFileAccessRights() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct rights[2] = {};
    ASSERT_EQ(syscall(SYS_capget, &header, rights), 0);
    const uint32_t reading = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    rights[0].effective &= ~reading;
    rights[0].permitted &= ~reading;
    rights[0].inheritable &= ~reading;
    ASSERT_EQ(syscall(SYS_capset, &header, rights), 0);
}

class SpecialFileTest : public FileLayerTest {
protected:
    // A pipe, a socket and a folder below the test's folder; their real paths.
    std::string MakePipe(const std::string& relative) {
        const std::string path = mDir.File(relative);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        EXPECT_EQ(mkfifo(path.c_str(), 0666), 0);
        return path;
    }
    std::string MakeSocket(const std::string& relative) {
        const std::string path = mDir.File(relative);
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path;
        close(fd);
        return path;
    }
};

TEST_F(SpecialFileTest, WhatIsNotAFileIsMissingWithOneLine) {
    struct Case {
        std::string path;
        const char* kind;
    };
    std::filesystem::create_directories(mDir.File("folder"));
    const std::vector<Case> cases = {
        {MakePipe("pipe"), "a pipe"},
        {MakeSocket("sock"), "a socket"},
        {mDir.File("folder"), "a folder"},
        {"/dev/zero", "a device"},
    };
    for (const Case& c : cases) {
        for (int mode : {kFileReadBinary, kFileReadText}) {
            EXPECT_EQ(FileOpen(str("::") + c.path.c_str(), mode), nullptr) << c.path;
        }
        EXPECT_EQ(CountInLog(c.path + " is " + c.kind + ", not a file: not read"), 2u) << c.path;
        std::string bytes;
        std::string problem;
        EXPECT_EQ(ReadWholeFile(str("::") + c.path.c_str(), kFileReadBinary, 100, bytes, problem),
                  TWholeFile::kMissing)
            << c.path;
    }
    // Writing into a pipe or a socket nobody reads fails at once; a folder is not written either.
    for (const char* name : {"pipe", "sock", "folder"})
        EXPECT_EQ(FileOpen(str("::") + mDir.File(name).c_str(), kFileWriteBinary), nullptr);
}

TEST_F(SpecialFileTest, ThePipeIsNeverReplacedByAWrite) {
    const std::string pipe = MakePipe("user/save.dat");
    SetUserDataRoot(mDir.File("user").c_str());
    // With a reader at the other end the open succeeds, and is refused all the same.
    const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    for (int mode : {kFileWriteBinary, kFileWriteText, kFileAppendBinary, kFileAppendText})
        EXPECT_EQ(FileOpen("user:save.dat", mode), nullptr) << mode;
    close(reader);
    EXPECT_EQ(CountInLog(pipe + " is a pipe, not a file: not written"), 4u);
    struct stat info;
    ASSERT_EQ(stat(pipe.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    std::string problem;
    EXPECT_FALSE(ReplaceFileSafely(pipe.c_str(), "x", 1, problem));
    EXPECT_EQ(problem, "it is a pipe");
    EXPECT_EQ(BackupFile(pipe.c_str(), problem), str());
    EXPECT_EQ(problem, "read " + pipe + ": it is a pipe");
}

TEST_F(SpecialFileTest, TheAssetScanPassesOverPipes) {
    MakePipe("assets/data.xml");
    MakePipe("assets/pack.bvp");
    Put("assets/real.xml", "<a/>");
    ScanAssetFolder("", "assets");
    EXPECT_FALSE(FileExists("data.xml"));
    EXPECT_TRUE(FileExists("real.xml"));
    EXPECT_EQ(FileOpen("data.xml", kFileReadBinary), nullptr);
}

TEST_F(SpecialFileTest, AManifestThatIsAPipeIsNotRead) {
    MakePipe("final.txt");
    Put("assets/a.png", "png");
    LoadAssetManifest();
    EXPECT_TRUE(FileExists("a.png"));
    EXPECT_EQ(CountInLog("final.txt is a pipe, not a file: not read"), 1u);
}

TEST_F(SpecialFileTest, ReadWholeFileKeepsToItsLimit) {
    Put("assets/ten.bin", "0123456789");
    Put("assets/crlf.txt", "a\r\nb\r\n");
    ScanAssetFolder("", "assets");
    std::string bytes;
    std::string problem;
    EXPECT_EQ(ReadWholeFile("ten.bin", kFileReadBinary, 10, bytes, problem), TWholeFile::kRead);
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_EQ(ReadWholeFile("ten.bin", kFileReadBinary, 9, bytes, problem), TWholeFile::kTooLarge);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(problem, "it holds 10 bytes, more than the 9 read");
    EXPECT_EQ(ReadWholeFile("none.bin", kFileReadBinary, 9, bytes, problem), TWholeFile::kMissing);
    // Fewer bytes than the size in text mode are the carriage returns, not a failed read.
    EXPECT_EQ(ReadWholeFile("crlf.txt", kFileReadText, 100, bytes, problem), TWholeFile::kRead);
    EXPECT_EQ(bytes, "a\nb\n");
}

TEST_F(SpecialFileTest, AFilePastWhatAnIntCountsIsNotRead) {
    Put("assets/huge.bin", "");
    std::filesystem::resize_file(mDir.File("assets/huge.bin"), 0x80000000ull);  // sparse
    ScanAssetFolder("", "assets");
    EXPECT_EQ(FileOpen("huge.bin", kFileReadBinary), nullptr);
    EXPECT_EQ(CountInLog("huge.bin holds 2147483648 bytes, more than the 2147483647 a file may "
                         "hold: not read"),
              1u);
}

TEST_F(SpecialFileTest, XmlFilesPastTheirLimitAreRefusedByName) {
    Put("assets/doc.xml", "<settings><a>1</a></settings>");
    ScanAssetFolder("", "assets");
    TXmlNode small;
    EXPECT_FALSE(small.LoadFile("doc.xml", 10));
    EXPECT_EQ(small.FindChild("settings"), nullptr);
    EXPECT_EQ(CountInLog("XML file doc.xml not read: it holds 29 bytes, more than the 10 read"),
              1u);
    TXmlNode whole;
    EXPECT_TRUE(whole.LoadFile("doc.xml", 29));
    EXPECT_NE(whole.FindChild("settings"), nullptr);
    TXmlNode missing;
    EXPECT_FALSE(missing.LoadFile("none.xml", 29));
}

TEST_F(SpecialFileTest, DamagedStringTablesAreNamedInTheLog) {
    const std::string zxml = std::string("ZXML") + std::string(8, '\x7f');
    Put("assets/norows.xml", "<Workbook></Workbook>");
    Put("assets/empty.xml", "");
    Put("assets/packed.xml", zxml);
    Put("assets/good.xml", "<Row><Cell><Data>A</Data></Cell><Cell><Data>a</Data></Cell></Row>");
    Put("assets/large.xml", "");
    std::filesystem::resize_file(mDir.File("assets/large.xml"), TStringTable::kLargestTable + 1);
    ScanAssetFolder("", "assets");

    TStringTable table;
    EXPECT_TRUE(table.Load("norows.xml"));
    EXPECT_TRUE(table.Load("empty.xml"));
    EXPECT_TRUE(table.Load("packed.xml"));
    EXPECT_FALSE(table.Load("large.xml"));
    EXPECT_FALSE(table.Load("missing.xml"));
    EXPECT_TRUE(table.Load("good.xml"));
    EXPECT_EQ(table.GetCount(), 1u);
    const std::string log = LogText();
    EXPECT_EQ(CountInLog("String table norows.xml is damaged: it holds no rows"), 1u) << log;
    EXPECT_EQ(CountInLog("String table empty.xml is damaged: it holds no rows"), 1u) << log;
    EXPECT_EQ(CountInLog("String table packed.xml is damaged: ZXML sizes out of range"), 1u) << log;
    EXPECT_EQ(CountInLog("String table large.xml not read: it holds 67108865 bytes, more than "
                         "the 67108864 read"),
              1u)
        << log;
    // One line each, and none for the missing file or the good one.
    EXPECT_EQ(CountInLog("String table"), 4u) << log;
    EXPECT_EQ(CountInLog("ZXML"), 1u) << log;
}

TEST_F(SpecialFileTest, AStringTableThatMayNotBeReadIsNamedWithTheReason) {
    Put("assets/strings.xml", "<Row><Cell><Data>A</Data></Cell><Cell><Data>a</Data></Cell></Row>");
    ASSERT_EQ(chmod(mDir.File("assets/strings.xml").c_str(), 0), 0);
    GiveUpFileAccessRights();
    ScanAssetFolder("", "assets");
    TStringTable table;
    EXPECT_FALSE(table.LoadFile("strings.xml"));
    EXPECT_FALSE(table.Load("missing.xml"));
    EXPECT_EQ(CountInLog("String table strings.xml not read: Permission denied"), 1u) << LogText();
    EXPECT_EQ(CountInLog("String table"), 1u) << LogText();
}

TEST_F(SpecialFileTest, TheReasonAFileDidNotOpenIsTheSystemsWhenAFileIsThere) {
    Put("assets/locked.xml", "<a/>");
    Put("assets/open.xml", "<a/>");
    ASSERT_EQ(chmod(mDir.File("assets/locked.xml").c_str(), 0), 0);
    const std::string pipe = MakePipe("assets/pipe.xml");
    GiveUpFileAccessRights();
    ScanAssetFolder("", "assets");
    RegisterMemoryFile("memory.xml", "<a/>", 4);
    const struct {
        std::string name;
        std::string reason;
    } cases[] = {
        {"locked.xml", "Permission denied"},           // through the index
        {"::assets/locked.xml", "Permission denied"},  // a real path that does not resolve
        {"open.xml", ""},                              // it opens: no reason
        {"none.xml", ""},                              // missing
        {"::assets/none.xml", ""},
        {"::" + pipe, ""},  // the layer names what is not a file itself
        {"memory.xml", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReasonNotOpened(c.name.c_str()), c.reason) << c.name;
}

TEST_F(SpecialFileTest, AnArchiveThatIsNotOneIsNamedInTheLog) {
    Put("assets/bad.bvp", "PKZIP and more");
    std::string error;
    ASSERT_TRUE(bvpack::WriteArchive({{"inside.txt", "x"}}, mDir.File("assets/good.bvp"), &error));
    ScanAssetFolder("", "assets");
    EXPECT_TRUE(FileExists("inside.txt"));
    EXPECT_EQ(CountInLog("Archive ::assets/bad.bvp does not begin with \"BVPK\": not mounted"), 1u)
        << LogText();
    EXPECT_EQ(CountInLog("Archive"), 1u) << LogText();
}

}  // namespace
