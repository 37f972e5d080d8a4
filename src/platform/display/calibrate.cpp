// TPlatformData::CalibratePixelOffset: the shift of the 2-D projection that puts texels exactly on
// pixels. A 16 x 16 white probe with black top-left and bottom-right pixels is drawn ten times
// into a render target filled red, each time with the offset one tenth further from -0.5; the
// first trial whose two corner pixels came out black is the offset that maps texels to pixels.
// The target is begun in mode 2, so the red fill is copied in and every probe is judged against
// red (a back buffer already black there would pass every trial).
#include <memory>

#include "platform/display/displayrecord.h"
#include "platform/draw/drawspec.h"
#include "platform/draw/renderer.h"
#include "platform/platformdata.h"
#include "platform/texture/texture.h"

namespace {

constexpr int kProbeSide = 16;
constexpr int kTrials = 10;
constexpr int kTargetWidth = 1024;
constexpr int kTargetHeight = 512;
// The draw flag the probes are drawn with.
constexpr uint32_t kProbeDrawFlag = 8;

float TrialOffset(int trial) {
    return static_cast<float>(trial) * 0.1f - 0.5f;
}

// Where trial t's probe goes: 16 pixels to the right each time, a row of 16 further down once x
// passes 784.
void TrialPosition(int trial, int* x, int* y) {
    int left = kProbeSide * trial;
    *x = left;
    *y = 0;
    while (*x > 784) {
        *x -= 800;
        *y += kProbeSide;
    }
}

bool IsBlack(uint32_t pixel) {
    return (pixel & 0x00FFFFFF) == 0;
}

std::shared_ptr<TTexture> MakeProbe() {
    std::shared_ptr<TTexture> probe = TTexture::Create(kProbeSide, kProbeSide, false);
    if (probe == nullptr) return nullptr;
    TRenderer::GetInstance()->FillRect(TRect{0, 0, kProbeSide, kProbeSide},
                                       TVec4{1.0f, 1.0f, 1.0f, 1.0f}, probe);
    uint32_t* pixels = nullptr;
    int pitch = 0;
    if (!probe->Lock(&pixels, &pitch)) return probe;
    // The pitch is in pixels.
    pixels[0] &= 0xFF000000;
    pixels[(kProbeSide - 1) * pitch + kProbeSide - 1] &= 0xFF000000;
    probe->Unlock();
    return probe;
}

}  // namespace

void TPlatformData::CalibratePixelOffset() {
    TDisplayRecord& record = *mRecord;
    if (record.mCalibrating) return;
    record.mCalibrating = true;
    TRenderer* renderer = TRenderer::GetInstance();

    std::shared_ptr<TTexture> probe = MakeProbe();
    std::shared_ptr<TTexture> target = TTexture::Create(kTargetWidth, kTargetHeight, false);
    bool drawn = false;
    if (probe != nullptr && target != nullptr) {
        renderer->FillRect(TRect{0, 0, kTargetWidth, kTargetHeight}, TVec4{1.0f, 0.0f, 0.0f, 0.0f},
                           target);
        if (renderer->BeginRenderTarget(target, 2)) {
            if (renderer->Begin2d()) {
                SetTextureFilter(false);
                for (int trial = 0; trial < kTrials; ++trial) {
                    record.mPixelOffset = TrialOffset(trial);
                    int x = 0;
                    int y = 0;
                    TrialPosition(trial, &x, &y);
                    probe->Draw(TDrawSpec(static_cast<float>(x), static_cast<float>(y), 1.0f, 1.0f,
                                          kProbeDrawFlag));
                }
                SetTextureFilter(true);
                renderer->End2d();
            }
            renderer->EndRenderTarget();
            drawn = true;
        }
    }

    float offset = TrialOffset(0);
    uint32_t* pixels = nullptr;
    int pitch = 0;
    if (drawn && target->Lock(&pixels, &pitch)) {
        auto at = [&](int x, int y) { return pixels[y * pitch + x]; };
        for (int trial = 0; trial < kTrials; ++trial) {
            int x = 0;
            int y = 0;
            TrialPosition(trial, &x, &y);
            if (IsBlack(at(x, y)) && IsBlack(at(x + kProbeSide - 1, y + kProbeSide - 1))) {
                offset = TrialOffset(trial);
                break;
            }
        }
        target->Unlock();
    }
    record.mPixelOffset = offset;
    record.mCalibrating = false;
}
