#include "ui/window.h"

#include "ui/windowmanager.h"

void TWindow::SetSize(int width, int height) {
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mRect.right = mRect.left + width;
        mRect.bottom = mRect.top + height;
    }
    if (TWindowManager* manager = TWindowManager::Get()) manager->MarkDirty();
}
