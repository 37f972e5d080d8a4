#include "raster/pixelpipe.h"

#include <algorithm>
#include <bit>

namespace raster {

namespace {

uint32_t ArgValue(uint32_t which, uint32_t texel, uint32_t diffuse, uint32_t specular,
                  uint32_t factor) {
    uint32_t v;
    switch (which & arg::kSourceMask) {
        case arg::kTexture:
            v = texel;
            break;
        case arg::kTFactor:
            v = factor;
            break;
        case arg::kSpecular:
            v = specular;
            break;
        default:  // diffuse, and current, which is the diffuse colour on stage 0
            v = diffuse;
            break;
    }
    if (which & arg::kComplement) v = ~v;
    if (which & arg::kAlphaReplicate) v = (v >> 24) * 0x01010101u;
    return v;
}

uint32_t ApplyOp(TTextureOp op, uint32_t a, uint32_t b) {
    switch (op) {
        case TTextureOp::SelectArg1:
            return a;
        case TTextureOp::SelectArg2:
            return b;
        case TTextureOp::Modulate:
            return Mul255(a, b);
        case TTextureOp::Modulate2x:
            return std::min<uint32_t>(255, Div255(2 * a * b));
        case TTextureOp::Modulate4x:
            return std::min<uint32_t>(255, Div255(4 * a * b));
        case TTextureOp::Add:
            return std::min<uint32_t>(255, a + b);
        default:
            return a;
    }
}

bool OpReadsArg1(TTextureOp op) {
    return op != TTextureOp::Disable && op != TTextureOp::SelectArg2;
}
bool OpReadsArg2(TTextureOp op) {
    return op != TTextureOp::Disable && op != TTextureOp::SelectArg1;
}

// The sources the combiner reads, as a bit set of 1 << source.
uint32_t SourcesRead(const TStageState& st) {
    uint32_t used = 0;
    if (st.colorOp == TTextureOp::Disable) return 1u << arg::kDiffuse;
    if (OpReadsArg1(st.colorOp)) used |= 1u << (st.colorArg1 & arg::kSourceMask);
    if (OpReadsArg2(st.colorOp)) used |= 1u << (st.colorArg2 & arg::kSourceMask);
    if (st.alphaOp == TTextureOp::Disable) used |= 1u << arg::kDiffuse;
    if (OpReadsArg1(st.alphaOp)) used |= 1u << (st.alphaArg1 & arg::kSourceMask);
    if (OpReadsArg2(st.alphaOp)) used |= 1u << (st.alphaArg2 & arg::kSourceMask);
    return used;
}

// True when the combiner's alpha is 255 whatever the pixel, given which sources are known to
// have alpha 255.
bool AlphaKnownOpaque(const TStageState& st, bool texture, bool diffuse, bool specular,
                      bool factor) {
    auto known = [&](uint32_t which) {
        if (which & arg::kComplement) return false;
        switch (which & arg::kSourceMask) {
            case arg::kTexture:
                return texture;
            case arg::kTFactor:
                return factor;
            case arg::kSpecular:
                return specular;
            default:
                return diffuse;
        }
    };
    TTextureOp op = st.colorOp == TTextureOp::Disable ? TTextureOp::Disable : st.alphaOp;
    switch (op) {
        case TTextureOp::Disable:
            return diffuse;
        case TTextureOp::SelectArg1:
            return known(st.alphaArg1);
        case TTextureOp::SelectArg2:
            return known(st.alphaArg2);
        case TTextureOp::Modulate:
            return known(st.alphaArg1) && known(st.alphaArg2);
        case TTextureOp::Add:
            return known(st.alphaArg1) || known(st.alphaArg2);
        default:
            return false;
    }
}

uint32_t BlendFactor(TBlend factor, uint32_t s, uint32_t d, int shift) {
    switch (factor) {
        case TBlend::Zero:
            return 0;
        case TBlend::One:
            return 255;
        case TBlend::SrcColor:
            return s >> shift & 0xFF;
        case TBlend::InvSrcColor:
            return 255 - (s >> shift & 0xFF);
        case TBlend::SrcAlpha:
            return s >> 24;
        case TBlend::InvSrcAlpha:
            return 255 - (s >> 24);
        case TBlend::DestAlpha:
            return d >> 24;
        case TBlend::InvDestAlpha:
            return 255 - (d >> 24);
        case TBlend::DestColor:
            return d >> shift & 0xFF;
        case TBlend::InvDestColor:
            return 255 - (d >> shift & 0xFF);
    }
    return 0;
}

uint32_t BlendGeneric(TBlend srcBlend, TBlend destBlend, uint32_t s, uint32_t d) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t fs = BlendFactor(srcBlend, s, d, shift);
        uint32_t fd = BlendFactor(destBlend, s, d, shift);
        uint32_t t = (s >> shift & 0xFF) * fs + (d >> shift & 0xFF) * fd;
        out |= std::min<uint32_t>(255, Div255(t)) << shift;
    }
    return out;
}

