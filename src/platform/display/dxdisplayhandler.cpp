// TPlatformData's life, its record and the broken state: the one instance, the record with its
// initial values, the marks as broken and the working test.
#include <atomic>

#include "foundation/log.h"
#include "platform/display/displayrecord.h"
#include "platform/display/displaysettingsfile.h"
#include "platform/display/dxcontext.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "port/window/metrics.h"

namespace {

std::atomic<TPlatformData*> gInstance{nullptr};

// Texture restores that fail mark the display at most this often.
constexpr uint32_t kBrokenThrottle = 250;

}  // namespace

TDisplayRecord::TDisplayRecord() : mContext(std::make_unique<TDXContext>()) {}

TDisplayRecord::~TDisplayRecord() = default;

TPlatformData::TPlatformData() : mRecord(new TDisplayRecord()) {
    gInstance.store(this);
    mRecord->mLowMemoryVideo = ReadLowMemoryVideoSetting();
}

TPlatformData::~TPlatformData() {
    TPlatformData* self = this;
    gInstance.compare_exchange_strong(self, nullptr);
    delete mRecord;
    mRecord = nullptr;
}

TPlatformData* TPlatformData::GetInstance() {
    return gInstance.load();
}

bool TPlatformData::IsReady() const {
    return mRecord != nullptr && mRecord->mReady.load() && !mRecord->mBroken.load();
}

void TPlatformData::SetReady(bool ready) {
    mRecord->mReady.store(ready);
}

bool TPlatformData::IsBroken() const {
    return mRecord->mBroken.load();
}

void TPlatformData::SetBroken(bool broken) {
    mRecord->mBroken.store(broken);
}

int TPlatformData::GetWorkingCount() const {
    return static_cast<int>(mRecord->mWorkingCount);
}

void TPlatformData::ResetWorkingCount() {
    mRecord->mWorkingCount = 0;
}

bool TPlatformData::IsFullscreen() const {
    return mRecord->mFullscreen.load();
}

RECT TPlatformData::GetClipRect() const {
    return mRecord->mClipRect;
}

TDXContext* TPlatformData::GetContext() const {
    return mRecord->mContext.get();
}

void TPlatformData::MarkBroken() {
    mRecord->mLastBrokenTime = TPlatform::GetTimer();
    mRecord->mMarkedBroken = true;
    mRecord->mBroken.store(true);
    TPlatform::SetConfig("dxbroken", "1");
}

void TPlatformData::MarkBrokenThrottled() {
    // The time since the last mark, unsigned, so that a mark made just before the application
    // clock wraps does not hold off the next one for a whole turn of the clock.
    uint32_t now = TPlatform::GetTimer();
    if (mRecord->mMarkedBroken && now - mRecord->mLastBrokenTime < kBrokenThrottle) return;
    mRecord->mBroken.store(true);
    TPlatform::SetConfig("dxbroken", "1");
    mRecord->mLastBrokenTime = now;
    mRecord->mMarkedBroken = true;
}

[[gnu::hot]] bool TPlatformData::IsWorking() {
    if (mRecord->mBroken.load()) return false;
    if (mRecord->mDirectDraw != nullptr && mRecord->mDirect3D != nullptr &&
        mRecord->mDevice != nullptr) {
        return true;
    }
    MarkBroken();
    return false;
}

bool WindowExceedsDesktop(const TDXContext* context, int width, int height) {
    return context->GetDesktopWidth() <
               width + GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXFRAME) ||
           context->GetDesktopHeight() < height + GetSystemMetrics(SM_CYEDGE) +
                                             GetSystemMetrics(SM_CYFRAME) +
                                             GetSystemMetrics(SM_CYCAPTION);
}
