#include "port/display/pixelformats.h"

#include "port/display/surfaceshape.h"

namespace port::display {

raster::TPixelFormat PixelFormatOf(const DDPIXELFORMAT& format) {
    raster::TPixelFormat memory = MemoryFormat(format);
    return raster::IsColorFormat(memory) ? memory : raster::TPixelFormat::Unknown;
}

DDPIXELFORMAT DescribePixelFormat(raster::TPixelFormat format) {
    return DescribeFormat(format);
}

}  // namespace port::display
