// Internal: the Direct3D devices the control plane configured for each display device, and the
// pixel-centre shift new devices take. Any thread may call these.
#pragma once

#include <memory>
#include <vector>

#include "port/device/control.h"
#include "port/display/adapter.h"

namespace port::device {

// The devices of a display device (its list as configured, else the default one).
std::vector<control::DeviceSpec> DevicesOf(const std::shared_ptr<const display::Adapter>& adapter);
float PixelCentreShift();

// The description EnumDevices and GetCaps give, zero-filled first.
void DescribeDevice(const control::DeviceSpec& spec, D3DDEVICEDESC7* desc);

}  // namespace port::device
