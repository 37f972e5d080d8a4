// The hardware cursor of the DirectX context: in embedded mode a cursor image asked for as
// hardware becomes a Windows cursor, a 32 x 32 colour cursor built from the texture's pixels
// (transparent black beyond the texture), shown with SetCursor and, in a window, as the main
// window's class cursor while the cursor is visible. Under the mouse mutex, on the main thread.
#include <algorithm>
#include <cstring>

#include "platform/display/dxcontext.h"
#include "platform/display/osversion.h"
#include "platform/texture/texture.h"
#include "port/display/bitmap.h"
#include "port/window/cursor.h"
#include "port/window/window.h"

namespace {

constexpr int kCursorSide = 32;

}  // namespace

bool TDXContext::BuildWindowsCursor(TTexture* texture, POINT hotSpot) {
    if (!IsWindowsXPOrLater()) return false;
    HCURSOR cursor = nullptr;
    if (texture != nullptr) {
        BITMAPV5HEADER header{};
        header.bV5Size = sizeof header;
        header.bV5Width = kCursorSide;
        header.bV5Height = -kCursorSide;  // top-down
        header.bV5Planes = 1;
        header.bV5BitCount = 32;
        header.bV5Compression = BI_BITFIELDS;
        header.bV5RedMask = 0x00FF0000;
        header.bV5GreenMask = 0x0000FF00;
        header.bV5BlueMask = 0x000000FF;
        header.bV5AlphaMask = 0xFF000000;
        void* bits = nullptr;
        HBITMAP colour = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&header),
                                          DIB_RGB_COLORS, &bits, nullptr, 0);
        HBITMAP mask = CreateBitmap(kCursorSide, kCursorSide, 1, 1, nullptr);
        if (colour != nullptr && mask != nullptr && bits != nullptr) {
            // Only the texture's own pixels are read; the section starts zeroed (transparent).
            uint32_t* pixels = nullptr;
            int pitch = 0;
            if (texture->Lock(&pixels, &pitch)) {
                const int width = std::min(texture->GetWidth(), kCursorSide);
                const int height = std::min(texture->GetHeight(), kCursorSide);
                for (int y = 0; y < height; ++y)
                    std::memcpy(static_cast<uint32_t*>(bits) + y * kCursorSide,
                                pixels + static_cast<long>(y) * pitch,
                                static_cast<size_t>(width) * sizeof(uint32_t));
                texture->Unlock();
            }
            ICONINFO info{};
            info.fIcon = FALSE;
            info.xHotspot = static_cast<DWORD>(std::max<LONG>(hotSpot.x, 0));
            info.yHotspot = static_cast<DWORD>(std::max<LONG>(hotSpot.y, 0));
            info.hbmMask = mask;
            info.hbmColor = colour;
            cursor = CreateIconIndirect(&info);
        }
        if (colour != nullptr) DeleteObject(colour);
        if (mask != nullptr) DeleteObject(mask);
    }
    if (mWindowsCursor != nullptr) DestroyIcon(mWindowsCursor);
    mWindowsCursor = cursor;
    mWindowsHotSpot = hotSpot;
    SetCursor(mWindowsCursor);
    ApplyClassCursor();
    return true;
}

void TDXContext::ApplyClassCursor() {
    if (!mDisplay.IsWindowed() || mDisplay.GetWindow() == nullptr) return;
    HCURSOR shown = mCursorVisible ? mWindowsCursor : nullptr;
    SetClassLongA(mDisplay.GetWindow(), GCL_HCURSOR,
                  static_cast<LONG>(reinterpret_cast<intptr_t>(shown)));
}
