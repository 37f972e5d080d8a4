#include "ui/windowanim.h"

#include "ui/window.h"

TWindowAnim::~TWindowAnim() {
    if (mWindow != nullptr && mWindow->mTimer == this) mWindow->mTimer = nullptr;
}

bool TWindowAnim::Animate() {
    return mWindow != nullptr && mWindow->OnTimer();
}
