// Text with markup, as a string table, a typed name or the cross-sell file would hand it to a
// text layout: the bytes after a small header are the text, laid out in the box, flags, size,
// rotation and scroll the header gives, in the text tests' monospace font (monofont.h) with
// "fonts/default.mvec" standing by for the characters it lacks. Then the hit test over a grid of
// points around the box, the bounds at two scales, the overflow lines, the hover and a draw into a
// recording glyph drawer (every outline it is handed must be whole).
//
// The header (missing bytes read as 0): width and height (16-bit, little-endian, signed), the
// flags (low 4 bits), the font size (signed byte), the scale ((byte - 64) / 32, so also negative),
// the padding (signed byte), then the scroll (low 4 bits, quarter lines) and the rotation (high 4
// bits, 30-degree steps).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "foundation/file/fileindex.h"
#include "monofont.h"
#include "platform/platform.h"
#include "platform/text/drawstringat.h"
#include "platform/text/textlayout.h"
#include "platform/win32platform.h"
#include "port/control.h"
#include "recordingvecdraw.h"

namespace {

constexpr size_t kHeader = 9;

testing_support::TRecordingVecDraw& Drawer() {
    static testing_support::TRecordingVecDraw* drawer = [] {
        port::control::UseFakeClock(true);
        static const std::vector<uint8_t> mono = testing_support::MonoFont();
        static const std::vector<uint8_t> fallback = testing_support::FallbackFont();
        RegisterMemoryFile("fonts/mono.mvec", mono.data(), static_cast<uint32_t>(mono.size()));
        RegisterMemoryFile("fonts/default.mvec", fallback.data(),
                           static_cast<uint32_t>(fallback.size()));
        auto* app = new TPlatform();
        auto owned = std::make_unique<testing_support::TRecordingVecDraw>();
        testing_support::TRecordingVecDraw* recording = owned.get();
        app->GetPlatform()->SetVecDraw(std::move(owned));
        return recording;
    }();
    return *drawer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    testing_support::TRecordingVecDraw& drawer = Drawer();
    uint8_t header[kHeader] = {};
    std::memcpy(header, data, size < kHeader ? size : kHeader);
    const int width = static_cast<int16_t>(header[0] | header[1] << 8);
    const int height = static_cast<int16_t>(header[2] | header[3] << 8);
    const uint32_t flags = header[4] & 15u;
    const int fontSize = static_cast<int8_t>(header[5]);
    const float scale = (static_cast<float>(header[6]) - 64.0f) / 32.0f;
    const int padding = static_cast<int8_t>(header[7]);
    const float scroll = static_cast<float>(header[8] & 15) / 4.0f;
    const float degrees = static_cast<float>(header[8] >> 4) * 30.0f;
    const size_t textSize = size > kHeader ? size - kHeader : 0;
    const str text(reinterpret_cast<const char*>(data) + (size > kHeader ? kHeader : size),
                   static_cast<int>(textSize));

    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    TTextLayout* layout =
        TTextLayout::Create(text, width, height, flags, "fonts/mono.mvec", fontSize, white);
    layout->SetRotation(degrees, width / 2, height / 2);
    layout->SetScroll(scroll);
    for (int y = -8; y <= 64; ++y) {
        for (int x = -8; x <= 64; ++x) {
            const TPoint point{x * (width / 48 + 1), y * (height / 48 + 1)};
            (void)layout->GetLinkAt(point, padding);
        }
    }
    const TPoint hover{width / 3, height / 4};
    layout->SetHoverPoint(&hover, padding);
    TRect bounds;
    layout->GetBounds(bounds, 1.0f);
    layout->GetBounds(bounds, scale);
    (void)layout->GetOverflowLines(scale, padding);

    drawer.Clear();
    DrawStringAt(layout, TRect{3, 5, 3 + width, 5 + height}, scale, static_cast<uint32_t>(padding),
                 0.75f);
    for (const auto& drawn : drawer.mDrawn) {
        // A caret or an underline: a move, four lines and the end, always whole.
        if (drawn.fontSerial == 0 && (drawn.bytes.size() != 26 || drawn.bytes.back() != 8))
            __builtin_trap();
    }
    if (scale >= 0.0f && drawer.mFlushes != 1) __builtin_trap();
    TTextLayout::Delete(layout);
    return 0;
}