uint32_t AddSpecular(uint32_t color, uint32_t specular) {
    uint32_t out = color & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        out |= std::min<uint32_t>(255, (color >> shift & 0xFF) + (specular >> shift & 0xFF))
               << shift;
    }
    return out;
}

// Interpolated colour channels a, r, g, b starting at attribute index `first`.
void InterpolateColor(const TAttribs& at, const TAttribs& step, int first, int count,
                      uint32_t* out) {
    int64_t a = at.c[first], r = at.c[first + 1], g = at.c[first + 2], b = at.c[first + 3];
    int64_t da = step.c[first], dr = step.c[first + 1], dg = step.c[first + 2],
            db = step.c[first + 3];
    for (int i = 0; i < count; ++i) {
        out[i] = ChannelOf(a) << 24 | ChannelOf(r) << 16 | ChannelOf(g) << 8 | ChannelOf(b);
        a += da, r += dr, g += dg, b += db;
    }
}

}  // namespace

int TMask::Count() const {
    int n = 0;
    for (uint64_t w : bits)
        n += std::popcount(w);
    return n;
}

uint32_t CombinePixel(const TStageState& st, uint32_t texel, uint32_t diffuse, uint32_t specular,
                      uint32_t factor) {
    if (st.colorOp == TTextureOp::Disable) return diffuse;
    uint32_t c1 = ArgValue(st.colorArg1, texel, diffuse, specular, factor);
    uint32_t c2 = ArgValue(st.colorArg2, texel, diffuse, specular, factor);
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        out |= ApplyOp(st.colorOp, c1 >> shift & 0xFF, c2 >> shift & 0xFF) << shift;
    }
    uint32_t alpha;
    if (st.alphaOp == TTextureOp::Disable) {
        alpha = diffuse >> 24;
    } else {
        uint32_t a1 = ArgValue(st.alphaArg1, texel, diffuse, specular, factor) >> 24;
        uint32_t a2 = ArgValue(st.alphaArg2, texel, diffuse, specular, factor) >> 24;
        alpha = ApplyOp(st.alphaOp, a1, a2);
    }
    return out | alpha << 24;
}

void TPixelPipe::Configure(const TPipeConfig& config) {
    mConfig = config;
    mDirect.on = false;
    mCombinedValid = false;
    const TStageState& st = config.stage;
    uint32_t sources = SourcesRead(st);
    mUsesTexture = config.textured && (sources & (1u << arg::kTexture)) != 0;
    mUsesSpecular = config.specular || (sources & (1u << arg::kSpecular)) != 0;
    mStandardCombiner = st.colorOp == TTextureOp::Modulate && st.alphaOp == TTextureOp::Modulate &&
                        st.colorArg1 == arg::kTexture && st.alphaArg1 == arg::kTexture &&
                        (st.colorArg2 == arg::kCurrent || st.colorArg2 == arg::kDiffuse) &&
                        (st.alphaArg2 == arg::kCurrent || st.alphaArg2 == arg::kDiffuse);
    if (mConfig.alphaTest && mConfig.alphaFunc == TCompare::Always) mConfig.alphaTest = false;
    uint32_t ref = config.alphaRef & 0xFF;
    bool dropsOnlyZero = (config.alphaFunc == TCompare::GreaterEqual && ref == 1) ||
                         (config.alphaFunc == TCompare::Greater && ref == 0) ||
                         (config.alphaFunc == TCompare::NotEqual && ref == 0);
    bool blendKeepsZero =
        config.blend && (config.srcBlend == TBlend::SrcAlpha || config.srcBlend == TBlend::Zero) &&
        (config.destBlend == TBlend::InvSrcAlpha || config.destBlend == TBlend::One);
    mSkipAlphaTest = config.fastPaths && mConfig.alphaTest && dropsOnlyZero && blendKeepsZero &&
                     !config.depthWrite;
    mTargetOr = config.targetFormat == TPixelFormat::X8R8G8B8 ? 0xFF000000u : 0;
}

