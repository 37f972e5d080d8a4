#include "ui/windowspider.h"

#include "ui/modalwindow.h"
#include "ui/window.h"
#include "ui/windowmanager.h"

bool TWindowClearFlags::Visit(TWindow* window) {
    TModalWindow* modal = mModalKnown ? mModal : window->GetModalParent();
    window->SetFlagsUnder(window->GetFlags() & mMask, modal);
    if (!mRecursive) return true;
    TWindowClearFlags children(mMask, true);
    children.mModalKnown = true;
    children.mModal = (window->GetFlags() & TWindow::kModalRoot) != 0
                          ? TWindow::CastTo<TModalWindow>(window)
                          : modal;
    window->ForEachChild(children);
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
