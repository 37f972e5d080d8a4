// Every looping sound played by the engine as the game plays it (a looping stream on the null
// device, its fake clock moved on) and captured across three wraps: at no wrap does the output
// step further than the largest step between two frames inside the loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "audio/sounddatasource.h"
#include "enginefixture.h"
#include "port/control.h"
#include "soundfiles.h"

namespace soundlint {
namespace {

class LoopWrap : public audio_testing::SoundEngineTest,
                 public ::testing::WithParamInterface<std::string> {};

// The largest step between neighbouring frames of a stereo capture from one frame to another.
int LargestStep(const std::vector<int16_t>& stereo, size_t from, size_t to) {
    int largest = 0;
    for (size_t i = std::max<size_t>(from, 1); i < to && 2 * i + 1 < stereo.size(); ++i) {
        for (size_t c = 0; c < 2; ++c)
            largest = std::max(largest, std::abs(stereo[2 * i + c] - stereo[2 * (i - 1) + c]));
    }
    return largest;
}

TEST_P(LoopWrap, NoWrapStepsFurtherThanTheLoopDoesInside) {
    ASSERT_TRUE(IndexGameFolder());
    const std::string path = GetParam();
    const Decoded decoded = DecodeGameSound(path);
    ASSERT_TRUE(decoded.ok) << path;
    const size_t frames = decoded.samples.size() / static_cast<size_t>(decoded.channels);
    const uint32_t loopMs = static_cast<uint32_t>(frames * 1000 / 44100);
    ASSERT_NE(Start(), nullptr);
    port::control::StartSoundCapture(frames * 4 + 44100);
    // Long sounds stream as the game streams them; short ones are decoded into memory.
    auto source = CreateSoundDataSource(str(path.c_str()), frames >= 2 * 44100);
    ASSERT_NE(source, nullptr);
    PlaySound(source, true);
    Run(3 * loopMs + 500);
    const std::vector<int16_t> heard = audio_testing::Captured();
    const size_t start = audio_testing::FirstSound(heard) / 2;
    ASSERT_LT(start, heard.size() / 2) << path << ": nothing heard";
    ASSERT_GE(heard.size() / 2, start + 3 * frames + 2) << path << ": fewer than three wraps";
    const int inside = LargestStep(heard, start + 1, start + frames);
    ASSERT_GT(inside, 0);
    for (size_t wrap = 1; wrap <= 3; ++wrap) {
        // The frame the loop starts again at, and its neighbour on either side.
        const size_t at = start + wrap * frames;
        EXPECT_LE(LargestStep(heard, at - 1, at + 2), inside) << path << ", wrap " << wrap;
    }
}

INSTANTIATE_TEST_SUITE_P(GameLoops, LoopWrap, ::testing::ValuesIn(LoopingFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param.substr(info.param.rfind('/') + 1);
                             name = name.substr(0, name.find('.'));
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
}  // namespace soundlint
