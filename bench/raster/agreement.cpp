#include "agreement.h"

#include <cstdlib>
#include <vector>

#include "pixman_frame.h"
#include "raster_frame.h"

namespace bench {

namespace {

Agreement Measure(Part part) {
    RasterFrame ours(raster::TSimd::Best, true);
    PixmanFrame theirs;
    // Every part but the full-screen ones draws over the background.
    std::vector<uint32_t> start(GetScene().background);
    if (part == Part::Background || part == Part::Frame || part == Part::FrameWithoutRotated)
        start.assign(start.size(), 0xFF000000u);
    ours.SetPixels(start);
    theirs.SetPixels(start);
    DrawPart(ours, part);
    DrawPart(theirs, part);
    std::vector<uint32_t> a = ours.Pixels();
    const std::vector<uint32_t>& b = theirs.Pixels();
    Agreement out;
    out.pixels = static_cast<int64_t>(a.size());
    for (size_t i = 0; i < a.size(); ++i) {
        int worst = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            int d = std::abs(static_cast<int>(a[i] >> shift & 0xFF) -
                             static_cast<int>(b[i] >> shift & 0xFF));
            if (d > worst) worst = d;
        }
        if (worst > out.maxDiff) out.maxDiff = worst;
        if (worst > 2) ++out.over2;
    }
    return out;
}

}  // namespace

const Agreement& CompareWithPixman(Part part) {
    static Agreement results[kPartCount];
    static bool done[kPartCount] = {};
    int k = static_cast<int>(part);
    if (!done[k]) {
        results[k] = Measure(part);
        done[k] = true;
    }
    return results[k];
}

AgreementLimit LimitOf(Part part) {
    switch (part) {
        case Part::Scaled:
        case Part::Rotated:
        case Part::Sprites:
        case Part::FrameWithoutRotated:
        case Part::Frame:
            return AgreementLimit{8, 1000};
        default:
            return AgreementLimit{4, 100};
    }
}

}  // namespace bench
