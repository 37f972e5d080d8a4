// TWindowManager's frames: paced, drawn only while something asked for a redraw, and through the
// overlay texture when there is one.
#include "platform/draw/renderer.h"
#include "platform/platform.h"
#include "platform/win32platform.h"
#include "ui/modalwindow.h"
#include "ui/windowmanager.h"
#include "ui/windowspider.h"

namespace {

// Every mark but the drawn-in-pass-1 one.
constexpr uint32_t kClearPass1Mark = ~uint32_t{TWindow::kDrawnInPass1};
// The highlight frame: 2 pixels of opaque yellow inside the window's rectangle.
constexpr int kHighlightWidth = 2;
constexpr TVec4 kHighlightColor{1.0f, 1.0f, 0.0f, 1.0f};

bool DisplayReady(const TPlatform* platform) {
    return platform->GetPlatform()->IsDisplayReady();
}

// The interval between frames: longer while the main window is in the background, unless the
// game is hosted or embedded, where the host decides what is shown.
uint32_t FrameInterval(const TPlatform* platform) {
    const TWin32Platform* shell = platform->GetPlatform();
    if (platform->IsActive() || shell->IsHostedMode() || shell->GetEmbeddedScale(nullptr)) {
        return TWindowManager::kFrameInterval;
    }
    return TWindowManager::kBackgroundFrameInterval;
}

}  // namespace

void TWindowManager::Update() {
    mPopped = false;
    TPlatform* platform = TPlatform::GetInstance();
    if (IsDrawingSuspended() || !IsRedrawNeeded()) return;
    if (platform == nullptr || !platform->IsDisplayUsable()) return;
    uint32_t now = TPlatform::GetTimer();
    // As an unsigned difference, so that the clock's wrap does not stop the frames.
    if (now - mLastFrame < FrameInterval(platform)) return;
    mLastFrame = now;
    if (!mModals.empty()) {
        TWindowClearFlags clear(kClearPass1Mark, true);
        clear.Visit(mModals.back());
    }
    TModalWindow* top = GetTopModal();
    if (top == nullptr) return;
    if (platform->IsDisplayUsable()) {
        platform->GetTaskList()->Update(1);
        // The platform's tasks may have popped the top.
        if (TModalWindow* now = GetTopModal()) now->UpdateTasks(1);
    }
    DrawFrame();
}

void TWindowManager::DrawFrame() {
    TRenderer* renderer = TRenderer::GetInstance();
    if (mOverlay == nullptr) {
        if (!renderer->BeginDraw(false)) return;
        SetRedrawNeeded(false);
        DrawModals(0);
    } else {
        if (renderer->BeginRenderTarget(mOverlay)) {
            DrawModals(1);
            renderer->EndRenderTarget();
        }
        if (!renderer->BeginDraw(false)) return;
        SetRedrawNeeded(false);
        if (TScreen* screen = GetScreen()) screen->DrawTree(0);
        DrawModals(2);
    }
    // By index: a window's drawing should not change the list, but may.
    for (size_t i = 0; i < mOverlayWindows.size(); ++i)
        mOverlayWindows[i]->DrawTree(0);
    if (mHighlight && mUnderPointer != nullptr) DrawHighlight();
    renderer->EndDraw(1);
}

void TWindowManager::DrawHighlight() {
    TScreen* screen = GetScreen();
    if (screen == nullptr) return;
    TRenderer* renderer = TRenderer::GetInstance();
    TRect bounds = screen->GetRect();
    renderer->SetViewport(bounds);
    renderer->PushViewport(bounds);
    TRect r = mUnderPointer->GetScreenRect();
    const TRect edges[] = {
        {r.left, r.top, r.right, r.top + kHighlightWidth},
        {r.right - kHighlightWidth, r.top, r.right, r.bottom},
        {r.left, r.bottom - kHighlightWidth, r.right, r.bottom},
        {r.left, r.top, r.left + kHighlightWidth, r.bottom},
    };
    for (const TRect& edge : edges)
        renderer->FillRect(edge, kHighlightColor, nullptr);
    renderer->PopState();
    renderer->PopViewport();
}

void TWindowManager::DrawModals(int pass) {
    TPlatform* platform = TPlatform::GetInstance();
    if (mPopped || platform == nullptr || mModals.empty() || !DisplayReady(platform)) return;
    if (pass == 2 || mTopModalOnly) {
        mModals.front()->DrawTree(pass);
        return;
    }
    // A modal that covers the screen hides everything below it.
    size_t start = mModals.size() - 1;
    if (const TScreen* screen = GetScreen()) {
        for (size_t i = 0; i < mModals.size(); ++i) {
            const TModalWindow* modal = mModals[i];
            if ((modal->GetFlags() & TWindow::kOpaque) != 0 &&
                modal->GetWidth() == screen->GetWidth() &&
                modal->GetHeight() == screen->GetHeight()) {
                start = i;
                break;
            }
        }
    }
    // Upward, towards the top at the front. The stack is not expected to change while it is
    // drawn; the indices are checked all the same.
    for (size_t i = start + 1; i-- > 0;) {
        if (pass == 1 && i == 0) break;
        if (i >= mModals.size() || !DisplayReady(platform)) return;
        mModals[i]->DrawTree(pass);
        if (mPopped) return;
    }
}
