#include "ui/screen.h"

#include <memory>

#include "platform/draw/renderer.h"
#include "platform/texture/texture.h"
#include "ui/windowmanager.h"

TScreen::TScreen() {
    SetName("_screen_");
    SetRawFlags(GetFlags() | kOpaque | kDrawInPass1);
}

void TScreen::Draw() {
    TWindowManager* manager = TWindowManager::Get();
    TRenderer* renderer = TRenderer::GetInstance();
    // Below another modal the screen keeps the picture drawn there.
    bool onTop = manager != nullptr && manager->GetTopModal() == this;
    if (!mNoClear && (mAlwaysClear || onTop)) {
        renderer->FillRect(renderer->GetViewport(), mClearColor, nullptr);
    }
    if (manager == nullptr) return;
    // The window manager draws the screen inside its frame, where the texture refuses every
    // copy: the overlay lands here only when the screen is drawn outside a frame.
    if (std::shared_ptr<TTexture> overlay = manager->GetOverlay()) {
        overlay->CopyRectTo(0, 0, nullptr, nullptr);
    }
}
