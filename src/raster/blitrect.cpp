// The rectangle blit: a sprite drawn one texel per pixel, fully inside its texture, goes row by
// row from the texture rows straight into the target (WriteDirect), without sampling. It gives
// the bytes of the span path; it only refuses what it does not handle.
#include "raster/pixelpipe.h"

namespace raster {

bool TPixelPipe::BlitRect(int x, int y, int w, int h, const TAttribs& at, const TAttribs& stepX,
                          const TAttribs& stepY) {
    const TPrimitivePixels& p = mPrimitive;
    if (!mDirect.on) return false;
    // The rows are used as they lie in memory: the unused byte of X8R8G8B8 texels holds anything,
    // which only a white diffuse colour (an opaque store that sets it) leaves unseen.
    const TLevel& level = p.level[0];
    if (level.format != TPixelFormat::A8R8G8B8 &&
        !(level.format == TPixelFormat::X8R8G8B8 && mDirect.white)) {
        return false;
    }
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
    if (mDirect.skip) return true;
    if (mDirect.white && mConfig.target->BytesPerPixel() == 4) {
        // The common case, with the kernel chosen once for all rows.
        const TKernels& k = *mConfig.kernels;
        auto write =
            mDirect.store ? k.copyOr : (mSkipAlphaTest ? k.blendSrcAlphaTested : k.blendSrcAlpha);
        for (int row = 0; row < h; ++row) {
            // The target rows of sprites drawn here and there over the frame lie in the outer
            // caches; asking for the lines two rows ahead overlaps their fetch with this row.
            if (row + 2 < h) PrefetchRow(mConfig.target->At(x, y + row + 2), 4 * w);
            write(reinterpret_cast<const uint32_t*>(
                      level.pixels + (j + row) * static_cast<int64_t>(level.pitch) + 4 * i),
                  mConfig.target->At(x, y + row), w, mDirect.orMask);
        }
        fragments += static_cast<uint64_t>(w) * static_cast<uint64_t>(h);
        return true;
    }
    for (int row = 0; row < h; ++row) {
        if (row + 2 < h)
            PrefetchRow(mConfig.target->At(x, y + row + 2), w * mConfig.target->BytesPerPixel());
        const auto* src = reinterpret_cast<const uint32_t*>(
            level.pixels + (j + row) * static_cast<int64_t>(level.pitch) + 4 * i);
        for (int done = 0; done < w; done += kChunk) {
            WriteDirect(x + done, y + row, w - done < kChunk ? w - done : kChunk, src + done);
        }
    }
    return true;
}

}  // namespace raster
