#include "gv/anim/gvinterpolator.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "foundation/xml/xmlnode.h"
#include "gv/attributes.h"
#include "gv/gvdata.h"
#include "gv/gvobject.h"
#include "gv/anim/gvstate.h"
#include "gv/anim/gvtaskhost.h"

namespace {

bool IsKeyChar(char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == '-';
}

// A double truncated toward zero into 64 bits, saturated; NaN gives 0.
int64_t TruncateToInt64(double value) {
    if (std::isnan(value)) return 0;
    if (value <= -9.2e18) return std::numeric_limits<int64_t>::min();
    if (value >= 9.2e18) return std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(value);
}

// Copies the keys when the target is an interpolator of the same class.
template <class Kind>
GVBase* CopyKeysTo(const Kind& from, GVBase* target) {
    Kind* into = dynamic_cast<Kind*>(target);
    if (into == nullptr) return nullptr;
    into->CopyKeysFrom(from);
    return target;
}

}  // namespace

GVDefInterpolator::~GVDefInterpolator() {
    if (mTimer != nullptr) mTimer->Detach();
}

bool GVDefInterpolator::Load(TXmlNode* node, GVBase* owner) {
    if (!GVBase::Load(node, owner)) return false;
    int32_t defaultTime = 100;
    GVBase* ownerOfOwner = owner != nullptr ? owner->GetOwner() : nullptr;
    if (ownerOfOwner != nullptr && ownerOfOwner->GetKind() == kState) {
        const GVState* state = static_cast<const GVState*>(ownerOfOwner);
        const double n = static_cast<double>(state->frames.size());
        defaultTime = TruncateToInt(static_cast<double>(state->defdelay) * n * n);
    }
    time = static_cast<uint32_t>(ReadIntAttrBase(node, "time", defaultTime, 0));
    quant = static_cast<uint32_t>(ReadIntAttrBase(node, "quant", 30, 0));
    keyCount = LoadKeys(node->GetAttribute("keys"));
    return keyCount != 0;
}

GVBase* GVDefInterpolator::CopyTo(GVBase* target) {
    if (GVBase::CopyTo(target) == nullptr || target->GetKind() != kEffect) return nullptr;
    return target;
}

void GVDefInterpolator::CopyBase(GVDefInterpolator& into) const {
    into.time = time;
    into.quant = quant;
    into.keyCount = keyCount;
}

bool GVDefInterpolator::Start() {
    elapsed = 0;
    if (mTimer == nullptr) {
        auto* timer = new Timer(this, &GVDefInterpolator::OnTimer);
        GVScene* scene = mTarget != nullptr ? mTarget->GetScene(0) : nullptr;
        if (AddTimerTask(scene, timer))
            mTimer = timer;
        else
            delete timer;  // no list to run it: the effect runs without advancing
    }
    if (mTimer != nullptr) mTimer->SetTimer(quant, true, true, false);
    return true;
}

bool GVDefInterpolator::Stop() {
    if (mTimer != nullptr) mTimer->Stop();
    return true;
}

bool GVDefInterpolator::OnTimer(TCustomOnTimerCaller* timer) {
    if (!enabled) {
        timer->Stop();
        return true;
    }
    if (mTarget == nullptr) {
        elapsed += quant;
    } else {
        const float speed = mTarget->GetSpeed();
        if (speed != 0.0f) {
            // Wraps modulo 2^32, as the elapsed time does.
            const int64_t step = TruncateToInt64(static_cast<double>(quant) / speed);
            elapsed += static_cast<uint32_t>(static_cast<uint64_t>(step));
        }
    }
    if (mData != nullptr) mData->changed = 1;
    return true;
}

void GVDefInterpolator::ForgetTimer(TCustomOnTimerCaller* timer) {
    if (mTimer == timer) mTimer = nullptr;
}

void GVDefInterpolator::Apply(GVData& composed) {
    mData = &composed;
    if (keyCount <= 0) return;
    if (keyCount == 1 || time == 0) {
        ApplyKey(composed, 0, 0.0f);
        return;
    }
    const uint32_t t = elapsed % time;
    const uint32_t scaled = t * static_cast<uint32_t>(keyCount - 1);
    const float position = static_cast<float>(scaled) / static_cast<float>(time);
    int32_t index = TruncateToInt(position);
    float fraction = position - static_cast<float>(index);
    // Float rounding can land on the last key (or beyond, with a wrapped product): stay on the
    // last interval, at its end.
    if (index > keyCount - 2) {
        index = keyCount - 2;
        fraction = 1.0f;
    } else if (index < 0) {
        index = 0;
        fraction = 0.0f;
    }
    ApplyKey(composed, index, fraction);
}

