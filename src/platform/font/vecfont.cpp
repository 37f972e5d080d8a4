#include "platform/font/vecfont.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

constexpr size_t kHeaderSize = 12;
constexpr size_t kRecordSize = 18;
constexpr uint32_t kMissingOutline = UINT32_MAX;
constexpr float kFontUnit = 0.0078125f;  // 1/128

// Record fields (byte offsets within a record).
constexpr int kFieldMinX = 4;
constexpr int kFieldMaxX = 6;
constexpr int kFieldTop = 8;
constexpr int kFieldBottom = 10;
constexpr int kFieldAdvance = 12;

uint32_t gNextSerial = 1;

struct Listener {
    TVecFont::TDestroyListener function;
    void* context;
};

std::vector<Listener>& Listeners() {
    static std::vector<Listener> listeners;
    return listeners;
}

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

TVecFont::TVecFont(std::vector<uint8_t> data) : mData(std::move(data)) {
    mSerial = gNextSerial++;
    if (gNextSerial == 0) gNextSerial = 1;
    Load();
}

TVecFont::~TVecFont() {
    // A copy: a listener may remove itself.
    std::vector<Listener> listeners = Listeners();
    for (const Listener& listener : listeners)
        listener.function(listener.context, mSerial);
}

void TVecFont::AddDestroyListener(TDestroyListener listener, void* context) {
    Listeners().push_back({listener, context});
}

void TVecFont::RemoveDestroyListener(TDestroyListener listener, void* context) {
    std::vector<Listener>& listeners = Listeners();
    listeners.erase(std::remove_if(listeners.begin(), listeners.end(),
                                   [&](const Listener& l) {
                                       return l.function == listener && l.context == context;
                                   }),
                    listeners.end());
}

void TVecFont::Load() {
    if (mData.size() < kHeaderSize || std::memcmp(mData.data(), "MVC4", 4) != 0) return;
    const size_t count = static_cast<size_t>(mData[4]) | static_cast<size_t>(mData[5]) << 8;
    if (kHeaderSize + kRecordSize * count > mData.size()) return;

    std::vector<uint32_t> codes(count);
    std::vector<uint32_t> offsets(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* record = mData.data() + kHeaderSize + kRecordSize * i;
        codes[i] = ReadU32(record);
        // Binary search needs them strictly ascending; a table out of order is damaged.
        if (i > 0 && codes[i] <= codes[i - 1]) return;
        uint32_t offset = ReadU32(record + 14);
        offsets[i] = offset < mData.size() ? offset : kMissingOutline;
    }
    mCodes = std::move(codes);
    mOutlineOffsets = std::move(offsets);

    const int n = static_cast<int>(count);
    // The record counts even when its outline is missing: its metrics are still there.
    int w = -1;
    auto wRecord = std::lower_bound(mCodes.begin(), mCodes.end(), static_cast<uint32_t>('W'));
    if (wRecord != mCodes.end() && *wRecord == 'W') w = static_cast<int>(wRecord - mCodes.begin());
    if (w >= 0) {
        mAscent = -RecordField(w, kFieldTop) * kFontUnit;
    } else {
        // No 'W': the tallest glyph stands in for it.
        for (int i = 0; i < n; ++i) {
            mAscent = std::max(mAscent, -RecordField(i, kFieldTop) * kFontUnit);
        }
    }
    for (int i = 0; i < n && mCodes[i] < 128; ++i) {
        if (mCodes[i] == '_') continue;
        mDescent = std::max(mDescent, RecordField(i, kFieldBottom) * kFontUnit);
    }

    mFitScales.assign(count, 1.0f);
    const float above = mAscent + GetLineMetric(true);
    const float below = mDescent + GetLineMetric(false);
    // A line of no height above or below fits nothing: every glyph keeps its size.
    if (!(above > 0.0f) || !(below > 0.0f)) return;
    for (int i = 0; i < n; ++i) {
        float a = -RecordField(i, kFieldTop) * kFontUnit / above;
        float b = RecordField(i, kFieldBottom) * kFontUnit / below;
        if (a > 1.0f || b > 1.0f) mFitScales[i] = 1.0f / std::max(a, b);
    }
}

bool TVecFont::IsValidIndex(int index) const {
    return index >= 0 && index < GetGlyphCount();
}

int16_t TVecFont::RecordField(int index, int field) const {
    const uint8_t* p =
        mData.data() + kHeaderSize + kRecordSize * static_cast<size_t>(index) + field;
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8));
}

int TVecFont::FindGlyph(uint32_t code) const {
    auto it = std::lower_bound(mCodes.begin(), mCodes.end(), code);
    if (it == mCodes.end() || *it != code) return -1;
    int index = static_cast<int>(it - mCodes.begin());
    return mOutlineOffsets[index] == kMissingOutline ? -1 : index;
}

TGlyphOutline TVecFont::GetGlyphShape(int index) const {
    if (!IsValidIndex(index) || mOutlineOffsets[index] == kMissingOutline) return {};
    uint32_t offset = mOutlineOffsets[index];
    return {mData.data() + offset, mData.size() - offset, mSerial, offset};
}

float TVecFont::GetGlyphAdvance(int index) const {
    return IsValidIndex(index) ? RecordField(index, kFieldAdvance) * kFontUnit : 0.0f;
}

float TVecFont::GetGlyphMinX(int index) const {
    return IsValidIndex(index) ? RecordField(index, kFieldMinX) * kFontUnit : 0.0f;
}

float TVecFont::GetGlyphMaxX(int index) const {
    return IsValidIndex(index) ? RecordField(index, kFieldMaxX) * kFontUnit : 0.0f;
}

float TVecFont::GetGlyphFitScale(int index) const {
    return IsValidIndex(index) ? mFitScales[index] : 1.0f;
}

float TVecFont::GetLineFraction() {
    return 1.0f - kMarginAbove - kMarginBelow;
}

float TVecFont::GetLineMetric(bool above) const {
    float line = (mAscent + mDescent) / (1.0f - (kMarginAbove + kMarginBelow));
    return line * (above ? kMarginAbove : kMarginBelow);
}
