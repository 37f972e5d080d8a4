// The configured devices per display device, their descriptions, and the control plane's
// device settings.
#include "port/device/devicelist.h"

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>

#include "port/display/surfaceshape.h"

// Identifiers of our own.
const IID IID_IDirect3D7 = {
    0x8F0E6A10, 0x0101, 0x4D55, {0x9A, 0x1E, 0x55, 0x4D, 0x42, 0x52, 0x41, 0x11}};
const GUID IID_IDirect3DHALDevice = {
    0x8F0E6A10, 0x0102, 0x4D55, {0x9A, 0x1E, 0x55, 0x4D, 0x42, 0x52, 0x41, 0x12}};
const GUID IID_IDirect3DTnLHalDevice = {
    0x8F0E6A10, 0x0103, 0x4D55, {0x9A, 0x1E, 0x55, 0x4D, 0x42, 0x52, 0x41, 0x13}};
const GUID IID_IDirect3DRGBDevice = {
    0x8F0E6A10, 0x0104, 0x4D55, {0x9A, 0x1E, 0x55, 0x4D, 0x42, 0x52, 0x41, 0x14}};

namespace port::device {
namespace {

struct Config {
    std::mutex mutex;
    std::map<int, std::vector<control::DeviceSpec>> devices;  // by display device index
};

Config& Configured() {
    static Config config;
    return config;
}

std::atomic<float> gShift{0.0f};

}  // namespace

std::vector<control::DeviceSpec> DevicesOf(const std::shared_ptr<const display::Adapter>& adapter) {
    std::vector<std::shared_ptr<const display::Adapter>> all = display::Adapters();
    int index = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i] == adapter) index = static_cast<int>(i);
    }
    Config& config = Configured();
    std::lock_guard<std::mutex> lock(config.mutex);
    auto found = config.devices.find(index);
    if (found != config.devices.end()) return found->second;
    return {control::DefaultDevice()};
}

float PixelCentreShift() {
    return gShift.load();
}

void DescribeDevice(const control::DeviceSpec& spec, D3DDEVICEDESC7* desc) {
    std::memset(desc, 0, sizeof *desc);
    desc->dwDevCaps = spec.devCaps;
    for (D3DPRIMCAPS* caps : {&desc->dpcLineCaps, &desc->dpcTriCaps}) {
        caps->dwSize = sizeof *caps;
        caps->dwShadeCaps = spec.shadeCaps;
        caps->dwTextureCaps = spec.textureCaps;
    }
    desc->dwDeviceRenderBitDepth = spec.renderBitDepths;
    desc->dwDeviceZBufferBitDepth = DDBD_16;
    desc->dwMinTextureWidth = 1;
    desc->dwMinTextureHeight = 1;
    desc->dwMaxTextureWidth = spec.maxTextureWidth;
    desc->dwMaxTextureHeight = spec.maxTextureHeight;
    desc->dwMaxTextureAspectRatio = spec.maxTextureAspectRatio;
    desc->wMaxTextureBlendStages = 1;
    desc->wMaxSimultaneousTextures = 1;
    desc->deviceGUID = spec.guid;
}

}  // namespace port::device

namespace port::control {

DDPIXELFORMAT DepthFormat(int bits, int stencilBits) {
    DDPIXELFORMAT format;
    std::memset(&format, 0, sizeof format);
    format.dwSize = sizeof format;
    format.dwFlags = DDPF_ZBUFFER | (stencilBits > 0 ? DDPF_STENCILBUFFER : 0);
    format.dwZBufferBitDepth = static_cast<DWORD>(bits);
    format.dwStencilBitDepth = static_cast<DWORD>(stencilBits);
    int depthBits = bits - stencilBits;
    format.dwZBitMask = depthBits >= 32 ? 0xFFFFFFFFu : (1u << depthBits) - 1;
    if (stencilBits > 0) {
        format.dwStencilBitMask = ((1u << stencilBits) - 1) << depthBits;
    }
    return format;
}

DDPIXELFORMAT TextureFormat(const char* name) {
    using raster::TPixelFormat;
    if (std::strcmp(name, "L8") == 0) {
        DDPIXELFORMAT format;
        std::memset(&format, 0, sizeof format);
        format.dwSize = sizeof format;
        format.dwFlags = DDPF_LUMINANCE;
        format.dwLuminanceBitCount = 8;
        format.dwLuminanceBitMask = 0xFF;
        return format;
    }
    for (TPixelFormat candidate : {TPixelFormat::A8R8G8B8, TPixelFormat::X8R8G8B8,
                                   TPixelFormat::A4R4G4B4, TPixelFormat::R5G6B5}) {
        if (std::strcmp(name, display::FormatName(candidate)) == 0) {
            return display::DescribeFormat(candidate);
        }
    }
    return DDPIXELFORMAT{};
}

DeviceSpec DefaultDevice() {
    DeviceSpec spec;
    for (const char* name : {"A8R8G8B8", "X8R8G8B8", "A4R4G4B4", "R5G6B5"}) {
        spec.textureFormats.push_back(TextureFormat(name));
    }
    spec.depthFormats.push_back(DepthFormat(16));
    return spec;
}

void SetDevices(const std::vector<DeviceSpec>& devices, int adapter) {
    device::Config& config = device::Configured();
    std::lock_guard<std::mutex> lock(config.mutex);
    if (devices.empty()) {
        config.devices.erase(adapter);
    } else {
        config.devices[adapter] = devices;
    }
}

void SetPixelCentreShift(float shift) {
    device::gShift = shift;
}

}  // namespace port::control