void TPixelPipe::SetPrimitive(const TPrimitivePixels& primitive) {
    mPrimitive = primitive;
    PlanDirect();
}

void TPixelPipe::SetConstantColors(uint32_t diffuse, uint32_t specular) {
    mDirect.on = false;
    mPrimitive.levelCount = 0;
    mPrimitive.mipWeight = 0;
    mPrimitive.diffuseConstant = mPrimitive.specularConstant = true;
    mPrimitive.diffuse = diffuse;
    mPrimitive.specular = specular;
}

void TPixelPipe::Span(int x, int y, int count, const TAttribs& at, const TAttribs& step) {
    // One colour for the whole span: no texel, no colour gradient, no depth.
    if (mConfig.fastPaths && !(mUsesTexture && mPrimitive.levelCount > 0) &&
        mPrimitive.diffuseConstant && !(mUsesSpecular && !mPrimitive.specularConstant) &&
        !mConfig.depthTest) {
        FlatSpan(x, y, count);
        return;
    }
    if (mDirect.skip) return;
    uint32_t texBuf[kChunk];
    if (mDirect.on && !(step.s[0] == 65536 && step.t[0] == 0)) {
        // A turned or scaled sprite: sampled texels straight into the target.
        int64_t s = at.s[0], t = at.t[0];
        for (int done = 0; done < count; done += kChunk) {
            int n = std::min(kChunk, count - done);
            SampleLevel(mPrimitive.level[0], s, step.s[0], t, step.t[0], n, texBuf);
            WriteDirect(x + done, y, n, texBuf);
            s += n * step.s[0];
            t += n * step.t[0];
        }
        return;
    }
    uint32_t mipBuf[kChunk];
    TAttribs cur = at;
    const TStageState& st = mConfig.stage;
    // Rows of a texture without alpha bits may be used as they lie in memory when nothing reads
    // their alpha bytes: the texels become the colours unchanged (diffuse white), nothing is
    // added, and the chunk is written by the 32-bit fast path as opaque.
    bool rawRows =
        mConfig.fastPaths && mStandardCombiner && mPrimitive.levelCount == 1 &&
        mPrimitive.diffuseConstant && mPrimitive.diffuse == 0xFFFFFFFFu && !mConfig.specular &&
        !mConfig.depthTest && mConfig.target->BytesPerPixel() == 4 &&
        (!mConfig.blend ||
         (mConfig.srcBlend == TBlend::SrcAlpha && mConfig.destBlend == TBlend::InvSrcAlpha) ||
         (mConfig.srcBlend == TBlend::One && mConfig.destBlend == TBlend::Zero));
    while (count > 0) {
        int n = std::min(kChunk, count);
        const uint32_t* texel = nullptr;
        if (mUsesTexture && mPrimitive.levelCount > 0) {
            const TLevel& l0 = mPrimitive.level[0];
            if (mPrimitive.levelCount == 1) {
                if (mConfig.fastPaths && step.s[0] == 65536 && step.t[0] == 0) {
                    texel =
                        SampleRunOneToOne(l0, mPrimitive.filter, st.addressU, st.addressV, cur.s[0],
                                          cur.t[0], n, texBuf, mConfig.kernels, rawRows);
                } else {
                    SampleLevel(l0, cur.s[0], step.s[0], cur.t[0], step.t[0], n, texBuf);
                    texel = texBuf;
                }
            } else {
                SampleLevel(l0, cur.s[0], step.s[0], cur.t[0], step.t[0], n, texBuf);
                SampleLevel(mPrimitive.level[1], cur.s[1], step.s[1], cur.t[1], step.t[1], n,
                            mipBuf);
                for (int i = 0; i < n; ++i) {
                    texBuf[i] = MipMix(texBuf[i], mipBuf[i], mPrimitive.mipWeight);
                }
                texel = texBuf;
            }
        }
        if (mDirect.on) {
            WriteDirect(x, y, n, texel);
        } else {
            ShadeSampled(x, y, n, texel, cur, step);
        }
        x += n;
        count -= n;
        if (count > 0) Advance(cur, step, n);
    }
}

