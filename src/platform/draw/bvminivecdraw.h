// TBvMiniVecDraw: the vector-font drawer. The first screen set-up makes it and the platform object
// keeps it until the teardown deletes it; what it draws comes with the vector fonts.
//
// Main thread only.
#pragma once

class TBvMiniVecDraw {
public:
    TBvMiniVecDraw() = default;
    virtual ~TBvMiniVecDraw() = default;
    TBvMiniVecDraw(const TBvMiniVecDraw&) = delete;
    TBvMiniVecDraw& operator=(const TBvMiniVecDraw&) = delete;
};
