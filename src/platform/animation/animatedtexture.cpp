#include "platform/animation/animatedtexture.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>

#include "foundation/assetmanager.h"
#include "foundation/file/file.h"
#include "math/mat3.h"
#include "platform/draw/drawspec.h"
#include "platform/draw/renderer.h"
#include "platform/texture/texturedata.h"

namespace {

// Frame rectangles come from files and source rectangles from scripts: their sums are taken in
// 64 bits and brought back into the int range.
int ClampToInt(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

bool Contains(const str& text, const char* needle) {
    return text.Find(needle, str::kIgnoreCase) != str::npos;
}

// The name up to and including its last '/' or '\'; empty without one.
str DirectoryOf(const str& name) {
    unsigned int end = 0;
    unsigned int length = name.Length();
    for (unsigned int i = 0; i < length; ++i)
        if (name.GetAt(i) == '/' || name.GetAt(i) == '\\') end = i + 1;
    return name.Substring(0, end);
}

}  // namespace

TAnimatedTexture::TAnimatedTexture(const str& name) : mAnimation(new TAnimationData) {
    mAnimation->mFileName = name;
}

TAnimatedTexture::~TAnimatedTexture() = default;

const TAnimationFrame* TAnimatedTexture::CurrentFrame() const {
    int32_t index = mAnimation->mCurrentFrame;
    if (index < 0 || index >= mAnimation->GetFrameCount()) return nullptr;
    return &mAnimation->mFrames[static_cast<size_t>(index)];
}

int TAnimatedTexture::GetWidth() const {
    const TAnimationFrame* frame = CurrentFrame();
    return frame != nullptr ? frame->mWidth : 0;
}

int TAnimatedTexture::GetHeight() const {
    const TAnimationFrame* frame = CurrentFrame();
    return frame != nullptr ? frame->mHeight : 0;
}

void TAnimatedTexture::Draw(const TDrawSpec& spec) {
    const TAnimationFrame* frame = CurrentFrame();
    if (frame == nullptr || frame->mWidth == 0) return;

    TDrawSpec copy = spec;
    if ((spec.mFlags & TDrawSpec::kUseOffset) == 0) {
        copy.mFlags |= TDrawSpec::kUseOffset;
        // A flipped frame keeps its registration point where the unflipped one has it.
        float x = static_cast<float>(frame->mRegX);
        float y = static_cast<float>(frame->mRegY);
        if ((spec.mFlags & TDrawSpec::kFlipHorizontal) != 0) x = static_cast<float>(GetWidth()) - x;
        if ((spec.mFlags & TDrawSpec::kFlipVertical) != 0) y = static_cast<float>(GetHeight()) - y;
        copy.mOffset = TVec2(x, y);
    }
    if (frame->HasTransform()) {
        const float* t = frame->mTransform;
        TMat3 own(t[0], t[1], 0.0f, t[2], t[3], 0.0f, t[4], t[5], 1.0f);
        // Row vectors: the frame's transform applies first.
        TMat3::Multiply(copy.mTransform, own, spec.mTransform);
    }
    TRect frameRect{frame->mX, frame->mY,
                    ClampToInt(static_cast<int64_t>(frame->mX) + frame->mWidth),
                    ClampToInt(static_cast<int64_t>(frame->mY) + frame->mHeight)};
    if ((spec.mFlags & TDrawSpec::kUseSourceRect) == 0) {
        copy.mFlags |= TDrawSpec::kUseSourceRect;
        copy.mSourceRect = frameRect;
    } else {
        const TRect& s = spec.mSourceRect;
        TRect moved{ClampToInt(static_cast<int64_t>(s.left) + frame->mX),
                    ClampToInt(static_cast<int64_t>(s.top) + frame->mY),
                    ClampToInt(static_cast<int64_t>(s.right) + frame->mX),
                    ClampToInt(static_cast<int64_t>(s.bottom) + frame->mY)};
        copy.mSourceRect = TRect::Intersect(moved, frameRect);
    }
    copy.mOpacity *= frame->mOpacity;
    TTexture::Draw(copy);
}

void TAnimatedTexture::CopyRectTo(int x, int y, const TRect* source,
                                  std::shared_ptr<TTexture> target) {
    TTextureData* data = GetData();
    if (data == nullptr || TRenderer::GetInstance()->IsDrawing()) return;
    if (source == nullptr) {
        data->CopyRect(x, y, nullptr, target);
        return;
    }
    // Clipped to the sheet, not to the current frame.
    TRect clipped = *source;
    int width = static_cast<int>(data->GetWidth());
    int height = static_cast<int>(data->GetHeight());
    if (clipped.left < 0) clipped.left = 0;
    if (clipped.top < 0) clipped.top = 0;
    if (clipped.right > width) clipped.right = width;
    if (clipped.bottom > height) clipped.bottom = height;
    if (clipped.right <= clipped.left || clipped.bottom <= clipped.top) return;
    data->CopyRect(x, y, &clipped, target);
}

std::shared_ptr<TAnimatedTexture> TAnimatedTexture::Get(const str& name, const str& imageOverride,
                                                        const str& maskOverride) {
    if (std::shared_ptr<TAnimatedTexture> cached =
            FindCached(MakeKey(name, imageOverride, maskOverride)))
        return cached;
    std::shared_ptr<TAnimatedTexture> texture = CreateRegistered(name, imageOverride, maskOverride);
    if (!texture->Load(imageOverride, maskOverride) || !texture->LoadSheet()) return nullptr;
    return texture;
}

str TAnimatedTexture::MakeKey(const str& name, const str& imageOverride, const str& maskOverride) {
    return name + ":" + imageOverride + ":" + maskOverride;
}

std::shared_ptr<TAnimatedTexture> TAnimatedTexture::FindCached(const str& key) {
    TAssetManager* manager = GetAssetManager();
    if (manager == nullptr) return nullptr;
    return AssetCast<TAnimatedTexture>(manager->FindAsset(key));
}

std::shared_ptr<TAnimatedTexture> TAnimatedTexture::CreateRegistered(const str& name,
                                                                     const str& imageOverride,
                                                                     const str& maskOverride) {
    auto texture = std::make_shared<TAnimatedTexture>(name);
    if (TAssetManager* manager = GetAssetManager())
        manager->AddAsset(MakeKey(name, imageOverride, maskOverride), texture);
    return texture;
}

str TAnimatedTexture::MakeScript(int32_t frameCount) {
    // Built in a growing buffer and made a str once: an animation may have a million frames, and
    // a str grows to the exact size on every append.
    std::string script = "function DoAnim()\n    delay(60);\n";
    if (frameCount >= 1) {
        script += "    frames{";
        char number[16];
        for (int32_t i = 1; i <= frameCount; ++i) {
            if (i > 1) script += ',';
            script.append(number,
                          static_cast<size_t>(std::snprintf(number, sizeof number, "%d", i)));
        }
        script += "};\n";
    }
    script += "end\n";
    return str(script.data(), static_cast<int>(script.size()));
}

bool TAnimatedTexture::Load(const str& imageOverride, const str& maskOverride) {
    const str& name = mAnimation->mFileName;
    str path = name;
    if (!FileExists(path)) {
        path = name + ".xml";
        if (!FileExists(path)) {
            path = name + ".anm";
            if (!FileExists(path)) return false;
        }
    }
    bool loaded;
    if (Contains(path, ".xml"))
        loaded = LoadXml(path);
    else if (Contains(path, ".anm"))
        loaded = LoadAnm(path);
    else
        return false;
    if (!loaded) return false;

    mAnimation->mDirectory = DirectoryOf(name);
    if (imageOverride.Length() != 0) mAnimation->mImageName = imageOverride;
    if (maskOverride.Length() != 0) mAnimation->mMaskName = maskOverride;
    return true;
}

bool TAnimatedTexture::LoadSheet() {
    TTextureData* data = GetData();
    data->SetFlags(static_cast<uint8_t>((data->GetFlags() | TTextureData::kHasAlpha) &
                                        ~TTextureData::kAlphaFromImage));
    const str& directory = mAnimation->mDirectory;
    const str& image = mAnimation->mImageName;
    const str& mask = mAnimation->mMaskName;
    if (mask.Length() != 0) {
        return data->Load((directory + image).c_str(), (directory + mask).c_str()) ||
               data->Load(image.c_str(), mask.c_str());
    }
    return data->Load((directory + image).c_str(), nullptr) || data->Load(image.c_str(), nullptr);
}
