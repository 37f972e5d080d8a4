#include "platform/animation/animationdata.h"

#include <algorithm>
#include <utility>

#include "foundation/task/task.h"

TAnimationData::TAnimationData() = default;

TAnimationData::~TAnimationData() = default;

void TAnimationData::SetFrames(std::vector<TAnimationFrame> frames) {
    mFrames = std::move(frames);
    mMaxWidth = 0;
    mMaxHeight = 0;
    for (const TAnimationFrame& frame : mFrames) {
        mMaxWidth = std::max(mMaxWidth, frame.mWidth);
        mMaxHeight = std::max(mMaxHeight, frame.mHeight);
    }
}