void TPixelPipe::ShadeSampled(int x, int y, int count, const uint32_t* texel, const TAttribs& at,
                              const TAttribs& step) {
    uint32_t diffBuf[kChunk];
    uint32_t specBuf[kChunk];
    uint16_t depthBuf[kChunk];
    const uint32_t* diffuse = nullptr;
    if (!mPrimitive.diffuseConstant) {
        InterpolateColor(at, step, kDiffA, count, diffBuf);
        diffuse = diffBuf;
    }
    const uint32_t* specular = nullptr;
    if (mUsesSpecular && !mPrimitive.specularConstant) {
        InterpolateColor(at, step, kSpecA, count, specBuf);
        specular = specBuf;
    }
    const uint16_t* depth = nullptr;
    if (mConfig.depthTest) {
        int64_t z = at.z;
        for (int i = 0; i < count; ++i, z += step.z)
            depthBuf[i] = DepthOf(z);
        depth = depthBuf;
    }
    ShadeChunk(x, y, count, texel, 0xFFFFFFFFu, diffuse, mPrimitive.diffuse, specular,
               mPrimitive.specular, depth);
}

uint32_t TPixelPipe::CombineConstant(uint32_t texel, uint32_t diffuse, uint32_t specular) {
    if (mCombinedValid && mCombinedTexel == texel && mCombinedDiffuse == diffuse &&
        mCombinedSpecular == specular) {
        return mCombined;
    }
    // Texture times diffuse with the texture white (none bound) is the diffuse colour itself:
    // round(255 d / 255) = d.
    if (mConfig.fastPaths && mStandardCombiner && texel == 0xFFFFFFFFu) {
        mCombined = diffuse;
    } else {
        mCombined = CombinePixel(mConfig.stage, texel, diffuse, specular, mConfig.textureFactor);
    }
    mCombinedValid = true;
    mCombinedTexel = texel;
    mCombinedDiffuse = diffuse;
    mCombinedSpecular = specular;
    return mCombined;
}

void TPixelPipe::FlatSpan(int x, int y, int count) {
    uint32_t color = CombineConstant(0xFFFFFFFFu, mPrimitive.diffuse, mPrimitive.specular);
    if (mConfig.specular) color = AddSpecular(color, mPrimitive.specular);
    bool opaque = mConfig.fastPaths && color >> 24 == 255;
    if (mConfig.alphaTest && !mSkipAlphaTest &&
        !Compare(mConfig.alphaFunc, color >> 24, mConfig.alphaRef & 0xFF)) {
        return;
    }
    fragments += static_cast<uint64_t>(count);
    bool blend = mConfig.blend && !(opaque && mConfig.srcBlend == TBlend::SrcAlpha &&
                                    mConfig.destBlend == TBlend::InvSrcAlpha);
    uint32_t orMask = opaque ? 0xFF000000u : mTargetOr;
    for (int done = 0; done < count; done += kChunk) {
        Write(x + done, y, std::min(kChunk, count - done), nullptr, color, nullptr, blend, orMask);
    }
}

bool TPixelPipe::SampleFast(const TLevel& level, int64_t s, int64_t ds, int64_t t, int64_t dt,
                            int count, uint32_t* out) const {
    bool wide = level.bytesPerPixel == 4;
    if (!wide && level.bytesPerPixel != 2) return false;
    const TStageState& st = mConfig.stage;
    auto axis = [](TAddress mode, int size, int64_t& c, bool& wrap) {
        bool pot = (size & (size - 1)) == 0;
        if (mode == TAddress::Wrap && pot) {
            // Whole periods change nothing under wrap; keep the start inside the first one.
            int64_t period = static_cast<int64_t>(size) << 16;
            c -= (c >> (16 + std::countr_zero(static_cast<unsigned>(size)))) * period;
            wrap = true;
            return true;
        }
        wrap = false;
        return mode == TAddress::Clamp;
    };
    TTexels tx;
    if (!axis(st.addressU, level.width, s, tx.wrapU) ||
        !axis(st.addressV, level.height, t, tx.wrapV)) {
        return false;
    }
    constexpr int64_t kRange = int64_t{1} << 30;
    constexpr int64_t kStep = int64_t{1} << 26;
    int64_t lastS = s + ds * (count - 1), lastT = t + dt * (count - 1);
    if (ds < -kStep || ds > kStep || dt < -kStep || dt > kStep || s < -kRange || s > kRange ||
        t < -kRange || t > kRange || lastS < -kRange || lastS > kRange || lastT < -kRange ||
        lastT > kRange) {
        return false;
    }
    tx.pixels = level.pixels;
    tx.pitch = level.pitch;
    tx.width = level.width;
    tx.height = level.height;
    tx.format = level.format;
    tx.orMask = level.format == TPixelFormat::X8R8G8B8 ? 0xFF000000u : 0;
    (wide ? mConfig.kernels->sample32 : mConfig.kernels->sample16)(
        tx, mPrimitive.filter == TFilter::Linear, static_cast<int32_t>(s), static_cast<int32_t>(ds),
        static_cast<int32_t>(t), static_cast<int32_t>(dt), count, out);
    return true;
}

