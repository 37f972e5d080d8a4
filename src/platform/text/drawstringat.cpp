#include "platform/text/drawstringat.h"

#include <algorithm>

#include "platform/text/textlayout.h"

void DrawStringAt(TTextLayout* layout, const TRect& box, float scale, uint32_t padding,
                  float opacity, const std::shared_ptr<TTexture>& texture) {
    if (layout == nullptr) return;
    if (TTextLayoutObserver* observer = TTextLayout::GetObserver())
        observer->OnDraw(layout, box, scale, padding, opacity, texture.get());
    const int64_t height = static_cast<int64_t>(box.bottom) - box.top;
    layout->Draw(static_cast<float>(box.left), static_cast<float>(box.top),
                 static_cast<int32_t>(std::clamp<int64_t>(height, INT32_MIN, INT32_MAX)), scale,
                 static_cast<int32_t>(padding), opacity, texture);
}
