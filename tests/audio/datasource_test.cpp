// Data sources by name: the builder by extension or by probing, the choice between the Ogg
// source and a whole decode in memory, the decoded bytes from every kind of file, reads at and
// past the end, and damaged files.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "archivewriter.h"
#include "audio/memdatasource.h"
#include "audio/oggcallbacks.h"
#include "audio/oggdatasource.h"
#include "enginefixture.h"
#include "foundation/file/assetfolder.h"
#include "foundation/file/file.h"
#include "foundation/file/fileindex.h"
#include "foundation/file/filemaphandler.h"
#include "foundation/settingsmap.h"
#include "oggfixture.h"
#include "support/tempdir.h"

namespace audio_testing {
namespace {

using oggfile::DecodeOgg;
using Strings = std::vector<std::string>;

bool IsOgg(const std::shared_ptr<TSoundDataSource>& source) {
    return dynamic_cast<TOggDataSource*>(source.get()) != nullptr;
}

bool IsMemory(const std::shared_ptr<TSoundDataSource>& source) {
    return dynamic_cast<TMemDataSource*>(source.get()) != nullptr;
}

class DataSourceTest : public OggFilesTest {};

TEST_F(DataSourceTest, TheBuilderIsFoundByExtensionOrByProbing) {
    std::string bytes = SweepOgg(0.5);
    Put("audio/sfx/no.ogg", bytes);
    Put("audio/music/win.ogg", bytes);
    Put("SOUND.OGG.ogg", bytes);
    Put("LOUD.OGG", bytes);
    struct Case {
        const char* name;
        bool found;
    } cases[] = {
        {"audio/sfx/no.ogg", true},
        {"audio/music/win", true},  // probed as audio/music/win.ogg
        {"audio/sfx/no", true},
        // "OGG" is not "ogg": probed with ".ogg" after it.
        {"SOUND.OGG", true},
        {"LOUD.OGG", false},
        {"audio/sfx/missing.ogg", false},
        {"audio/sfx/no.wav", false},
        {"", false},
    };
    for (const Case& c : cases) {
        for (bool stream : {false, true}) {
            std::shared_ptr<TSoundDataSource> source = CreateSoundDataSource(c.name, stream);
            EXPECT_EQ(source != nullptr, c.found) << c.name << " " << stream;
        }
    }
    // Names that find nothing say nothing.
    EXPECT_EQ(mLog.Messages(), Strings{});
}

TEST_F(DataSourceTest, ShortSoundsAreDecodedWholeUnlessStreamed) {
    Put("short.ogg", SweepOgg(1.5));
    Put("two.ogg", SweepOgg(2.0));
    EXPECT_TRUE(IsMemory(CreateSoundDataSource("short.ogg", false)));
    EXPECT_TRUE(IsOgg(CreateSoundDataSource("short.ogg", true)));
    std::shared_ptr<TSoundDataSource> two = CreateSoundDataSource("two.ogg", false);
    EXPECT_TRUE(IsOgg(two));
    EXPECT_DOUBLE_EQ(two->GetLength(), 2.0);
    EXPECT_TRUE(IsOgg(CreateSoundDataSource("two.ogg", true)));

    struct Case {
        const char* setting;
        bool memory;
    } cases[] = {{"1", true}, {"0", false}, {"yes", false}, {"2", true}};
    for (const Case& c : cases) {
        TSettingsMap::GetInstance().Set("keepogguncompressed", c.setting);
        EXPECT_EQ(IsMemory(CreateSoundDataSource("two.ogg", false)), c.memory) << c.setting;
        EXPECT_TRUE(IsOgg(CreateSoundDataSource("two.ogg", true))) << c.setting;
    }
}

TEST_F(DataSourceTest, TheSizesOfTheDecodedSound) {
    oggfile::OggSound sound;
    sound.samples = oggfile::SineTone(44100, 2, 1000, 440.0);
    Put("thousand.ogg", oggfile::WriteOgg(sound));
    sound.rate = 22050;
    sound.channels = 1;
    sound.samples = oggfile::SineTone(22050, 1, 1000, 440.0);
    Put("mono.ogg", oggfile::WriteOgg(sound));
    for (bool stream : {false, true}) {
        std::shared_ptr<TSoundDataSource> stereo = CreateSoundDataSource("thousand.ogg", stream);
        ASSERT_NE(stereo, nullptr);
        EXPECT_EQ(stereo->GetTotalBytes(), 4000u);
        EXPECT_EQ(stereo->GetSampleRate(), 44100u);
        EXPECT_EQ(stereo->GetChannels(), 2u);
        EXPECT_DOUBLE_EQ(stereo->GetLength(), 1000.0 / 44100);
        std::shared_ptr<TSoundDataSource> mono = CreateSoundDataSource("mono", stream);
        ASSERT_NE(mono, nullptr);
        EXPECT_EQ(mono->GetTotalBytes(), 2000u);
        EXPECT_EQ(mono->GetSampleRate(), 22050u);
        EXPECT_EQ(mono->GetChannels(), 1u);
    }
}

TEST_F(DataSourceTest, ReadsAtAndPastTheEnd) {
    oggfile::OggSound sound;
    sound.samples = oggfile::SineTone(44100, 2, 1000, 440.0);
    Put("thousand.ogg", oggfile::WriteOgg(sound));
    std::shared_ptr<TSoundDataSource> memory = CreateSoundDataSource("thousand.ogg", false);
    ASSERT_TRUE(IsMemory(memory));
    uint8_t buffer[256];
    EXPECT_EQ(memory->Read(buffer, 4000, 16), 0u);
    EXPECT_EQ(memory->Read(buffer, 5000, 16), 0u);
    EXPECT_EQ(memory->Read(buffer, 3990, 100), 10u);
    EXPECT_EQ(memory->Read(buffer, 0xFFFFFFF0u, 100), 0u);

    // An Ogg source read to its end and then from 0 again: the same bytes as the first time.
    for (bool stream : {false, true}) {
        Put("long.ogg", SweepOgg(3.0));
        std::shared_ptr<TSoundDataSource> ogg = CreateSoundDataSource("long.ogg", stream);
        ASSERT_TRUE(IsOgg(ogg));
        std::vector<int16_t> first = ReadAll(*ogg);
        EXPECT_EQ(first.size() * 2, ogg->GetTotalBytes());
        EXPECT_EQ(ogg->Read(buffer, static_cast<uint32_t>(ogg->GetTotalBytes()), 64), 0u);
        // Past the end the decoder cannot seek: nothing, rather than sound from elsewhere.
        EXPECT_EQ(ogg->Read(buffer, static_cast<uint32_t>(ogg->GetTotalBytes()) + 4000, 64), 0u);
        std::vector<int16_t> again = ReadAll(*ogg);
        EXPECT_EQ(again, first) << stream;
        // A read elsewhere seeks there.
        std::vector<int16_t> middle = ReadAll(*ogg, 4096, 88200 * 4);
        ASSERT_EQ(middle.size(), first.size() - 88200 * 2);
        EXPECT_TRUE(std::equal(middle.begin(), middle.end(), first.begin() + 88200 * 2));
    }
}

// Whatever kind of file holds the sound, its bytes decode as the plain decoder decodes them.
TEST_F(DataSourceTest, TheDecodedBytesAreThoseOfThePlainDecoder) {
    std::string long3 = SweepOgg(3.0);
    std::string short1 = SweepOgg(1.2, 22050, 1);
    std::vector<int16_t> expectedLong = DecodeOgg(long3).samples;
    std::vector<int16_t> expectedShort = DecodeOgg(short1).samples;
    ASSERT_EQ(expectedLong.size(), FramesOf(3.0, 44100) * 2);

    Put("memory/long.ogg", long3);
    Put("memory/short.ogg", short1);
    testing_support::TempDir folder;
    ASSERT_TRUE(testing_support::WriteFileBytes(folder.File("long.ogg"), long3));
    ASSERT_TRUE(testing_support::WriteFileBytes(folder.File("short.ogg"), short1));
    ScanAssetFolder("loose", folder.Path().c_str());
    testing_support::TempDir packed;
    std::string error;
    ASSERT_TRUE(bvpack::WriteArchive({{"packed/long.ogg", long3}, {"packed/short.ogg", short1}},
                                     packed.File("sounds.bvp"), &error))
        << error;
    TFileMapHandler::OpenArchive(TFileIndex::GetInstance(),
                                 ("::" + packed.File("sounds.bvp")).c_str());

    for (const char* folderName : {"memory", "loose", "packed"}) {
        for (bool stream : {false, true}) {
            std::string where = std::string(folderName) + (stream ? " streamed" : "");
            std::shared_ptr<TSoundDataSource> source =
                CreateSoundDataSource((std::string(folderName) + "/long.ogg").c_str(), stream);
            ASSERT_NE(source, nullptr) << where;
            EXPECT_EQ(ReadAll(*source, 176400), expectedLong) << where;
            source = CreateSoundDataSource((std::string(folderName) + "/short").c_str(), stream);
            ASSERT_NE(source, nullptr) << where;
            EXPECT_EQ(ReadAll(*source, 1000), expectedShort) << where;
        }
    }
}

// Damaged files: the log line or a shortened sound, never a hang (ReadAll is bounded too).
TEST_F(DataSourceTest, DamagedFilesGiveTheLogLineOrAShortenedSound) {
    std::string good = SweepOgg(3.0);
    std::string middle = good;
    for (size_t i = middle.size() / 2; i < middle.size() / 2 + 200; ++i)
        middle[i] = static_cast<char>(middle[i] ^ 0x5A);
    std::string random(5000, '\0');
    uint32_t seed = 12345;
    for (char& byte : random) {
        seed = seed * 1103515245 + 12345;
        byte = static_cast<char>(seed >> 16);
    }
    struct Case {
        const char* name;
        std::string bytes;
        bool opens;
    } cases[] = {
        {"truncated.ogg", good.substr(0, good.size() / 2), true},
        {"middle.ogg", middle, true},
        {"headeronly.ogg", good.substr(0, 200), false},
        {"random.ogg", random, false},
        {"empty.ogg", "", false},
    };
    const size_t whole = DecodeOgg(good).samples.size();
    for (Case& c : cases) {
        Put(c.name, c.bytes);
        for (bool stream : {false, true}) {
            mLog.Clear();
            std::shared_ptr<TSoundDataSource> source = CreateSoundDataSource(c.name, stream);
            if (!c.opens) {
                EXPECT_EQ(source, nullptr) << c.name;
                EXPECT_EQ(mLog.Messages(), Strings{"OGG file could not be opened"}) << c.name;
                continue;
            }
            ASSERT_NE(source, nullptr) << c.name;
            std::vector<int16_t> heard = ReadAll(*source);
            EXPECT_LE(heard.size(), whole) << c.name;
            EXPECT_LE(heard.size() * 2, source->GetTotalBytes()) << c.name;
            for (const std::string& line : mLog.Messages())
                EXPECT_EQ(line.rfind("OGG read error ", 0), 0u) << line;
        }
    }
}

// A damaged header that declares more than 256 MiB of sound is never decoded whole, even when
// every sound is to be: the Ogg source decodes what there is while it plays.
TEST_F(DataSourceTest, ASoundDeclaringMoreThan256MiBIsNeverDecodedWhole) {
    TSettingsMap::GetInstance().Set("keepogguncompressed", "1");
    // Pages enough that the last one's granule is the length (the first one's sets the start).
    std::string small = SweepOgg(3.0);
    const size_t real = DecodeOgg(small).samples.size() * 2;
    // 320 MiB; 5 GiB, whose low 32 bits alone would make 1 GiB.
    for (int64_t frames : {int64_t{0x5000000}, int64_t{0x50000000}}) {
        Put("claims.ogg", oggfile::WithLastGranule(small, frames));
        std::shared_ptr<TSoundDataSource> source = CreateSoundDataSource("claims.ogg", false);
        ASSERT_TRUE(IsOgg(source)) << frames;
        EXPECT_EQ(source->GetTotalBytes(), static_cast<uint64_t>(frames) * 4);
        // What the pages hold (the last one no longer trims its packet).
        size_t heard = ReadAll(*source).size() * 2;
        EXPECT_GE(heard, real) << frames;
        EXPECT_LT(heard, real + 4096) << frames;
    }
}

TEST_F(DataSourceTest, AMemorySourceOfAShortDecodeIsSilentAfterWhatCame) {
    auto source = std::make_shared<PatternSource>(44100, 2, 1000);
    source->Delivering(600);
    std::shared_ptr<TMemDataSource> memory = TMemDataSource::Decode(source);
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(memory->GetTotalBytes(), 1000u);
    EXPECT_DOUBLE_EQ(memory->GetLength(), source->GetLength());
    std::vector<int16_t> expected = PatternSource::Samples(0, 600);
    expected.resize(500, 0);
    EXPECT_EQ(ReadAll(*memory), expected);

    auto huge = std::make_shared<PatternSource>(44100, 2, TMemDataSource::kLargestDecoded + 4);
    EXPECT_EQ(TMemDataSource::Decode(huge), nullptr);
    EXPECT_EQ(huge->reads, 0);
}

// A compressed file read into memory is at most 256 MiB: a larger one is refused before a byte
// is read (a sparse file, which takes no room on disk). Streamed, the decoder would first look
// for its last page through all of it.
TEST_F(DataSourceTest, AFileTooLargeToHoldIsNotReadIntoMemory) {
    testing_support::TempDir folder;
    std::string path = folder.File("large.ogg");
    std::string head = SweepOgg(0.5);
    ASSERT_TRUE(testing_support::WriteFileBytes(path, head));
    ASSERT_EQ(truncate(path.c_str(), (256 << 20) + 1), 0);
    EXPECT_EQ(CreateSoundDataSource(("::" + path).c_str(), false), nullptr);
    EXPECT_EQ(mLog.Messages(), Strings{"OGG file could not be opened"});
}

TEST_F(DataSourceTest, TheFileCallbacksReportASeekThatCannotLand) {
    Put("hundred.bin", std::string(100, 'x'));
    TFile* file = FileOpen("hundred.bin", kFileReadBinary);
    ASSERT_NE(file, nullptr);
    struct Case {
        int64_t offset;
        int whence;
        int result;
        int position;  // afterwards, when it landed (each seek starts at 40)
    } cases[] = {
        {10, SEEK_SET, 0, 10},
        {5, SEEK_CUR, 0, 45},
        {-50, SEEK_CUR, -1, -1},
        {0, SEEK_END, 0, 100},
        {-30, SEEK_END, 0, 70},
        {150, SEEK_SET, -1, -1},  // past the end of a memory file
        {int64_t{1} << 32, SEEK_SET, -1, -1},
        {0x80000000ll, SEEK_SET, -1, -1},
        {INT64_MAX, SEEK_CUR, -1, -1},
        {INT64_MIN, SEEK_END, -1, -1},
        {0, 7, -1, -1},
    };
    for (const Case& c : cases) {
        FileSeek(file, 40, kSeekStart);
        EXPECT_EQ(OggFileSeek(file, c.offset, c.whence), c.result) << c.offset << " " << c.whence;
        if (c.result == 0) {
            EXPECT_EQ(OggFileTell(file), c.position) << c.offset;
        }
    }
    // A read of items ends on an item's boundary.
    FileSeek(file, 95, kSeekStart);
    char items[64];
    EXPECT_EQ(OggFileRead(items, 4, 4, file), 1u);
    EXPECT_EQ(OggFileTell(file), 99);
    EXPECT_EQ(OggFileClose(file), 0);
    // A file whose size cannot be told is not read into memory.
    EXPECT_EQ(LoadFileToMemory(nullptr), nullptr);
}

TEST_F(DataSourceTest, TheMemoryCallbacksStayWithinTheCopy) {
    auto* record = new TOggMemoryRecord;
    record->data.reset(new uint8_t[100]);
    for (int i = 0; i < 100; ++i)
        record->data[i] = static_cast<uint8_t>(i);
    record->size = 100;
    uint8_t bytes[200] = {};
    EXPECT_EQ(OggMemoryRead(bytes, 1, 60, record), 60u);
    EXPECT_EQ(OggMemoryRead(bytes, 1, 60, record), 40u);
    EXPECT_EQ(bytes[39], 99);
    EXPECT_EQ(OggMemoryRead(bytes, 1, 60, record), 0u);
    EXPECT_EQ(OggMemorySeek(record, -10, SEEK_END), 0);
    EXPECT_EQ(OggMemoryTell(record), 90);
    EXPECT_EQ(OggMemorySeek(record, -1000, SEEK_CUR), 0);
    EXPECT_EQ(OggMemoryTell(record), 0);
    EXPECT_EQ(OggMemorySeek(record, INT64_MAX, SEEK_SET), 0);
    EXPECT_EQ(OggMemoryTell(record), 100);
    EXPECT_EQ(OggMemorySeek(record, 5, 9), -1);
    EXPECT_EQ(OggMemoryClose(record), 0);
}

}  // namespace
}  // namespace audio_testing
