// GVRect: a rectangle of float view coordinates (left, top, right, bottom), as the view port
// keeps its view and the objects report their bounds. A plain value.
#pragma once

struct GVRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;

    // Inclusive: the two miss only when one's right lies left of the other's left or one's bottom
    // above the other's top, so rectangles that share an edge touch.
    bool Touches(const GVRect& other) const {
        return !(right < other.left || other.right < left || bottom < other.top ||
                 other.bottom < top);
    }
    // All four values equal to one another, as the rectangle of an object without a frame is.
    bool IsDegenerate() const { return left == top && top == right && right == bottom; }

    friend bool operator==(const GVRect&, const GVRect&) = default;
};
