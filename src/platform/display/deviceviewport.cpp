#include "platform/display/deviceviewport.h"

#include <algorithm>
#include <cmath>

#include "platform/display/displayrecord.h"
#include "platform/platform.h"
#include "platform/win32platform.h"

HRESULT ApplyDeviceViewport(TDisplayRecord& record, const RECT& rect) {
    if (record.mDevice == nullptr) return E_POINTER;
    LONG targetWidth = record.mTargetRect.right - record.mTargetRect.left;
    LONG targetHeight = record.mTargetRect.bottom - record.mTargetRect.top;
    // In this order: left and top at least 0, right and bottom at least left and top, left and
    // top at most the target's last column and row, right and bottom at most its size.
    LONG left = std::max<LONG>(rect.left, 0);
    LONG top = std::max<LONG>(rect.top, 0);
    LONG right = std::max(rect.right, left);
    LONG bottom = std::max(rect.bottom, top);
    left = std::min(left, std::max<LONG>(targetWidth - 1, 0));
    top = std::min(top, std::max<LONG>(targetHeight - 1, 0));
    right = std::max(std::min(right, targetWidth), left);
    bottom = std::max(std::min(bottom, targetHeight), top);
    float x = static_cast<float>(left);
    float y = static_cast<float>(top);
    float width = static_cast<float>(right - left);
    float height = static_cast<float>(bottom - top);
    TPlatform* application = TPlatform::GetInstance();
    if (application != nullptr && application->GetPlatform()->IsEmbedded()) {
        float scale = application->GetPlatform()->GetScaleX();
        x = std::round(x * scale);
        y = std::round(y * scale);
        width = std::round(width * scale);
        height = std::round(height * scale);
        // Rounding may carry the far edge past the scaled display: cut it there.
        if (scale != 0.0f) {
            if ((x + width) / scale > static_cast<float>(targetWidth))
                width = std::round(static_cast<float>(targetWidth) * scale) - x;
            if ((y + height) / scale > static_cast<float>(targetHeight))
                height = std::round(static_cast<float>(targetHeight) * scale) - y;
        }
        width = std::max(width, 0.0f);
        height = std::max(height, 0.0f);
    }
    D3DVIEWPORT7 viewport{};
    viewport.dwX = static_cast<DWORD>(x);
    viewport.dwY = static_cast<DWORD>(y);
    viewport.dwWidth = static_cast<DWORD>(width);
    viewport.dwHeight = static_cast<DWORD>(height);
    viewport.dvMinZ = 0.0f;
    viewport.dvMaxZ = 1.0f;
    return record.mDevice->SetViewport(&viewport);
}

HRESULT ApplyClipWithinTarget(TDisplayRecord& record) {
    RECT area = record.mClipRect;
    const RECT& view = record.mViewportRect;
    if (view.right > view.left && view.bottom > view.top) {
        area.left = std::max(area.left, view.left);
        area.top = std::max(area.top, view.top);
        area.right = std::min(area.right, view.right);
        area.bottom = std::min(area.bottom, view.bottom);
    }
    return ApplyDeviceViewport(record, area);
}
