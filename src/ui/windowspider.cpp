#include "ui/windowspider.h"

#include "ui/window.h"
#include "ui/windowmanager.h"

bool TWindowClearFlags::Visit(TWindow* window) {
    window->SetFlags(window->GetFlags() & mMask);
    if (mRecursive) window->ForEachChild(*this);
    return true;
}

bool TModalPoppedSpider::Visit(TWindow* window) {
    TModalPoppedSpider children;
    window->ForEachChild(children);
    window->OnModalPopped();
    return true;
}

bool GetLargest::Visit(TWindow* window) {
    TWindow::TBounds rect = window->GetRect();
    if (rect.right > mRight) mRight = rect.right;
    if (rect.bottom > mBottom) mBottom = rect.bottom;
    return true;
}

bool ChildrenDelete::Visit(TWindow* window) {
    mParent->RemoveChild(window);
    if (mManager != nullptr) {
        mManager->DeleteWindowLater(window);
    } else {
        delete window;
    }
    return true;
}
