// What the mixer makes of playing buffers, against references worked out here: one buffer at
// the output's rate bit for bit, a resampled mono buffer beside a quieter stereo one, saturation,
// silence at the lowest volume and after a buffer played once, and the noise of a new buffer.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "soundfixture.h"

namespace {

using sound_testing::BufferPtr;
using sound_testing::Pattern;
using sound_testing::SoundTest;
using sound_testing::WriteSamples;

constexpr DWORD kOneSecond = 176400;  // 44,100 Hz stereo

int16_t Saturated(double value) {
    return static_cast<int16_t>(std::clamp(std::nearbyint(value), -32768.0, 32767.0));
}

TEST_F(SoundTest, OneBufferAtTheOutputRateComesOutBitForBit) {
    BufferPtr buffer(MakeBuffer(44100, 2, kOneSecond));
    std::vector<int16_t> signal = Pattern(kOneSecond / 2, 7);
    WriteSamples(buffer.get(), 0, signal);
    port::control::StartSoundCapture(100000);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    port::control::AdvanceTime(1100);
    std::vector<int16_t> heard = port::control::CapturedSound();
    ASSERT_EQ(heard.size(), 2u * 48510);
    EXPECT_TRUE(std::equal(signal.begin(), signal.end(), heard.begin()));
    // Then silence: the buffer played once.
    EXPECT_TRUE(std::all_of(heard.begin() + signal.size(), heard.end(),
                            [](int16_t sample) { return sample == 0; }));
}

TEST_F(SoundTest, AResampledMonoBufferAndAQuieterStereoOneAddUp) {
    // 5,000 frames of mono at 22,050 Hz, looping four times and a half in the half second heard.
    constexpr size_t kMonoFrames = 5000;
    BufferPtr mono(MakeBuffer(22050, 1, kMonoFrames * 2));
    BufferPtr stereo(MakeBuffer(44100, 2, kOneSecond));
    std::vector<int16_t> low = Pattern(kMonoFrames, 11);
    std::vector<int16_t> high = Pattern(kOneSecond / 2, 12);
    for (int16_t& sample : high)
        sample = static_cast<int16_t>(sample / 2);  // headroom, so that nothing saturates
    WriteSamples(mono.get(), 0, low);
    WriteSamples(stereo.get(), 0, high);
    ASSERT_EQ(stereo->SetVolume(-2500), DS_OK);
    port::control::StartSoundCapture(22050);
    ASSERT_EQ(mono->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(stereo->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    port::control::AdvanceTime(500);
    std::vector<int16_t> heard = port::control::CapturedSound();
    ASSERT_EQ(heard.size(), 2u * 22050);

    const double gain = std::pow(10.0, -2500 / 2000.0);
    int worst = 0;
    for (size_t i = 0; i < 22050; ++i) {
        // Output frame i reads the mono buffer at i / 2 frames: between two frames when i is odd,
        // the next after the last being the first.
        size_t frame = (i / 2) % kMonoFrames;
        double between =
            i % 2 == 0 ? low[frame] : (low[frame] + low[(frame + 1) % kMonoFrames]) / 2.0;
        for (size_t side = 0; side < 2; ++side) {
            int16_t expected = Saturated(between + high[2 * i + side] * gain);
            worst = std::max(worst, std::abs(heard[2 * i + side] - expected));
        }
    }
    EXPECT_LE(worst, 1);
}

TEST_F(SoundTest, FullScaleBuffersSaturateWithoutWrapping) {
    BufferPtr first(MakeBuffer(44100, 2, 4000));
    BufferPtr second(MakeBuffer(44100, 2, 4000));
    // 500 frames high, then 500 low, on both sides of both buffers.
    std::vector<int16_t> loud(2000, 32767);
    std::fill(loud.begin() + 1000, loud.end(), -32768);
    WriteSamples(first.get(), 0, loud);
    WriteSamples(second.get(), 0, loud);
    port::control::StartSoundCapture(1000);
    ASSERT_EQ(first->Play(0, 0, 0), DS_OK);
    ASSERT_EQ(second->Play(0, 0, 0), DS_OK);
    port::control::MixSound(1000);
    EXPECT_EQ(port::control::CapturedSound(), loud);
}

TEST_F(SoundTest, TheLowestVolumeIsSilence) {
    BufferPtr buffer(MakeBuffer(22050, 1, 44100));
    WriteSamples(buffer.get(), 0, Pattern(22050, 3));
    ASSERT_EQ(buffer->SetVolume(DSBVOLUME_MIN), DS_OK);
    port::control::StartSoundCapture(4410);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    port::control::AdvanceTime(100);
    std::vector<int16_t> heard = port::control::CapturedSound();
    ASSERT_EQ(heard.size(), 2u * 4410);
    EXPECT_TRUE(std::all_of(heard.begin(), heard.end(), [](int16_t s) { return s == 0; }));
    // The cursor moved all the same.
    EXPECT_EQ(sound_testing::CursorsOf(buffer.get()).play, 4410u);
}

TEST_F(SoundTest, AfterTheEndOfAResampledBufferPlayedOnceComesSilence) {
    // Four mono frames at 22,050 Hz: eight output frames, the last between the last frame and
    // silence.
    BufferPtr buffer(MakeBuffer(22050, 1, 8));
    WriteSamples(buffer.get(), 0, {1000, 2000, 3000, 4000});
    port::control::StartSoundCapture(10);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    port::control::MixSound(10);
    std::vector<int16_t> heard = port::control::CapturedSound();
    std::vector<int16_t> left;
    for (size_t i = 0; i < heard.size(); i += 2)
        left.push_back(heard[i]);
    EXPECT_EQ(left, (std::vector<int16_t>{1000, 1500, 2000, 2500, 3000, 3500, 4000, 2000, 0, 0}));
    EXPECT_EQ(sound_testing::StatusOf(buffer.get()), 0u);
}

TEST_F(SoundTest, ANewBufferHoldsQuietNoise) {
    BufferPtr buffer(MakeBuffer(44100, 2, kOneSecond));
    std::vector<int16_t> held = sound_testing::ReadSamples(buffer.get(), kOneSecond);
    ASSERT_EQ(held.size(), kOneSecond / 2);
    EXPECT_TRUE(std::all_of(held.begin(), held.end(), [](int16_t s) { return std::abs(s) <= 64; }));
    size_t zeros = std::count(held.begin(), held.end(), int16_t{0});
    EXPECT_LT(zeros, held.size() / 20);
    // And it is heard where nobody wrote.
    port::control::StartSoundCapture(441);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    port::control::AdvanceTime(10);
    std::vector<int16_t> heard = port::control::CapturedSound();
    EXPECT_TRUE(std::equal(heard.begin(), heard.end(), held.begin()));
}

}  // namespace
