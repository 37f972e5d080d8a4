// TAnimationData: what an animation file describes, owned by its TAnimatedTexture
// (animatedtexture.h): the sprite sheet's image and mask names, the frames cut from it (each a
// rectangle with its registration point, transform, opacity factor and anchor points) and the
// animation's script text. The readers of the two file forms fill it (animationxml.cpp,
// animationanm.cpp); drawing reads the current frame.
//
// Plain data; main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/str.h"

class TTask;

struct TAnimationAnchor {
    str mName;
    int32_t mX = 0;
    int32_t mY = 0;
};

struct TAnimationFrame {
    // The value of mTransform[0] that means "no transform".
    static constexpr float kNoTransform = -10000000.0f;

    bool HasTransform() const { return mTransform[0] != kNoTransform; }

    str mName;
    // The frame's rectangle in the sheet, in pixels.
    int32_t mX = 0;
    int32_t mY = 0;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    // The point of the frame that is drawn at the draw position.
    int32_t mRegX = 0;
    int32_t mRegY = 0;
    std::vector<TAnimationAnchor> mAnchors;
    // a, b, c, d, e, f: the rows (a, b, 0), (c, d, 0), (e, f, 1) of the frame's own transform.
    float mTransform[6] = {kNoTransform, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    // Multiplies the opacity the frame is drawn with.
    float mOpacity = 1.0f;
};

struct TAnimationData {
    TAnimationData();
    ~TAnimationData();
    TAnimationData(const TAnimationData&) = delete;
    TAnimationData& operator=(const TAnimationData&) = delete;

    int32_t GetFrameCount() const { return static_cast<int32_t>(mFrames.size()); }
    // Replaces the frames and takes the largest width and height over them.
    void SetFrames(std::vector<TAnimationFrame> frames);

    str mSequenceName;
    str mSource;
    // The name the animated texture was made with.
    str mFileName;
    // The sprite sheet and its optional alpha mask, relative to mDirectory or as given.
    str mImageName;
    str mMaskName;
    // mFileName up to and including its last '/' or '\'; empty without one.
    str mDirectory;
    str mScript;
    int32_t mMaxWidth = 0;
    int32_t mMaxHeight = 0;
    // The frame drawn; -1 means none. Nothing in the program changes it, so an animation draws
    // its first frame.
    int32_t mCurrentFrame = 0;
    // The image values of the file; kept, not used for drawing.
    int32_t mImageRegX = 0;
    int32_t mImageRegY = 0;
    int32_t mImageWidth = 0;
    int32_t mImageHeight = 0;
    std::vector<TAnimationFrame> mFrames;
    // The task that would run mScript. Nothing makes one; it goes with the data when set.
    std::unique_ptr<TTask> mScriptRunner;
};
