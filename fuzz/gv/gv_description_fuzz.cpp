// A visual-object description fragment: the parameter attributes of its first element, its
// "params", "images" and "framelist", loaded against three generated images (16 × 16, 5 × 3 on an
// 8 × 4 surface, 32 × 8), then the registration points, the alpha masks, a hit
// test of every pixel of every frame (of a window of each large frame) and a save. A hit must lie
// on the frame's image, and no texture may stay locked after the masks are built.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "foundation/assetmanager.h"
#include "foundation/xml/xmlnode.h"
#include "gv/hittest/gvalphahittester.h"
#include "gv/gvdata.h"
#include "gv/gvframe.h"
#include "gv/gvobject.h"
#include "gv/gvparams.h"
#include "gv/gvtexture.h"
#include "platform/texture/memorytexturedata.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedata.h"

namespace {

struct Image {
    const char* name;
    int width;
    int height;
};
constexpr Image kImages[] = {{"anim/a.png", 16, 16}, {"anim/b.png", 5, 3}, {"anim/c.png", 32, 8}};

// The images, registered in the texture cache under the keys TTexture::Get looks for, with
// alpha varying by pixel: opaque, transparent, and 80 and 81 at the threshold.
std::vector<std::shared_ptr<TTexture>>& Textures() {
    static TAssetManager manager;
    static std::vector<std::shared_ptr<TTexture>> textures = [] {
        SetAssetManager(&manager);
        std::vector<std::shared_ptr<TTexture>> made;
        const uint32_t alphas[] = {0, 255, 80, 81, 200, 0, 0};
        for (const Image& image : kImages) {
            std::shared_ptr<TTexture> texture =
                TTexture::CreateRegistered(TTexture::MakeKey(image.name, false, false, false));
            std::vector<uint32_t> pixels(size_t(image.width) * image.height);
            for (int y = 0; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x)
                    pixels[size_t(y) * image.width + x] = alphas[(x * 3 + y * 5) % 7] << 24;
            // Surfaces of power-of-two sides, as a device makes them: rows wider than the image.
            texture->GetData()->CreateSurface(int(NextPowerOfTwo(uint32_t(image.width))),
                                              int(NextPowerOfTwo(uint32_t(image.height))), true);
            texture->GetData()->SetPixels(image.width, image.height, pixels.data());
            made.push_back(texture);
        }
        return made;
    }();
    return textures;
}

int64_t Outstanding(const std::shared_ptr<TTexture>& texture) {
    auto* memory = dynamic_cast<TMemoryTextureData*>(texture->GetData());
    return memory->GetLockCount() - memory->GetUnlockCount();
}

// Hit tests a window of at most 40 × 40 pixels at the frame's top left and one around the
// point where the frame's image starts; a hit off the image is a fault.
void HitTestFrame(GVAlphaHitTester& tester, const GVFrame& frame, const GVTextures& textures) {
    const int64_t width = frame.GetWidth();
    const int64_t height = frame.GetHeight();
    int64_t imageWidth = 0;
    int64_t imageHeight = 0;
    if (frame.image >= 0 && frame.image < textures.GetCount() &&
        textures.GetAt(frame.image)->texture != nullptr) {
        const TTextureData* data = textures.GetAt(frame.image)->texture->GetData();
        imageWidth = data->GetSurfaceWidth();
        imageHeight = data->GetSurfaceHeight();
    }
    const int64_t starts[][2] = {{0, 0}, {-int64_t(frame.left) - 4, -int64_t(frame.top) - 4}};
    for (const auto& start : starts) {
        for (int64_t y = start[1]; y < start[1] + 40; ++y) {
            for (int64_t x = start[0]; x < start[0] + 40; ++x) {
                if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) continue;
                if (!tester.HitTest(int32_t(x), int32_t(y), frame)) continue;
                const int64_t onImageX = frame.left + x;
                const int64_t onImageY = frame.top + y;
                if (x >= width || y >= height || onImageX < 0 || onImageY < 0 ||
                    onImageX >= imageWidth || onImageY >= imageHeight)
                    std::abort();
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::shared_ptr<TTexture>>& images = Textures();
    TXmlNode document;
    document.ParseString(reinterpret_cast<const char*>(data), size);
    const TXmlNodeList& children = document.GetChildren();
    TXmlNode* description = children.empty() ? &document : children.back();

    GVObject object;
    object.Load(description, nullptr);
    GVParams params;
    params.Load(description->FindChild("params"), &object);

    auto textures = std::make_shared<GVTextures>();
    textures->Load(description->FindChild("images"), &object);
    object.SetTextures(textures);
    auto frames = std::make_shared<GVFrames>();
    if (frames->Load(description->FindChild("framelist"), &object)) object.SetFrames(frames);

    GVAlphaHitTester tester;
    tester.Build(&object);
    for (const std::shared_ptr<TTexture>& texture : images)
        if (Outstanding(texture) != 0) std::abort();
    for (int32_t i = 0; i < frames->GetCount(); ++i) {
        const GVFrame& frame = *frames->GetAt(i);
        for (int32_t corner = 0; corner < 4; ++corner)
            frame.GetRegCorner(corner);
        HitTestFrame(tester, frame, *textures);
    }

    TXmlNode saved("main");
    object.Save(&saved);
    params.Save(saved.AddChild("params"));
    TXmlNode* savedImages = saved.AddChild("images");
    for (int32_t i = 0; i < textures->GetCount(); ++i)
        textures->GetAt(i)->Save(savedImages->AddChild("img"));
    TXmlNode* savedFrames = saved.AddChild("framelist");
    for (int32_t i = 0; i < frames->GetCount(); ++i)
        frames->GetAt(i)->Save(savedFrames->AddChild("frame"));
    saved.ToString();
    return 0;
}
