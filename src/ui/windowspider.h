// TWindowSpider: a visitor of a window's children (TWindow::ForEachChild), and the visitors the
// tree itself uses. Visit answers true to go on, false to stop. The widgets add their own (the
// radio-button group, the default-button search, the text-field search).
//
// Main thread only.
#pragma once

#include <cstdint>

class TModalWindow;
class TWindow;
class TWindowManager;

class TWindowSpider {
public:
    virtual ~TWindowSpider() = default;
    virtual bool Visit(TWindow* window) = 0;
};

// SetFlags(flags & mask) on each window visited, and on its whole subtree when recursive.
class TWindowClearFlags : public TWindowSpider {
public:
    TWindowClearFlags(uint32_t mask, bool recursive) : mMask(mask), mRecursive(recursive) {}
    bool Visit(TWindow* window) override;

private:
    uint32_t mMask;
    bool mRecursive;
    // Below the first level the modal parent of the windows visited is known: the walk hands it
    // down instead of looking it up for each window.
    bool mModalKnown = false;
    TModalWindow* mModal = nullptr;
};

// OnModalPopped on each window visited, after its whole subtree (children before parents).
class TModalPoppedSpider : public TWindowSpider {
public:
    bool Visit(TWindow* window) override;
};

// The largest right and bottom of the windows visited, from the starting values.
class GetLargest : public TWindowSpider {
public:
    GetLargest(int right, int bottom) : mRight(right), mBottom(bottom) {}
    bool Visit(TWindow* window) override;
    int GetRight() const { return mRight; }
    int GetBottom() const { return mBottom; }

private:
    int mRight;
    int mBottom;
};

// Takes each window visited out of the parent and hands it to the window manager's deferred
// deletion (without a window manager there is no walk to protect: it is deleted at once).
class ChildrenDelete : public TWindowSpider {
public:
    ChildrenDelete(TWindow* parent, TWindowManager* manager) : mParent(parent), mManager(manager) {}
    bool Visit(TWindow* window) override;

private:
    TWindow* mParent;
    TWindowManager* mManager;
};
