// The spooler's reads over sources of a known pattern: silence after the data, wrapping within a
// call for looping, sources that yield nothing, the end test in 64 bits, and seeking.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/streamspooler.h"
#include "enginefixture.h"

namespace audio_testing {
namespace {

std::vector<int16_t> ReadSamples(TStreamSpooler& spooler, uint32_t bytes, bool loop,
                                 bool* ok = nullptr, uint32_t* written = nullptr) {
    std::vector<int16_t> samples(bytes / 2, 0x5555);
    uint32_t got = 0xDEAD;
    bool result = spooler.Read(bytes, reinterpret_cast<uint8_t*>(samples.data()), got, loop);
    if (ok != nullptr) *ok = result;
    if (written != nullptr) *written = got;
    return samples;
}

std::vector<int16_t> Join(std::vector<int16_t> a, const std::vector<int16_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(StreamSpoolerTest, ReadsInSequenceThenSilence) {
    auto source = std::make_shared<PatternSource>(44100, 2, 1000);
    TStreamSpooler spooler(source);
    bool ok = false;
    uint32_t written = 0;
    EXPECT_EQ(ReadSamples(spooler, 600, false, &ok, &written), PatternSource::Samples(0, 600));
    EXPECT_TRUE(ok);
    EXPECT_EQ(written, 600u);
    EXPECT_EQ(ReadSamples(spooler, 600, false, &ok, &written),
              Join(PatternSource::Samples(600, 400), std::vector<int16_t>(100, 0)));
    EXPECT_FALSE(ok);
    EXPECT_EQ(written, 400u);
    // At the end: silence, and still the end.
    EXPECT_EQ(ReadSamples(spooler, 8, false, &ok, &written), std::vector<int16_t>(4, 0));
    EXPECT_FALSE(ok);
    EXPECT_EQ(written, 0u);
}

TEST(StreamSpoolerTest, ALoopingReadWrapsWithinTheCall) {
    auto source = std::make_shared<PatternSource>(44100, 2, 400);
    TStreamSpooler spooler(source);
    bool ok = false;
    uint32_t written = 0;
    std::vector<int16_t> once = PatternSource::Samples(0, 400);
    std::vector<int16_t> expected = Join(Join(once, once), PatternSource::Samples(0, 200));
    EXPECT_EQ(ReadSamples(spooler, 1000, true, &ok, &written), expected);
    EXPECT_TRUE(ok);
    EXPECT_EQ(written, 1000u);
    EXPECT_EQ(spooler.GetPosition(), 200u);
}

TEST(StreamSpoolerTest, ASourceThatStopsShortEndsTheReadWhereItStops) {
    auto source = std::make_shared<PatternSource>(44100, 2, 1000);
    source->Delivering(300);
    TStreamSpooler spooler(source);
    bool ok = true;
    EXPECT_EQ(ReadSamples(spooler, 1000, false, &ok),
              Join(PatternSource::Samples(0, 300), std::vector<int16_t>(350, 0)));
    EXPECT_FALSE(ok);
    // Looping, it wraps at the short end.
    TStreamSpooler looping(source);
    EXPECT_EQ(ReadSamples(looping, 800, true, &ok),
              Join(Join(PatternSource::Samples(0, 300), PatternSource::Samples(0, 300)),
                   PatternSource::Samples(0, 200)));
    EXPECT_TRUE(ok);
}

// A source without data would make a looping read wrap for ever: a wrap that yields nothing
// ends the read instead.
TEST(StreamSpoolerTest, ALoopingReadOfNothingEnds) {
    for (uint64_t declared : {uint64_t{0}, uint64_t{1000}}) {
        auto source = std::make_shared<PatternSource>(44100, 2, declared);
        source->Delivering(0);
        TStreamSpooler spooler(source);
        bool ok = true;
        uint32_t written = 1;
        EXPECT_EQ(ReadSamples(spooler, 4096, true, &ok, &written), std::vector<int16_t>(2048, 0));
        EXPECT_FALSE(ok) << declared;
        EXPECT_EQ(written, 0u);
        EXPECT_LE(source->reads, 3) << declared;
    }
}

TEST(StreamSpoolerTest, NoSourceOrNothingAskedReadsNothing) {
    TStreamSpooler empty(nullptr);
    bool ok = false;
    uint32_t written = 7;
    EXPECT_EQ(ReadSamples(empty, 16, true, &ok, &written), std::vector<int16_t>(8, 0));
    EXPECT_TRUE(ok);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(empty.GetLength(), 0.0f);
    auto source = std::make_shared<PatternSource>(44100, 2, 1000);
    TStreamSpooler spooler(source);
    uint8_t unused = 0;
    EXPECT_TRUE(spooler.Read(0, &unused, written, false));
    EXPECT_EQ(source->reads, 0);
}

// The end of the data is found in 64 bits: a position near 4 GiB plus the bytes asked would
// wrap around in 32.
TEST(StreamSpoolerTest, TheEndOfDataNear4GiBIsFound) {
    const uint64_t total = 0xFFFFFF00u;
    auto source = std::make_shared<PatternSource>(44100, 2, total);
    source->AlwaysFilling();
    TStreamSpooler spooler(source);
    spooler.Seek(1e9f);  // past the end: at the end
    EXPECT_EQ(spooler.GetPosition(), total);
    bool ok = true;
    uint32_t written = 1;
    ReadSamples(spooler, 0x200, false, &ok, &written);
    EXPECT_FALSE(ok);
    EXPECT_EQ(written, 0u);
}

TEST(StreamSpoolerTest, SeekingLandsOnWholeFramesWithinTheData) {
    struct Case {
        uint32_t rate;
        uint32_t channels;
        float seconds;
        uint32_t position;
    } cases[] = {
        {44100, 2, 0.0f, 0},
        {44100, 2, 1.0f, 176400},
        {44100, 2, 0.5f, 88200},
        {22050, 1, 0.1f, 4410},
        {11025, 1, 1.0f / 11025 * 2.5f, 4},  // 2.5 frames: 2 whole ones
        {44100, 2, -3.0f, 0},
        {44100, 2, NAN, 0},
        {44100, 2, 100.0f, 441000},  // the whole 2.5 s of data
    };
    for (const Case& c : cases) {
        auto source =
            std::make_shared<PatternSource>(c.rate, c.channels, uint64_t{c.rate} * c.channels * 5);
        TStreamSpooler spooler(source);
        spooler.Seek(c.seconds);
        EXPECT_EQ(spooler.GetPosition(), c.position) << c.rate << " " << c.seconds;
        EXPECT_FLOAT_EQ(spooler.GetLength(), 2.5f);
        spooler.Rewind();
        EXPECT_EQ(spooler.GetPosition(), 0u);
    }
}

}  // namespace
}  // namespace audio_testing
