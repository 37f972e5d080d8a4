// Texels straight into the target: for the common sprite (one texture level times a constant
// diffuse colour, blended with source alpha or stored) the combiner is one kernel call or none,
// the alpha test has one answer for the whole primitive or cannot change what blending writes,
// and the blend is one kernel call. The bytes are those of the per-pixel stages, which decide
// the same way pixel by pixel.
#include "raster/pixelpipe.h"

namespace raster {

void TPixelPipe::PlanDirect() {
    mDirect = TDirect();
    const TPrimitivePixels& p = mPrimitive;
    TPixelFormat target = mConfig.targetFormat;
    bool wide = mConfig.target && mConfig.target->BytesPerPixel() == 4;
    if (!mConfig.fastPaths || !mStandardCombiner || !mUsesTexture || mConfig.depthTest ||
        mConfig.specular || p.levelCount != 1 || !p.diffuseConstant ||
        (!wide && target != TPixelFormat::R5G6B5)) {
        return;
    }
    bool plain =
        !mConfig.blend || (mConfig.srcBlend == TBlend::One && mConfig.destBlend == TBlend::Zero);
    bool over = mConfig.blend && mConfig.srcBlend == TBlend::SrcAlpha &&
                mConfig.destBlend == TBlend::InvSrcAlpha;
    if (!plain && !over) return;
    // Texels without alpha bits read as 255, so the fragment's alpha is the diffuse alpha.
    bool opaque = !HasAlpha(p.level[0].format) && p.diffuse >> 24 == 255;
    if (mConfig.alphaTest && !mSkipAlphaTest) {
        if (!opaque) return;
        mDirect.skip = !Compare(mConfig.alphaFunc, 255, mConfig.alphaRef & 0xFF);
    }
    mDirect.on = true;
    mDirect.white = p.diffuse == 0xFFFFFFFFu;
    mDirect.store = plain || opaque;
    mDirect.orMask = opaque ? 0xFF000000u : mTargetOr;
}

void TPixelPipe::WriteDirect(int x, int y, int count, const uint32_t* texels) {
    const TKernels& k = *mConfig.kernels;
    uint32_t modulated[kChunk];
    const uint32_t* color = texels;
    if (!mDirect.white) {
        k.modulateConst(texels, mPrimitive.diffuse, modulated, count);
        color = modulated;
    }
    uint8_t* dst = mConfig.target->At(x, y);
    if (mConfig.target->BytesPerPixel() == 4) {
        if (mDirect.store) {
            k.copyOr(color, dst, count, mDirect.orMask);
        } else {
            (mSkipAlphaTest ? k.blendSrcAlphaTested : k.blendSrcAlpha)(color, dst, count,
                                                                       mDirect.orMask);
        }
    } else if (mDirect.store) {
        k.store565(color, dst, count);
    } else {
        k.blendSrcAlpha565(color, dst, count);
    }
    fragments += static_cast<uint64_t>(count);
}

}  // namespace raster
