// Shared by the animated texture tests: the texture fixture (asset manager, recording sink,
// memory files), a builder for ".anm" bytes made by hand, and a comparison of two animations
// that names the first field that differs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/animation/animatedtexture.h"
#include "platform/animation/animationdata.h"
#include "texturefixture.h"

// Little-endian ".anm" pieces.
class AnmBytes {
public:
    AnmBytes& Tag(const char* tag) {
        mBytes.append(tag, 4);
        return *this;
    }
    AnmBytes& Int(int32_t value) {
        uint32_t bits = static_cast<uint32_t>(value);
        for (int i = 0; i < 4; ++i)
            mBytes.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
        return *this;
    }
    AnmBytes& Float(float value) {
        int32_t bits;
        std::memcpy(&bits, &value, 4);
        return Int(bits);
    }
    AnmBytes& String(const std::string& text) {
        Int(static_cast<int32_t>(text.size()));
        mBytes += text;
        return *this;
    }
    // "ANIM" with an unused value, the version, the sequence name and source; "IMGN" with the
    // image values (and version 1's four floats) and names; "FRMS" and the frame count.
    AnmBytes& Header(int32_t version, int32_t frameCount) {
        Tag("ANIM").Int(77).Int(version).String("seq").String("src");
        Tag("IMGN").Int(1).Int(2).Int(64).Int(32);
        if (version == 1) Float(9).Float(9).Float(9).Float(9);
        return String("sheet.png").String("").Tag("FRMS").Int(frameCount);
    }
    // A frame at (x, 0), 10 × 8, registration (2, 3), no transform, no anchors.
    AnmBytes& Frame(int32_t version, int32_t x, float opacity = 0.5f) {
        Int(2).Int(3).Int(x).Int(0).Int(10).Int(8);
        if (version > 1) Float(opacity);
        Float(TAnimationFrame::kNoTransform).Float(0).Float(0).Float(0).Float(0).Float(0);
        return String("f").Int(0);
    }
    const std::string& Bytes() const { return mBytes; }

private:
    std::string mBytes;
};

// Empty when a and b hold the same animation; else the first field that differs.
inline std::string AnimationDifference(const TAnimationData& a, const TAnimationData& b) {
    if (a.mSequenceName != b.mSequenceName) return "sequence name";
    if (a.mSource != b.mSource) return "source";
    if (a.mImageName != b.mImageName || a.mMaskName != b.mMaskName) return "image names";
    if (a.mImageRegX != b.mImageRegX || a.mImageRegY != b.mImageRegY ||
        a.mImageWidth != b.mImageWidth || a.mImageHeight != b.mImageHeight)
        return "image values";
    if (a.mScript != b.mScript) return "script";
    if (a.mMaxWidth != b.mMaxWidth || a.mMaxHeight != b.mMaxHeight) return "largest size";
    if (a.GetFrameCount() != b.GetFrameCount()) return "frame count";
    for (size_t i = 0; i < a.mFrames.size(); ++i) {
        const TAnimationFrame& f = a.mFrames[i];
        const TAnimationFrame& g = b.mFrames[i];
        std::string at = " of frame " + std::to_string(i);
        if (f.mName != g.mName) return "name" + at;
        if (f.mX != g.mX || f.mY != g.mY || f.mWidth != g.mWidth || f.mHeight != g.mHeight)
            return "rectangle" + at;
        if (f.mRegX != g.mRegX || f.mRegY != g.mRegY) return "registration" + at;
        if (std::memcmp(f.mTransform, g.mTransform, sizeof f.mTransform) != 0)
            return "transform" + at;
        if (f.mOpacity != g.mOpacity) return "opacity" + at;
        if (f.mAnchors.size() != g.mAnchors.size()) return "anchor count" + at;
        for (size_t k = 0; k < f.mAnchors.size(); ++k) {
            const TAnimationAnchor& p = f.mAnchors[k];
            const TAnimationAnchor& q = g.mAnchors[k];
            if (p.mName != q.mName || p.mX != q.mX || p.mY != q.mY) return "anchor" + at;
        }
    }
    return "";
}

class AnimationTest : public TextureTest {
protected:
    // An animation of that name with nothing loaded.
    static std::shared_ptr<TAnimatedTexture> Make(const char* name) {
        return std::make_shared<TAnimatedTexture>(name);
    }
};
