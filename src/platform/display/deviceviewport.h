// The device viewport of the display (TPlatformData, display record): a rectangle put into the
// current target and, in embedded mode, scaled to window pixels, then set on the device.
//
// Main thread only.
#pragma once

#include "port/device/d3d.h"

struct TDisplayRecord;

// Sets the rectangle as the device viewport (z 0 to 1) within the target rectangle: left and top
// at least 0 and at most the target's width - 1 and height - 1, right and bottom at least left
// and top and at most the target's width and height; in embedded mode each value times the
// display scale, rounded, with the width (height) cut to end at the target's width (height)
// times the scale where rounding carried it past. Answers the device's result (E_POINTER
// without a device).
HRESULT ApplyDeviceViewport(TDisplayRecord& record, const RECT& rect);
// Applies the clip rectangle, cut to the viewport rectangle when that is not empty, within the
// target.
HRESULT ApplyClipWithinTarget(TDisplayRecord& record);