std::vector<float> GVDefInterpolator::ScanNumbers(const str& text) {
    std::vector<float> numbers;
    const char* chars = text.c_str();
    const char* end = chars + text.Length();
    for (const char* c = chars; c < end;) {
        if (!IsKeyChar(*c)) {
            ++c;
            continue;
        }
        // strtof reads as atof does, and saturates to infinity instead of overflowing a float.
        numbers.push_back(std::strtof(c, nullptr));
        while (c < end && IsKeyChar(*c))
            ++c;
    }
    return numbers;
}

int32_t GVNumberInterpolator::LoadKeys(const str& text) {
    mKeys = ScanNumbers(text);
    return static_cast<int32_t>(mKeys.size());
}

float GVNumberInterpolator::ValueAt(int32_t index, float fraction) const {
    const size_t i = static_cast<size_t>(index);
    if (i >= mKeys.size()) return mKeys.empty() ? 0.0f : mKeys.back();
    if (i + 1 >= mKeys.size()) return mKeys[i];
    return mKeys[i] + (mKeys[i + 1] - mKeys[i]) * fraction;
}

void GVNumberInterpolator::CopyKeysFrom(const GVNumberInterpolator& from) {
    from.CopyBase(*this);
    mKeys = from.mKeys;
}

GVBase* GVScaleInterpolator::CopyTo(GVBase* target) {
    if (GVDefInterpolator::CopyTo(target) == nullptr) return nullptr;
    return CopyKeysTo(*this, target);
}

void GVScaleInterpolator::ApplyKey(GVData& data, int32_t index, float fraction) {
    data.scaling = ValueAt(index, fraction) * data.scaling;
    data.changed = 1;
}

GVBase* GVAlphaInterpolator::CopyTo(GVBase* target) {
    if (GVDefInterpolator::CopyTo(target) == nullptr) return nullptr;
    return CopyKeysTo(*this, target);
}

void GVAlphaInterpolator::ApplyKey(GVData& data, int32_t index, float fraction) {
    data.alpha = ValueAt(index, fraction) * data.alpha;
    data.changed = 1;
}

GVBase* GVRotateInterpolator::CopyTo(GVBase* target) {
    if (GVDefInterpolator::CopyTo(target) == nullptr) return nullptr;
    return CopyKeysTo(*this, target);
}

void GVRotateInterpolator::ApplyKey(GVData& data, int32_t index, float fraction) {
    data.rotate = ValueAt(index, fraction) + data.rotate;
    data.changed = 1;
}

int32_t GVDeltaMoveInterpolator::LoadKeys(const str& text) {
    const std::vector<float> numbers = ScanNumbers(text);
    mKeys.clear();
    for (size_t i = 0; i + 1 < numbers.size(); i += 2)
        mKeys.emplace_back(numbers[i], numbers[i + 1]);
    return static_cast<int32_t>(mKeys.size());
}

GVBase* GVDeltaMoveInterpolator::CopyTo(GVBase* target) {
    if (GVDefInterpolator::CopyTo(target) == nullptr) return nullptr;
    return CopyKeysTo(*this, target);
}

void GVDeltaMoveInterpolator::CopyKeysFrom(const GVDeltaMoveInterpolator& from) {
    from.CopyBase(*this);
    mKeys = from.mKeys;
}

void GVDeltaMoveInterpolator::ApplyKey(GVData& data, int32_t index, float fraction) {
    const size_t i = static_cast<size_t>(index);
    if (i < mKeys.size()) {
        TVec2 value = mKeys[i];
        if (i + 1 < mKeys.size()) {
            value.x += (mKeys[i + 1].x - mKeys[i].x) * fraction;
            value.y += (mKeys[i + 1].y - mKeys[i].y) * fraction;
        }
        data.deltaX = data.deltaX + value.x;
        data.deltaY = data.deltaY + value.y;
    }
    data.changed = 1;
}
