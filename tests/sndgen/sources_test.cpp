// The sources' faults, told by file and line; a failed item leaves what an earlier run wrote.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "item.h"
#include "support/tempdir.h"

namespace sndgen {
namespace {

namespace fs = std::filesystem;

class SndgenSources : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(mDir.File("sounds/music"));
        fs::create_directories(mDir.File("sounds/sfx"));
        Write("sounds/instruments.txt",
              "instrument tone synth wave=sine a=0.01 r=0.05\n"
              "voicepack 1 pitch=1 formant=1\nvoicepack 2 pitch=1.2 formant=1.1\n"
              "voicepack 3 pitch=0.8 formant=0.9\nvoicepack 4 pitch=1.1 formant=1\n"
              "voicepack 5 pitch=0.9 formant=1\n");
        std::string error;
        ASSERT_TRUE(ReadInstrumentFile(mDir.File("sounds/instruments.txt"), &mInstruments, &error))
            << error;
        mOptions.sources = mDir.File("sounds");
        mOptions.out = mDir.File("out");
    }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(mDir.File(name), std::ios::binary) << text;
    }
    std::string Make(const std::string& item) {
        std::vector<std::string> lines;
        std::string error;
        return MakeItem(mOptions, mInstruments, item, &lines, &error) ? "" : error;
    }

    testing_support::TempDir mDir;
    InstrumentFile mInstruments;
    ItemOptions mOptions;
};

TEST_F(SndgenSources, AFaultNamesItsFileAndLine) {
    const struct {
        const char* item;
        const char* text;
        const char* expected;
    } cases[] = {
        {"music/a", "tempo 90\npattern p\ntrack tone | C4 . H4 . |\nplay p\n",
         "a.txt:3: \"H4\" is no step"},
        {"music/a", "tempo 90\npattern p\ntrack tone | C4 . |\ntrack tone | C4 . E4 |\nplay p\n",
         "a.txt:4: the track has 3 steps, the pattern's first 2"},
        {"music/a", "tempo 90\npattern p\ntrack tone | C4 . |\nplay p q\n",
         "a.txt:4: no pattern \"q\""},
        {"music/a", "tempo 900\n", "a.txt:1: tempo takes one number"},
        {"music/a", "tempo 90\npattern p\ntrack flute | C4 |\nplay p\n",
         "a.txt:3: no instrument \"flute\""},
        {"music/a", "tempo 90\npattern p\ntrack tone | - C4 |\nplay p\n",
         "a.txt:3: a \"-\" holds nothing"},
        {"sfx/b", "length 0.5\nsynth wave=sine freq=loud\n", "b.txt:2: freq takes a number"},
        {"sfx/b", "length 0.5\nsynth wave=organ\n", "b.txt:2: \"organ\" is no value for wave"},
        {"sfx/b", "length 0.5\nsynth colour=red\n", "b.txt:2: a synth has no option colour"},
        {"sfx/b", "length 0.5\nvoice text=bzz\n", "b.txt:2: text=bzz:"},
        {"sfx/b", "length 0.5\nwhistle\n", "b.txt:2: unknown statement \"whistle\""},
        {"sfx/b", "synth\n", "b.txt: no length"},
    };
    for (const auto& c : cases) {
        const std::string name = std::string(c.item).substr(std::string(c.item).find('/') + 1);
        const std::string folder = std::string(c.item).substr(0, std::string(c.item).find('/'));
        Write("sounds/" + folder + "/" + name + ".txt", c.text);
        const std::string error = Make(c.item);
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.text << "\n-> " << error;
    }
}

TEST_F(SndgenSources, AFailedItemLeavesTheEarlierOutput) {
    Write("sounds/sfx/b.txt", "length 0.2\nnote tone note=A4 dur=0.1\n");
    ASSERT_EQ(Make("sfx/b"), "");
    const std::string out = mDir.File("out/audio/sfx/b.ogg");
    ASSERT_TRUE(fs::exists(out));
    const auto size = fs::file_size(out);
    Write("sounds/sfx/b.txt", "length 0.2\nnote tone note=Q4\n");
    EXPECT_NE(Make("sfx/b"), "");
    ASSERT_TRUE(fs::exists(out));
    EXPECT_EQ(fs::file_size(out), size);
}

TEST_F(SndgenSources, TwoRunsGiveTheSameBytes) {
    Write("sounds/music/a.txt",
          "tempo 120\nsteps 2\nloop\nhuman 0.01\npattern p\ntrack tone | C4 E4 G4 - |\nplay p p\n");
    auto bytes = [&] {
        EXPECT_EQ(Make("music/a"), "");
        std::ifstream in(mDir.File("out/audio/music/a.ogg"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string first = bytes();
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(bytes(), first);
}

TEST(SndgenShippedSources, TheInstrumentsRead) {
    InstrumentFile instruments;
    std::string error;
    EXPECT_TRUE(
        ReadInstrumentFile(std::string(SNDGEN_SOURCES) + "/instruments.txt", &instruments, &error))
        << error;
    EXPECT_EQ(instruments.voicePacks.size(), 5u);
}

// Every seed comes from the sources' own names, never from where they lie: a checkout in another
// folder makes the same bytes.
TEST_F(SndgenSources, SourcesInAnotherFolderGiveTheSameBytes) {
    Write("sounds/music/a.txt",
          "tempo 120\nsteps 2\nhuman 0.01\npattern p\ntrack tone | C4 E4 G4 - |\nplay p p\n");
    Write("sounds/sfx/b.txt",
          "length 0.5\nnoise filter=hp cut=2500 dur=0.1 scatter=4 spread=0.4\n");
    auto bytes = [&](const std::string& item, const std::string& file) {
        EXPECT_EQ(Make(item), "");
        std::ifstream in(mDir.File("out/audio/" + file), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string music = bytes("music/a", "music/a.ogg");
    const std::string effect = bytes("sfx/b", "sfx/b.ogg");
    fs::create_directories(mDir.File("elsewhere/deeper"));
    fs::copy(mDir.File("sounds"), mDir.File("elsewhere/deeper/sounds"),
             fs::copy_options::recursive);
    mOptions.sources = mDir.File("elsewhere/deeper/sounds");
    EXPECT_EQ(bytes("music/a", "music/a.ogg"), music);
    EXPECT_EQ(bytes("sfx/b", "sfx/b.ogg"), effect);
}

}  // namespace
}  // namespace sndgen