void TPixelPipe::SampleLevel(const TLevel& level, int64_t s, int64_t ds, int64_t t, int64_t dt,
                             int count, uint32_t* out) const {
    if (mConfig.fastPaths && SampleFast(level, s, ds, t, dt, count, out)) return;
    const TStageState& st = mConfig.stage;
    SampleRun(level, mPrimitive.filter, st.addressU, st.addressV, s, ds, t, dt, count, out);
}

void TPixelPipe::SpanValues(int x, int y, int count, const TPixelValues& values) {
    ShadeChunk(x, y, count, mUsesTexture && mPrimitive.levelCount > 0 ? values.texel : nullptr,
               0xFFFFFFFFu, values.diffuse, 0, values.specular, 0,
               mConfig.depthTest ? values.depth : nullptr);
}

void TPixelPipe::ShadeChunk(int x, int y, int count, const uint32_t* texel, uint32_t texelConst,
                            const uint32_t* diffuse, uint32_t diffuseConst,
                            const uint32_t* specular, uint32_t specularConst,
                            const uint16_t* depth) {
    const TStageState& st = mConfig.stage;
    uint32_t colorBuf[kChunk];
    const uint32_t* color = nullptr;
    uint32_t colorConst = 0;
    bool specularArray = mUsesSpecular && specular != nullptr;

    // The combiner.
    if (texel == nullptr && diffuse == nullptr && !specularArray) {
        colorConst = CombineConstant(texelConst, diffuseConst, specularConst);
    } else if (mConfig.fastPaths && mStandardCombiner && texel != nullptr && diffuse == nullptr &&
               !specularArray) {
        if (diffuseConst == 0xFFFFFFFFu) {
            color = texel;
        } else {
            mConfig.kernels->modulateConst(texel, diffuseConst, colorBuf, count);
            color = colorBuf;
        }
    } else {
        for (int i = 0; i < count; ++i) {
            colorBuf[i] =
                CombinePixel(st, texel ? texel[i] : texelConst, diffuse ? diffuse[i] : diffuseConst,
                             specularArray ? specular[i] : specularConst, mConfig.textureFactor);
        }
        color = colorBuf;
    }

    // Specular sum.
    if (mConfig.specular) {
        if (color == nullptr && !specularArray) {
            colorConst = AddSpecular(colorConst, specularConst);
        } else {
            for (int i = 0; i < count; ++i) {
                uint32_t c = color ? color[i] : colorConst;
                colorBuf[i] = AddSpecular(c, specularArray ? specular[i] : specularConst);
            }
            color = colorBuf;
        }
    }

    // Whether every fragment's alpha is 255 whatever the pixel: then the alpha test has one
    // answer for the chunk, and blending with source alpha is a plain store.
    bool opaque = false;
    if (mConfig.fastPaths) {
        if (color == nullptr) {
            opaque = colorConst >> 24 == 255;
        } else {
            bool texOpaque = !mUsesTexture || mPrimitive.levelCount == 0 ||
                             !HasAlpha(mPrimitive.level[0].format);
            if (mPrimitive.levelCount == 2) {
                texOpaque = texOpaque && !HasAlpha(mPrimitive.level[1].format);
            }
            opaque = AlphaKnownOpaque(
                st, texOpaque, diffuse == nullptr && diffuseConst >> 24 == 255,
                !specularArray && specularConst >> 24 == 255, mConfig.textureFactor >> 24 == 255);
        }
    }

    // Alpha test on the 8-bit fragment alpha.
    // The mask is only filled in once a pixel drops out.
    TMask mask;
    bool full = true;
    auto drop = [&](int i) {
        if (full) {
            mask.SetFirst(count);
            full = false;
        }
        mask.Clear(i);
    };
    if (mConfig.alphaTest && !mSkipAlphaTest) {
        uint32_t ref = mConfig.alphaRef & 0xFF;
        if (color == nullptr || opaque) {
            if (!Compare(mConfig.alphaFunc, opaque ? 255 : colorConst >> 24, ref)) return;
        } else {
            for (int i = 0; i < count; ++i) {
                if (!Compare(mConfig.alphaFunc, color[i] >> 24, ref)) drop(i);
            }
        }
    }

    // Depth test and write.
    if (depth != nullptr) {
        uint8_t* zrow = mConfig.depth->At(x, y);
        for (int i = 0; i < count; ++i) {
            if (!full && !mask.Test(i)) continue;
            uint32_t stored = Load16(zrow + 2 * i);
            if (!Compare(mConfig.depthFunc, depth[i], stored)) {
                drop(i);
            } else if (mConfig.depthWrite) {
                Store16(zrow + 2 * i, depth[i]);
            }
        }
    }
    int alive = full ? count : mask.Count();
    if (alive == 0) return;
    fragments += static_cast<uint64_t>(alive);

    bool blend = mConfig.blend && !(opaque && mConfig.srcBlend == TBlend::SrcAlpha &&
                                    mConfig.destBlend == TBlend::InvSrcAlpha);
    // An opaque fragment's alpha is 255 even when its colour came straight from a texture row
    // without alpha bits.
    uint32_t orMask = opaque ? 0xFF000000u : mTargetOr;
    Write(x, y, count, color, colorConst, alive == count ? nullptr : &mask, blend, orMask);
}

