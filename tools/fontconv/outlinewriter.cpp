#include "outlinewriter.h"

#include <cmath>

namespace fontconv {

namespace {

// Halving never needs more than this for the curves of a real font; it also ends degenerate
// input (a NaN point) without recursing without end.
constexpr int kMaxDepth = 16;

TPoint Mid(TPoint a, TPoint b) {
    return {(a.x + b.x) * 0.5, (a.y + b.y) * 0.5};
}

double Length(double x, double y) {
    return std::sqrt(x * x + y * y);
}

void SplitCubic(TPoint p0, TPoint c1, TPoint c2, TPoint p3, double tolerance, int depth,
                std::vector<TPoint>* out) {
    // The quadratic whose control is the mean of the cubic's two tangents' meeting points
    // differs from the cubic by at most sqrt(3) / 36 of its third difference.
    double dx = p3.x - 3.0 * c2.x + 3.0 * c1.x - p0.x;
    double dy = p3.y - 3.0 * c2.y + 3.0 * c1.y - p0.y;
    double error = std::sqrt(3.0) / 36.0 * Length(dx, dy);
    if (error <= tolerance || depth >= kMaxDepth || !std::isfinite(error)) {
        TPoint control = {(3.0 * (c1.x + c2.x) - p0.x - p3.x) / 4.0,
                          (3.0 * (c1.y + c2.y) - p0.y - p3.y) / 4.0};
        out->push_back(control);
        out->push_back(p3);
        return;
    }
    TPoint a = Mid(p0, c1), b = Mid(c1, c2), c = Mid(c2, p3);
    TPoint ab = Mid(a, b), bc = Mid(b, c);
    TPoint m = Mid(ab, bc);
    SplitCubic(p0, a, ab, m, tolerance, depth + 1, out);
    SplitCubic(m, bc, c, p3, tolerance, depth + 1, out);
}

}  // namespace

double TOutlineWriter::ChordError(TPoint from, TPoint control, TPoint to) {
    // A quadratic's second derivative is 2 (from - 2 control + to); a chord over a third of the
    // parameter strays from it by at most that times (1/3)^2 / 8.
    return Length(from.x - 2.0 * control.x + to.x, from.y - 2.0 * control.y + to.y) / 36.0;
}

std::vector<TPoint> TOutlineWriter::CubicToQuadratics(TPoint from, TPoint c1, TPoint c2, TPoint to,
                                                      double tolerance) {
    std::vector<TPoint> out;
    SplitCubic(from, c1, c2, to, tolerance, 0, &out);
    return out;
}

void TOutlineWriter::Coord(TPoint pixels) {
    long x = std::lround(pixels.x * 128.0);
    long y = std::lround(pixels.y * 128.0);
    for (long v : {x, y}) {
        uint16_t u = static_cast<uint16_t>(static_cast<int16_t>(v));
        mBytes.push_back(static_cast<uint8_t>(u));
        mBytes.push_back(static_cast<uint8_t>(u >> 8));
    }
    mPenX = static_cast<int32_t>(x);
    mPenY = static_cast<int32_t>(y);
}

void TOutlineWriter::CloseContour() {
    if (!mOpen) return;
    if (mPenX != mStartX || mPenY != mStartY) {
        Op(5);
        Coord({mStartX / 128.0, mStartY / 128.0});
    }
    mOpen = false;
}

void TOutlineWriter::MoveTo(TPoint to) {
    CloseContour();
    mPen = ToPixels(to);
    Op(4);
    Coord(mPen);
    mStartX = mPenX;
    mStartY = mPenY;
    mOpen = true;
}

void TOutlineWriter::LineTo(TPoint to) {
    mPen = ToPixels(to);
    Op(5);
    Coord(mPen);
}

void TOutlineWriter::EmitQuadratic(TPoint control, TPoint to, int depth) {
    if (ChordError(mPen, control, to) > kCurveTolerance && depth < kMaxDepth) {
        TPoint a = Mid(mPen, control), b = Mid(control, to);
        TPoint m = Mid(a, b);
        EmitQuadratic(a, m, depth + 1);
        EmitQuadratic(b, to, depth + 1);
        return;
    }
    Op(6);
    Coord(control);
    Coord(to);
    mPen = to;
}

void TOutlineWriter::ConicTo(TPoint control, TPoint to) {
    EmitQuadratic(ToPixels(control), ToPixels(to), 0);
}

void TOutlineWriter::CubicTo(TPoint control1, TPoint control2, TPoint to) {
    std::vector<TPoint> quads = CubicToQuadratics(mPen, ToPixels(control1), ToPixels(control2),
                                                  ToPixels(to), kCubicTolerance);
    for (size_t i = 0; i + 1 < quads.size(); i += 2)
        EmitQuadratic(quads[i], quads[i + 1], 0);
}

const std::vector<uint8_t>& TOutlineWriter::Finish() {
    if (!mFinished) {
        CloseContour();
        Op(8);
        mFinished = true;
    }
    return mBytes;
}

}  // namespace fontconv
