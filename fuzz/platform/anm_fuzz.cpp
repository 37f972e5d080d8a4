// The binary animation reader on any bytes, read through a memory file as the game reads an
// ".anm" from the assets or an archive; what loads is then drawn frame by frame into a
// recording sink, so that numbers from the file reach the drawing arithmetic too.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "foundation/file/fileindex.h"
#include "platform/animation/animatedtexture.h"
#include "platform/draw/drawspec.h"
#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    RegisterMemoryFile("fuzz.anm", data, static_cast<uint32_t>(size));
    auto animation = std::make_shared<TAnimatedTexture>("fuzz.anm");
    if (animation->LoadAnm("fuzz.anm")) {
        TRecordingRenderSink sink;
        TRenderer* renderer = TRenderer::GetInstance();
        renderer->SetSink(&sink);
        renderer->BeginDraw(false);
        renderer->Begin2d();
        TAnimationData& animationData = animation->GetAnimation();
        // A few frames are enough to reach every path of the drawing.
        int32_t count = animationData.GetFrameCount();
        for (int32_t i = 0; i < count && i < 8; ++i) {
            animationData.mCurrentFrame = i;
            TDrawSpec spec(5.0f, 7.0f, 1.0f, 2.0f, static_cast<uint32_t>(i) & 3u);
            if ((i & 4) != 0) {
                spec.mFlags |= TDrawSpec::kUseSourceRect;
                spec.mSourceRect = TRect{-3, 2, 1000, 9};
            }
            animation->Draw(spec);
            sink.mDraws.clear();
        }
        renderer->SetSink(nullptr);
        TRenderer::DestroyInstance();
    }
    animation.reset();
    RegisterMemoryFile("fuzz.anm", nullptr, 0);
    return 0;
}
