// The renderer's frame rate and its statistics overlay (Alt+F1): a few lines of text at the top
// left of the screen, over a dark box, drawn at the end of every frame while shown.
#include <limits>

#include "foundation/str.h"
#include "math/vec4.h"
#include "platform/draw/drawstate.h"
#include "platform/draw/renderer.h"
#include "platform/platform.h"
#include "platform/text/drawstringat.h"
#include "platform/text/textlayout.h"

namespace {

// The framework version the overlay shows.
constexpr int kVersion[4] = {4, 0, 18, 1};

// The process memory counters the overlay shows beside the texture memory: the framework keeps
// them as globals, and nothing in this program raises them.
constexpr int kProcessMemory = 0;
constexpr int kProcessPeakMemory = 0;

// The overlay's layout box and the dark box behind its text.
constexpr int kLayoutSide = 512;
constexpr int kFontSize = 16;
constexpr TRect kBackground{0, 0, 300, 64};

int ConfigInt(const char* key) {
    return TPlatform::GetConfig(key, "0").ToInt();
}

}  // namespace

void TRenderer::MeasureFrameRate() {
    TDrawState& state = *mState;
    uint32_t now = TPlatform::GetTimer();
    state.mFrameTimes[state.mFrameIndex] = now;
    state.mFrameIndex = (state.mFrameIndex + 1) % TDrawState::kFrameStamps;
    if (state.mFrameIndex != 0) return;
    // Slot 0 holds the stamp written 14 frames ago; the counter may have wrapped in between.
    uint32_t elapsed = now - state.mFrameTimes[0];
    double perMillisecond = static_cast<double>(TDrawState::kFrameStamps) * 1000.0;
    state.mFps = elapsed == 0 ? std::numeric_limits<float>::infinity()
                              : static_cast<float>(perMillisecond / elapsed);
}

void TRenderer::DrawStats() {
    TDrawState& state = *mState;
    if (state.mStatsLayout == nullptr) {
        const float red[4] = {1.0f, 0.0f, 0.0f, 1.0f};
        state.mStatsLayout =
            TTextLayout::Create("", kLayoutSide, kLayoutSide, 0, nullptr, kFontSize, red);
    }
    int maxTextureMemory = ConfigInt("max_texture_ram_allocated");
    int textureMemory = ConfigInt("texture_ram_allocated");
    int sprites = ConfigInt("current_sprite_count");
    str text = str::Format(
        "Corvane Version %d.%d.%d.%d<br>%f FPS<tab pos='150'>Sprites: %d<br>Mem: %dkB<tab "
        "pos='150'>TexMem: %dkB<br>MaxMem: %dkB<tab pos='150'>MaxTexMem: %dkB<br>",
        kVersion[0], kVersion[1], kVersion[2], kVersion[3], static_cast<double>(state.mFps),
        sprites, kProcessMemory / 1024, textureMemory / 1024, kProcessPeakMemory / 1024,
        maxTextureMemory / 1024);
    state.mStatsLayout->SetText(text);

    // Refused when the caller is still in its own 2-D phase: the overlay then draws inside it.
    bool opened = Begin2d();
    FillRect(kBackground, TVec4{0.0f, 0.0f, 0.0f, 0.0f}, nullptr);
    DrawStringAt(state.mStatsLayout, TRect{0, 0, kLayoutSide, kLayoutSide}, 1.0f, 0, 1.0f);
    if (opened) End2d();
}
