// TOutlineWriter: turns one glyph's outline, as FreeType walks it, into the glyph drawer's
// outline operations (move 4, line 5, quadratic curve 6, end 8) in 1/128 units with y pointing
// down. The drawer (src/platform/draw/bvminivecdraw.h) draws a quadratic as three chords at
// t = 1/3, 2/3 and 1, and fills with the non-zero rule; this writer keeps every chord within
// kCurveTolerance of the true curve by halving quadratics, and turns cubics into quadratics within
// kCubicTolerance. Every contour ends with an explicit line back to its start when its last point
// lies elsewhere. Opcodes 1, 2, 3 and 7 are never written.
//
// Coordinates come in as font units and are scaled by the writer's scale (pixels per unit at the
// nominal size); the tolerances are in those pixels.
#pragma once

#include <cstdint>
#include <vector>

namespace fontconv {

struct TPoint {
    double x = 0.0;
    double y = 0.0;
};

class TOutlineWriter {
public:
    static constexpr double kCurveTolerance = 0.1;
    static constexpr double kCubicTolerance = 0.05;

    explicit TOutlineWriter(double scale) : mScale(scale) {}

    // Points in font units, y up.
    void MoveTo(TPoint to);
    void LineTo(TPoint to);
    void ConicTo(TPoint control, TPoint to);
    void CubicTo(TPoint control1, TPoint control2, TPoint to);
    // Closes the last contour and writes opcode 8; answers the bytes.
    const std::vector<uint8_t>& Finish();

    // The largest distance between a quadratic and the three chords the drawer draws for it,
    // in the units of the points.
    static double ChordError(TPoint from, TPoint control, TPoint to);
    // The quadratics (control, end pairs) that follow a cubic within tolerance; from is the
    // cubic's start. Exposed for the tests.
    static std::vector<TPoint> CubicToQuadratics(TPoint from, TPoint c1, TPoint c2, TPoint to,
                                                 double tolerance);

private:
    // Pixels at the nominal size, y down.
    TPoint ToPixels(TPoint fontUnits) const { return {fontUnits.x * mScale, -fontUnits.y * mScale}; }
    void CloseContour();
    void EmitQuadratic(TPoint control, TPoint to, int depth);
    void Op(uint8_t op) { mBytes.push_back(op); }
    // Rounds to 1/128 units; remembers the rounded pen.
    void Coord(TPoint pixels);

    double mScale;
    std::vector<uint8_t> mBytes;
    bool mOpen = false;
    bool mFinished = false;
    // The contour's start and the pen in rounded 1/128 units, and the pen in pixels.
    int32_t mStartX = 0, mStartY = 0;
    int32_t mPenX = 0, mPenY = 0;
    TPoint mPen;
};

}  // namespace fontconv
