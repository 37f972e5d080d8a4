#include "platform/text/drawstringat.h"

#include "platform/text/textlayout.h"

void DrawStringAt(TTextLayout* layout, const TRect& box, float scale, uint32_t flags, float opacity,
                  const std::shared_ptr<TTexture>& texture) {
    if (layout == nullptr) return;
    if (TTextLayoutObserver* observer = TTextLayout::GetObserver())
        observer->OnDraw(layout, box, scale, flags, opacity, texture.get());
}
