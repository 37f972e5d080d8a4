// The rectangle blit: a sprite drawn one texel per pixel, fully inside its texture, goes row by
// row through the same kernels the span path would pick, without the per-span set-up. It gives
// the bytes of the span path; it only refuses what it does not handle.
#include "raster/pixelpipe.h"

namespace raster {

bool TPixelPipe::BlitRect(int x, int y, int w, int h, const TAttribs& at, const TAttribs& stepX,
                          const TAttribs& stepY) {
    const TPrimitivePixels& p = mPrimitive;
    if (!mConfig.fastPaths || !mStandardCombiner || !mUsesTexture || mConfig.depthTest ||
        mConfig.specular || p.levelCount != 1 || !p.diffuseConstant ||
        mConfig.target->BytesPerPixel() != 4) {
        return false;
    }
    const TLevel& level = p.level[0];
    bool opaqueTexels = level.format == TPixelFormat::X8R8G8B8;
    if (level.format != TPixelFormat::A8R8G8B8 && !opaqueTexels) return false;
    if (stepX.s[0] != 65536 || stepX.t[0] != 0 || stepY.s[0] != 0 || stepY.t[0] != 65536) {
        return false;
    }
    int64_t i, j;
    int fu = 0, fv = 0;
    if (p.filter == TFilter::Linear) {
        BilinearSplit(at.s[0], i, fu);
        BilinearSplit(at.t[0], j, fv);
    } else {
        i = at.s[0] >> 16;
        j = at.t[0] >> 16;
    }
    if (fu != 0 || fv != 0 || i < 0 || j < 0 || i + w > level.width || j + h > level.height) {
        return false;
    }
    bool white = p.diffuse == 0xFFFFFFFFu;
    if (opaqueTexels && !white) return false;

    // The fragments' alpha is 255 for texels without alpha under a white diffuse colour; then
    // the alpha test has one answer and blending with source alpha is a store.
    bool opaque = opaqueTexels;
    if (mConfig.alphaTest && !mSkipAlphaTest) {
        if (!opaque) return false;
        if (!Compare(mConfig.alphaFunc, 255, mConfig.alphaRef & 0xFF)) return true;
    }
    bool plain =
        !mConfig.blend || (mConfig.srcBlend == TBlend::One && mConfig.destBlend == TBlend::Zero);
    bool over = mConfig.blend && mConfig.srcBlend == TBlend::SrcAlpha &&
                mConfig.destBlend == TBlend::InvSrcAlpha;
    if (!plain && !over) return false;
    bool store = plain || opaque;
    uint32_t orMask = opaque ? 0xFF000000u : mTargetOr;

    const TKernels& k = *mConfig.kernels;
    uint32_t buffer[kChunk];
    for (int row = 0; row < h; ++row) {
        const auto* src = reinterpret_cast<const uint32_t*>(
            level.pixels + (j + row) * static_cast<int64_t>(level.pitch) + 4 * i);
        uint8_t* dst = mConfig.target->At(x, y + row);
        if (white) {
            if (store) {
                k.copyOr(src, dst, w, orMask);
            } else {
                k.blendSrcAlpha(src, dst, w, orMask);
            }
            continue;
        }
        for (int done = 0; done < w; done += kChunk) {
            int n = w - done < kChunk ? w - done : kChunk;
            k.modulateConst(src + done, p.diffuse, buffer, n);
            if (store) {
                k.copyOr(buffer, dst + 4 * done, n, orMask);
            } else {
                k.blendSrcAlpha(buffer, dst + 4 * done, n, orMask);
            }
        }
    }
    fragments += static_cast<uint64_t>(w) * static_cast<uint64_t>(h);
    return true;
}

}  // namespace raster