void TPixelPipe::Write(int x, int y, int count, const uint32_t* color, uint32_t colorConst,
                       const TMask* mask, bool blend, uint32_t orMask) {
    TSurface& target = *mConfig.target;
    uint8_t* dst = target.At(x, y);
    TPixelFormat format = mConfig.targetFormat;
    // With the alpha test skipped, the pixels it would drop (source alpha 0) must still be left
    // untouched: blending keeps their colour, but not the unused bits a target without alpha
    // would have set.
    if (mSkipAlphaTest && color == nullptr && colorConst >> 24 == 0) return;
    if (mConfig.fastPaths && target.BytesPerPixel() == 4 && mask == nullptr) {
        const TKernels& k = *mConfig.kernels;
        bool plain =
            !blend || (mConfig.srcBlend == TBlend::One && mConfig.destBlend == TBlend::Zero);
        if (plain) {
            if (color) {
                k.copyOr(color, dst, count, orMask);
            } else {
                k.fill32(colorConst | orMask, dst, count);
            }
            return;
        }
        if (mConfig.srcBlend == TBlend::SrcAlpha && mConfig.destBlend == TBlend::InvSrcAlpha) {
            if (color) {
                (mSkipAlphaTest ? k.blendSrcAlphaTested : k.blendSrcAlpha)(color, dst, count,
                                                                           orMask);
            } else {
                k.blendSrcAlphaConst(colorConst, dst, count, orMask);
            }
            return;
        }
    }
    if (mConfig.fastPaths && format == TPixelFormat::R5G6B5 && mask == nullptr) {
        const TKernels& k = *mConfig.kernels;
        bool plain =
            !blend || (mConfig.srcBlend == TBlend::One && mConfig.destBlend == TBlend::Zero);
        bool over = blend && mConfig.srcBlend == TBlend::SrcAlpha &&
                    mConfig.destBlend == TBlend::InvSrcAlpha;
        if (plain || over) {
            uint32_t constBuf[kChunk];
            if (color == nullptr) {
                std::fill(constBuf, constBuf + count, colorConst);
                color = constBuf;
            }
            if (plain) {
                k.store565(color, dst, count);
            } else {
                k.blendSrcAlpha565(color, dst, count);
            }
            return;
        }
    }
    int bytes = target.BytesPerPixel();
    for (int i = 0; i < count; ++i) {
        if (mask != nullptr && !mask->Test(i)) continue;
        uint8_t* p = dst + i * bytes;
        uint32_t s = color ? color[i] : colorConst;
        if (mSkipAlphaTest && s >> 24 == 0) continue;
        uint32_t out = s;
        if (blend) {
            out = BlendGeneric(mConfig.srcBlend, mConfig.destBlend, s, DecodePixel(format, p));
        }
        EncodePixel(format, out, p);
    }
}

}  // namespace raster
