// What a player hears of the scheme, captured from the null device's mixed output while the
// fake clock runs the game's loop as the play screen does (the sound callbacks on every idle
// turn, volumes and due restarts every 30 ms): a creature's call near the view, 1000 units away
// and 2000 units away; a sea loop 1000 units off that the view then scrolls to; a bird at
// (0, 0) and one 1000 units off, each back a second after each song. Measured: loudness in each
// stretch against the tone's, in decibels (the device's level for a volume v is
// -(1 - v) × 50 dB), in the first 30 ms of every song too, and when the songs begin. The capture is
// kept as a WAV file beside the test program, to be listened to; the figures are printed.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "audio/soundmanager.h"
#include "port/control.h"
#include "schemefixture.h"

namespace gamesound_testing {
namespace {

constexpr size_t kRate = 44100;

double Rms(const std::vector<int16_t>& samples, uint32_t fromMs, uint32_t toMs) {
    const size_t from = std::min(samples.size(), size_t{fromMs} * kRate / 1000 * 2);
    const size_t to = std::min(samples.size(), size_t{toMs} * kRate / 1000 * 2);
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

double Decibels(double rms) {
    return 20.0 * std::log10(rms / testing_support::kTinyAmplitude);
}

// The starts of the sounds in the capture from a time on: the first sample after a second of
// silence (or after the time), in milliseconds.
std::vector<double> Onsets(const std::vector<int16_t>& samples, uint32_t fromMs) {
    std::vector<double> onsets;
    size_t quiet = kRate;
    for (size_t i = size_t{fromMs} * kRate / 1000 * 2; i + 1 < samples.size(); i += 2) {
        if (samples[i] == 0 && samples[i + 1] == 0) {
            ++quiet;
            continue;
        }
        if (quiet >= kRate / 10) onsets.push_back(static_cast<double>(i / 2) * 1000.0 / kRate);
        quiet = 0;
    }
    return onsets;
}

class SchemeHeardTest : public SchemeTest {
protected:
    // The game's loop until the application clock reads ms: 10 ms turns, a worker pass every
    // 50 ms, the sound callbacks on every turn, the play screen's task every 30 ms.
    void PlayUntil(uint32_t ms) {
        while (mNow < ms) {
            port::control::AdvanceTime(10);
            mNow += 10;
            if (mNow % 50 == 0) mApp->GetSoundManager()->RunWorkerPass();
            mApp->GetSoundManager()->DispatchCallbacks();
            if (mNow % 30 == 0) {
                Scheme().UpdateVolumes();
                Scheme().StartDueSounds();
            }
        }
    }

    uint32_t mNow = 0;
};

TEST_F(SchemeHeardTest, CallsSeaAndBirdsAsThePlayerHearsThem) {
    Sounds().SetLength("audio/sfx/zebra.ogg", 0.3);
    Sounds().SetLength("audio/sfx/sea.ogg", 1.0);
    Sounds().SetLength("audio/sfx/bird.ogg", 0.2);
    ASSERT_TRUE(Load(R"(<E Object="Zebra" Event="Sick">
                          <O type="trigger" src="zebra.ogg" volume="100"/></E>
                        <E Event="Bonus" PosX="1800" PosY="300">
                          <O type="loop" src="sea.ogg" volume="100"/></E>
                        <E Event="Birth">
                          <O type="ambient" src="bird.ogg" volume="100" interval_min="1000"
                             interval_max="1000"/></E>
                        <E Event="Birth" PosX="2800" PosY="300">
                          <O type="ambient" src="bird.ogg" volume="100" interval_min="1000"
                             interval_max="1000"/></E>)"));
    port::control::StartSoundCapture(kRate * 16);
    const uint32_t start = 0;
    ASSERT_EQ(TPlatform::GetTimer(), start);

    // Calls near the view, 1000 and 2000 units right of it.
    ASSERT_TRUE(Scheme().PlayEvent(MakeObjectAt("Zebra", 400.0f, 300.0f), 0.0f, 0.0f, 41, 0));
    PlayUntil(1000);
    ASSERT_TRUE(Scheme().PlayEvent(MakeObjectAt("Zebra", 1800.0f, 300.0f), 0.0f, 0.0f, 41, 0));
    PlayUntil(2000);
    ASSERT_TRUE(Scheme().PlayEvent(MakeObjectAt("Zebra", 2800.0f, 300.0f), 0.0f, 0.0f, 41, 0));
    PlayUntil(3000);
    // The sea, 1000 units right; at 4 s the view scrolls over to it.
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 1800.0f, 300.0f, 61, 0));
    PlayUntil(4000);
    mView.MoveTo(TVec2(1000.0f, 0.0f));
    PlayUntil(5000);
    Scheme().StopEvent(nullptr, 1800.0f, 300.0f, 61);
    // The bird at (0, 0), heard everywhere; then another 1000 units right of the view.
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 63, 0));
    PlayUntil(10000);
    Scheme().StopEvent(nullptr, 0.0f, 0.0f, 63);
    PlayUntil(10500);
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 2800.0f, 300.0f, 63, 0));
    PlayUntil(15500);

    const std::vector<int16_t> heard = port::control::CapturedSound();
    ASSERT_GE(heard.size(), kRate * 2 * 15);
    const std::string folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    port::control::WriteWaveFile(folder + "/gamesound_scheme.wav", heard);

    struct Stretch {
        const char* what;
        uint32_t from;
        uint32_t to;
        double expectedDb;  // the device's level: -(1 - v) x 50 dB; none for silence
    } stretches[] = {
        {"call beside the view", 20, 280, 0.0},
        {"call 1000 units off", 1020, 1280, -25.0},
        {"call 2000 units off", 2000, 2400, -100.0},
        {"sea 1000 units off", 3100, 3900, -25.0},
        {"sea 30 ms after the scroll", 4030, 4100, 0.0},
        {"sea once the view is over it", 4100, 4900, 0.0},
        {"after the sea's stop", 5400, 5900, -100.0},
    };
    for (const Stretch& s : stretches) {
        const double rms = Rms(heard, s.from, s.to);
        std::printf("%-30s rms %7.1f  %6.2f dB\n", s.what, rms, rms > 0 ? Decibels(rms) : -100.0);
        if (s.expectedDb <= -100.0)
            EXPECT_EQ(rms, 0.0) << s.what;
        else
            EXPECT_NEAR(Decibels(rms), s.expectedDb, 0.1) << s.what;
    }
    // Nothing of the calls outside their stretches.
    EXPECT_EQ(Rms(heard, 400, 1000), 0.0);
    EXPECT_EQ(Rms(heard, 1400, 3000), 0.0);

    // The birds: a song of 0.2 s, then another a second after its end is reported, which comes
    // when the worker has seen the buffer drain. Each song is heard at its level from its
    // first sample: the bird at (0, 0) in full, the other at -25 dB, restarts included.
    struct Birds {
        const char* what;
        uint32_t from;
        uint32_t to;
        double level;
    } birds[] = {{"bird at (0, 0)", 5000, 10000, 0.0},
                 {"bird 1000 units off", 10500, 15500, -25.0}};
    for (const Birds& b : birds) {
        std::vector<double> songs = Onsets(heard, b.from);
        while (!songs.empty() && songs.back() >= b.to)
            songs.pop_back();
        ASSERT_GE(songs.size(), 2u) << b.what;
        EXPECT_NEAR(songs[0], b.from, 15.0) << b.what;
        for (size_t i = 0; i < songs.size(); ++i) {
            const uint32_t at = static_cast<uint32_t>(songs[i]);
            const double first = Decibels(Rms(heard, at, at + 30));
            const double rest = Decibels(Rms(heard, at + 30, at + 190));
            std::printf("%s: song %zu at %.1f ms, %.2f dB in its first 30 ms, %.2f dB after\n",
                        b.what, i, songs[i], first, rest);
            EXPECT_NEAR(first, b.level, 0.1) << b.what << " " << i;
            EXPECT_NEAR(rest, b.level, 0.1) << b.what << " " << i;
            if (i > 0) {
                EXPECT_GT(songs[i] - songs[i - 1], 1200.0) << b.what;
                EXPECT_LT(songs[i] - songs[i - 1], 2600.0) << b.what;
            }
        }
    }
}

}  // namespace
}  // namespace gamesound_testing
