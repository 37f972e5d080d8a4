// The known scene the smoke program's display checks draw through the Direct3D device: a
// background fill, a Gouraud triangle (red, green and blue corners) and a textured quad whose
// texture is opaque yellow above and half-transparent blue below, blended over the background.
// Its parts lie at fractions of the target's size, so that one list of probes checks it at any
// size and scale.
//
// The main thread draws it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "port/device/d3d.h"

namespace smoke {

// A place in the scene (fractions of its width and height) and what shows there.
struct Probe {
    double x;
    double y;
    enum Kind { Exact, Dominant } kind;  // Exact: rgb within a few steps; Dominant: that channel
    uint32_t rgb;                        // Exact: the colour; Dominant: 0xFF0000, 0xFF00 or 0xFF
    const char* what;
};

constexpr uint32_t kBackground = 0x203040;
const std::vector<Probe>& SceneProbes();
// Whether a pixel (0xAARRGGBB, or 0xRRGGBB) is what the probe expects.
bool Matches(const Probe& probe, uint32_t pixel);

class SmokeScene {
public:
    SmokeScene() = default;
    SmokeScene(const SmokeScene&) = delete;
    SmokeScene& operator=(const SmokeScene&) = delete;
    ~SmokeScene() { Close(); }

    // A device on target (a 3-D surface of width x height) and the scene's texture; false, with
    // why, when either cannot be made.
    bool Open(IDirectDraw7* draw, IDirectDrawSurface7* target, int width, int height);
    // Draws the whole scene into the target; false when a call fails.
    bool Draw();
    void Close();
    const std::string& WhyNot() const { return mWhyNot; }

private:
    IDirect3D7* mD3D = nullptr;
    IDirect3DDevice7* mDevice = nullptr;
    IDirectDrawSurface7* mTexture = nullptr;
    int mWidth = 0;
    int mHeight = 0;
    std::string mWhyNot;
};

}  // namespace smoke
