#include "raster/surfaceops.h"

#include <algorithm>
#include <cstring>

namespace raster {

namespace {

// The rectangle clipped to the surface; empty (right <= left or bottom <= top) when nothing is
// left.
TRect ClipTo(const TSurface& surface, const TRect& rect) {
    TRect r;
    r.left = std::max(rect.left, 0);
    r.top = std::max(rect.top, 0);
    r.right = std::min(rect.right, surface.Width());
    r.bottom = std::min(rect.bottom, surface.Height());
    return r;
}

bool IsEmptyRect(const TRect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// Clips a copy of `from` to (x, y) against both surfaces: the source rectangle is cut to the
// source and the destination point moves along, then the destination cuts it again. On success
// `out` is the source rectangle left and (x, y) its destination. Works in 64 bits so that
// extreme rectangles cannot overflow.
bool ClipCopy(const TSurface& source, const TRect& from, const TSurface& dest, int& x, int& y,
              TRect& out) {
    int64_t left = from.left, top = from.top, right = from.right, bottom = from.bottom;
    int64_t dx = x, dy = y;
    if (left < 0) dx -= left, left = 0;
    if (top < 0) dy -= top, top = 0;
    right = std::min<int64_t>(right, source.Width());
    bottom = std::min<int64_t>(bottom, source.Height());
    if (dx < 0) left -= dx, dx = 0;
    if (dy < 0) top -= dy, dy = 0;
    right = std::min<int64_t>(right, left + dest.Width() - dx);
    bottom = std::min<int64_t>(bottom, top + dest.Height() - dy);
    if (right <= left || bottom <= top) return false;
    out = TRect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                static_cast<int>(bottom)};
    x = static_cast<int>(dx);
    y = static_cast<int>(dy);
    return true;
}

constexpr int kRowChunk = 256;

bool IsWordFormat(TPixelFormat format) {
    return format == TPixelFormat::X8R8G8B8 || format == TPixelFormat::A8R8G8B8;
}

// Whether a copy from one format to the other moves the stored bits unchanged.
bool CopiesRaw(TPixelFormat from, TPixelFormat to, TXByte xByte) {
    return from == to || (xByte == TXByte::Keep && IsWordFormat(from) && IsWordFormat(to));
}

void DecodeRow(TPixelFormat format, const uint8_t* src, uint32_t* out, int count) {
    switch (format) {
        case TPixelFormat::A8R8G8B8:
            std::memcpy(out, src, static_cast<size_t>(count) * 4);
            break;
        case TPixelFormat::X8R8G8B8:
            for (int i = 0; i < count; ++i)
                out[i] = Load32(src + 4 * i) | 0xFF000000u;
            break;
        case TPixelFormat::R8G8B8:
            for (int i = 0; i < count; ++i)
                out[i] = Load24(src + 3 * i) | 0xFF000000u;
            break;
        case TPixelFormat::R5G6B5:
            for (int i = 0; i < count; ++i)
                out[i] = Decode565(Load16(src + 2 * i));
            break;
        case TPixelFormat::X1R5G5B5:
            for (int i = 0; i < count; ++i)
                out[i] = Decode1555(Load16(src + 2 * i));
            break;
        case TPixelFormat::A4R4G4B4:
            for (int i = 0; i < count; ++i)
                out[i] = Decode4444(Load16(src + 2 * i));
            break;
        default:
            std::memset(out, 0, static_cast<size_t>(count) * 4);
            break;
    }
}

void EncodeRow(TPixelFormat format, const uint32_t* in, uint8_t* dst, int count) {
    switch (format) {
        case TPixelFormat::A8R8G8B8:
            std::memcpy(dst, in, static_cast<size_t>(count) * 4);
            break;
        case TPixelFormat::X8R8G8B8:
            for (int i = 0; i < count; ++i)
                Store32(dst + 4 * i, in[i] | 0xFF000000u);
            break;
        case TPixelFormat::R8G8B8:
            for (int i = 0; i < count; ++i)
                Store24(dst + 3 * i, in[i]);
            break;
        case TPixelFormat::R5G6B5:
            for (int i = 0; i < count; ++i)
                Store16(dst + 2 * i, Encode565(in[i]));
            break;
        case TPixelFormat::X1R5G5B5:
            for (int i = 0; i < count; ++i)
                Store16(dst + 2 * i, Encode1555(in[i]));
            break;
        case TPixelFormat::A4R4G4B4:
            for (int i = 0; i < count; ++i)
                Store16(dst + 2 * i, Encode4444(in[i]));
            break;
        default:
            break;
    }
}

// Copies count pixels of one row, converting formats through 0xAARRGGBB.
void ConvertRow(TPixelFormat from, const uint8_t* src, TPixelFormat to, uint8_t* dst, int count) {
    uint32_t buffer[kRowChunk];
    int srcBytes = GetFormatInfo(from).bytesPerPixel;
    int dstBytes = GetFormatInfo(to).bytesPerPixel;
    for (int done = 0; done < count; done += kRowChunk) {
        int n = std::min(kRowChunk, count - done);
        DecodeRow(from, src + done * srcBytes, buffer, n);
        EncodeRow(to, buffer, dst + done * dstBytes, n);
    }
}

}  // namespace

TRect SurfaceRect(const TSurface& surface) {
    return TRect{0, 0, surface.Width(), surface.Height()};
}

void FillRaw(TSurface& surface, const TRect& rect, uint32_t rawPixel) {
    if (surface.IsEmpty()) return;
    TRect r = ClipTo(surface, rect);
    if (IsEmptyRect(r)) return;
    int width = r.right - r.left;
    for (int y = r.top; y < r.bottom; ++y) {
        uint8_t* row = surface.At(r.left, y);
        switch (surface.BytesPerPixel()) {
            case 4:
                if (rawPixel == 0) {
                    std::memset(row, 0, static_cast<size_t>(width) * 4);
                } else {
                    for (int i = 0; i < width; ++i)
                        Store32(row + 4 * i, rawPixel);
                }
                break;
            case 3:
                for (int i = 0; i < width; ++i)
                    Store24(row + 3 * i, rawPixel);
                break;
            default:
                for (int i = 0; i < width; ++i)
                    Store16(row + 2 * i, rawPixel);
                break;
        }
    }
}

void FillNoise(TSurface& surface, uint64_t seed) {
    if (surface.IsEmpty()) return;
    // splitmix64: every seed, zero included, gives a stream without long runs of zeros.
    uint64_t state = seed;
    auto next = [&state] {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    };
    for (int y = 0; y < surface.Height(); ++y) {
        uint8_t* row = surface.Row(y);
        int pitch = surface.Pitch();
        int i = 0;
        for (; i + 8 <= pitch; i += 8) {
            uint64_t v = next();
            std::memcpy(row + i, &v, 8);
        }
        if (i < pitch) {
            uint64_t v = next();
            std::memcpy(row + i, &v, static_cast<size_t>(pitch - i));
        }
    }
}

void Fill(TSurface& surface, const TRect& rect, uint32_t color) {
    if (surface.IsEmpty() || !IsColorFormat(surface.Format())) return;
    FillRaw(surface, rect, PackColor(surface.Format(), color));
}

void CopyRect(const TSurface& source, const TRect& from, TSurface& dest, int x, int y,
              TXByte xByte) {
    if (source.IsEmpty() || dest.IsEmpty()) return;
    TRect s;
    if (!ClipCopy(source, from, dest, x, y, s)) return;
    int width = s.right - s.left;
    int height = s.bottom - s.top;

    bool same = &source == &dest;
    if (CopiesRaw(source.Format(), dest.Format(), xByte)) {
        size_t bytes = static_cast<size_t>(width) * source.BytesPerPixel();
        // Within one surface, rows are copied bottom-up when the destination lies lower, and
        // memmove takes care of overlap inside a row.
        bool upward = same && y > s.top;
        for (int i = 0; i < height; ++i) {
            int row = upward ? height - 1 - i : i;
            std::memmove(dest.At(x, y + row), source.At(s.left, s.top + row), bytes);
        }
        return;
    }
    if (!IsColorFormat(source.Format()) || !IsColorFormat(dest.Format())) return;
    for (int row = 0; row < height; ++row) {
        ConvertRow(source.Format(), source.At(s.left, s.top + row), dest.Format(),
                   dest.At(x, y + row), width);
    }
}

bool StretchRect(const TSurface& source, const TRect& from, TSurface& dest, const TRect& to,
                 TXByte xByte, const TRect* clip) {
    if (source.IsEmpty() || dest.IsEmpty() || &source == &dest) return false;
    if (!IsColorFormat(source.Format()) || !IsColorFormat(dest.Format())) return false;
    if (from.left < 0 || from.top < 0 || from.right > source.Width() ||
        from.bottom > source.Height() || IsEmptyRect(from) || IsEmptyRect(to)) {
        return false;
    }
    int64_t sw = from.right - from.left;
    int64_t sh = from.bottom - from.top;
    int64_t dw = static_cast<int64_t>(to.right) - to.left;
    int64_t dh = static_cast<int64_t>(to.bottom) - to.top;
    TRect area = ClipTo(dest, clip != nullptr ? TRect::Intersect(to, *clip) : to);
    if (IsEmptyRect(area)) return true;
    auto sourceColumn = [&](int x) {
        int64_t i = static_cast<int64_t>(x) - to.left;
        return from.left + static_cast<int>(((2 * i + 1) * sw) / (2 * dw));
    };
    bool raw = CopiesRaw(source.Format(), dest.Format(), xByte);
    int bytes = source.BytesPerPixel();
    uint32_t buffer[kRowChunk];
    for (int y = area.top; y < area.bottom; ++y) {
        int64_t j = static_cast<int64_t>(y) - to.top;
        int sy = from.top + static_cast<int>(((2 * j + 1) * sh) / (2 * dh));
        const uint8_t* srcRow = source.Row(sy);
        if (raw) {
            uint8_t* dst = dest.At(area.left, y);
            for (int x = area.left; x < area.right; ++x, dst += bytes)
                std::memcpy(dst, srcRow + static_cast<size_t>(sourceColumn(x)) * bytes, bytes);
            continue;
        }
        for (int x0 = area.left; x0 < area.right; x0 += kRowChunk) {
            int n = std::min(kRowChunk, area.right - x0);
            for (int k = 0; k < n; ++k) {
                buffer[k] = DecodePixel(source.Format(), srcRow + sourceColumn(x0 + k) * bytes);
            }
            EncodeRow(dest.Format(), buffer, dest.At(x0, y), n);
        }
    }
    return true;
}

void RedToAlpha(const TSurface& source, const TRect& from, TSurface& dest, int x, int y) {
    if (source.IsEmpty() || dest.IsEmpty() || !HasAlpha(dest.Format())) return;
    if (!IsColorFormat(source.Format())) return;
    TRect s;
    if (!ClipCopy(source, from, dest, x, y, s)) return;
    int srcBytes = source.BytesPerPixel();
    for (int row = 0; row < s.bottom - s.top; ++row) {
        const uint8_t* src = source.At(s.left, s.top + row);
        uint8_t* dst = dest.At(x, y + row);
        for (int i = 0; i < s.right - s.left; ++i) {
            uint32_t raw = LoadRaw(src + i * srcBytes, srcBytes);
            uint32_t red = ReadBackColor(source.Format(), raw) >> 16 & 0xFF;
            if (dest.Format() == TPixelFormat::A8R8G8B8) {
                Store32(dst + 4 * i, (Load32(dst + 4 * i) & 0x00FFFFFF) | red << 24);
            } else {
                Store16(dst + 2 * i, (Load16(dst + 2 * i) & 0x0FFF) | (red >> 4) << 12);
            }
        }
    }
}

void MakeOpaque(TSurface& surface, const TRect& rect) {
    if (surface.IsEmpty() || !HasAlpha(surface.Format())) return;
    TRect r = ClipTo(surface, rect);
    if (IsEmptyRect(r)) return;
    for (int y = r.top; y < r.bottom; ++y) {
        uint8_t* row = surface.At(r.left, y);
        for (int i = 0; i < r.right - r.left; ++i) {
            if (surface.Format() == TPixelFormat::A8R8G8B8) {
                Store32(row + 4 * i, Load32(row + 4 * i) | 0xFF000000u);
            } else {
                Store16(row + 2 * i, Load16(row + 2 * i) | 0xF000);
            }
        }
    }
}

namespace {

void NearestMipLevel(const TSurface& source, TSurface& dest) {
    int sw = source.Width();
    int sh = source.Height();
    bool raw = source.Format() == dest.Format();
    int bytes = dest.BytesPerPixel();
    uint32_t buffer[kRowChunk];
    for (int y = 0; y < dest.Height(); ++y) {
        const uint8_t* srcRow = source.Row(std::min(2 * y, sh - 1));
        for (int x0 = 0; x0 < dest.Width(); x0 += kRowChunk) {
            int n = std::min(kRowChunk, dest.Width() - x0);
            uint8_t* dst = dest.At(x0, y);
            for (int k = 0; k < n; ++k) {
                const uint8_t* p = srcRow + static_cast<size_t>(std::min(2 * (x0 + k), sw - 1)) *
                                                static_cast<size_t>(source.BytesPerPixel());
                if (raw) {
                    std::memcpy(dst + k * bytes, p, static_cast<size_t>(bytes));
                } else {
                    buffer[k] = DecodePixel(source.Format(), p);
                }
            }
            if (!raw) EncodeRow(dest.Format(), buffer, dst, n);
        }
    }
}

}  // namespace

void BuildMipLevel(const TSurface& source, TSurface& dest, TMipReduce reduce) {
    if (source.IsEmpty() || dest.IsEmpty() || &source == &dest) return;
    if (!IsColorFormat(source.Format()) || !IsColorFormat(dest.Format())) return;
    if (reduce == TMipReduce::Nearest) {
        NearestMipLevel(source, dest);
        return;
    }
    int sw = source.Width();
    int sh = source.Height();
    uint32_t buffer[kRowChunk];
    for (int y = 0; y < dest.Height(); ++y) {
        int y0 = std::min(2 * y, sh - 1);
        int y1 = std::min(2 * y + 1, sh - 1);
        for (int x0 = 0; x0 < dest.Width(); x0 += kRowChunk) {
            int n = std::min(kRowChunk, dest.Width() - x0);
            for (int k = 0; k < n; ++k) {
                int xa = std::min(2 * (x0 + k), sw - 1);
                int xb = std::min(2 * (x0 + k) + 1, sw - 1);
                uint32_t c[4] = {source.GetPixel(xa, y0), source.GetPixel(xb, y0),
                                 source.GetPixel(xa, y1), source.GetPixel(xb, y1)};
                uint32_t out = 0;
                for (int shift = 0; shift < 32; shift += 8) {
                    uint32_t sum = 2;
                    for (uint32_t v : c)
                        sum += v >> shift & 0xFF;
                    out |= (sum >> 2) << shift;
                }
                buffer[k] = out;
            }
            EncodeRow(dest.Format(), buffer, dest.At(x0, y), n);
        }
    }
}

void BuildMipChain(TSurface* levels, int count, TMipReduce reduce) {
    for (int i = 0; i + 1 < count; ++i)
        BuildMipLevel(levels[i], levels[i + 1], reduce);
}

void ReadPixels(const TSurface& surface, const TRect& rect, uint32_t* out, int outPitch) {
    if (surface.IsEmpty() || !IsColorFormat(surface.Format())) return;
    TRect r = ClipTo(surface, rect);
    if (IsEmptyRect(r)) return;
    int bytes = surface.BytesPerPixel();
    for (int y = r.top; y < r.bottom; ++y) {
        const uint8_t* row = surface.At(r.left, y);
        uint32_t* dst = out + (static_cast<int64_t>(y) - rect.top) * outPitch +
                        (static_cast<int64_t>(r.left) - rect.left);
        for (int i = 0; i < r.right - r.left; ++i)
            dst[i] = ReadBackColor(surface.Format(), LoadRaw(row + i * bytes, bytes));
    }
}

void WritePixels(TSurface& surface, const TRect& rect, const uint32_t* in, int inPitch) {
    if (surface.IsEmpty() || !IsColorFormat(surface.Format())) return;
    TRect r = ClipTo(surface, rect);
    if (IsEmptyRect(r)) return;
    for (int y = r.top; y < r.bottom; ++y) {
        const uint32_t* src = in + (static_cast<int64_t>(y) - rect.top) * inPitch +
                              (static_cast<int64_t>(r.left) - rect.left);
        EncodeRow(surface.Format(), src, surface.At(r.left, y), r.right - r.left);
    }
}

}  // namespace raster
