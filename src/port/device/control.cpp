// The control plane of Direct3D: the device state read back, resident managed textures and the
// reset. The device list and the pixel-centre shift are set in devicelist.cpp.
#include "port/device/control.h"

#include <mutex>

#include "port/device/device.h"
#include "port/device/managed.h"
#include "port/display/surface.h"
#include "raster/surfaceops.h"

namespace port::control {

DeviceState StateOf(IDirect3DDevice7* device) {
    return device::Device::From(device)->State();
}

Image TextureLevel(IDirectDrawSurface7* texture, int level) {
    if (texture == nullptr || level < 0) return {};
    if (level == 0) return SurfaceImage(texture);
    auto* surface = display::Surface::From(texture);
    auto* managed = static_cast<device::ManagedTexture*>(surface->DeviceData());
    if (managed == nullptr || level > static_cast<int>(managed->lower.size())) return {};
    std::shared_ptr<display::PixelStore> store = surface->Store();
    std::lock_guard<display::StoreMutex> lock(store->mutex);
    const raster::TSurface& pixels = managed->lower[static_cast<size_t>(level - 1)];
    Image image;
    image.width = pixels.Width();
    image.height = pixels.Height();
    image.argb.resize(static_cast<size_t>(image.width) * image.height);
    raster::ReadPixels(pixels, raster::SurfaceRect(pixels), image.argb.data(), image.width);
    return image;
}

int TextureLevelCount(IDirectDrawSurface7* texture) {
    if (texture == nullptr) return 0;
    auto* managed =
        static_cast<device::ManagedTexture*>(display::Surface::From(texture)->DeviceData());
    return managed == nullptr ? 1 : 1 + static_cast<int>(managed->lower.size());
}

std::vector<uint32_t> ResidentTextures() {
    return device::ResidentManaged();
}

void ResetDevices() {
    for (int adapter = 0; adapter < 16; ++adapter)
        SetDevices({}, adapter);
    SetPixelCentreShift(0.0f);
}

}  // namespace port::control
