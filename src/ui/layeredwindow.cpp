#include "ui/layeredwindow.h"

#include <algorithm>

#include "foundation/log.h"
#include "ui/windowmanager.h"
#include "ui/windowspider.h"

TLayeredWindow::TLayeredWindow(int layers) : mLayers(static_cast<size_t>(std::max(layers, 0))) {}

const std::vector<TWindow*>& TLayeredWindow::GetLayer(int32_t layer) const {
    static const std::vector<TWindow*> kNone;
    return layer >= 0 && layer < GetLayerCount() ? mLayers[static_cast<size_t>(layer)] : kNone;
}

bool TLayeredWindow::AddChild(TWindow* child, bool activate) {
    if (!TWindow::AddChild(child, activate)) return false;
    auto joinFront = [child](std::vector<TWindow*>& list) { list.insert(list.begin(), child); };
    if (mCurrentLayer == kAllLayers) {
        std::for_each(mLayers.begin(), mLayers.end(), joinFront);
    } else if (mCurrentLayer >= 0 && mCurrentLayer < GetLayerCount()) {
        joinFront(mLayers[static_cast<size_t>(mCurrentLayer)]);
    }
    return true;
}

void TLayeredWindow::RemoveChild(TWindow* child) {
    TWindow::RemoveChild(child);
    for (std::vector<TWindow*>& list : mLayers)
        std::erase(list, child);
}

void TLayeredWindow::SelectLayer(int32_t layer) {
    if (layer == mCurrentLayer) return;
    if (layer != kAllLayers && (layer < 0 || layer >= GetLayerCount())) {
        LogPrintf("SelectLayer: layer %d is not a layer of '%s' (%d layers)", layer,
                  GetName().c_str(), GetLayerCount());
        return;
    }
    mCurrentLayer = layer;
    TWindowClearFlags hide(~uint32_t{kVisible}, false);
    ForEachChild(hide);
    if (!mLayers.empty()) {
        for (TWindow* window : mLayers[static_cast<size_t>(layer == kAllLayers ? 0 : layer)])
            window->SetFlags(window->GetFlags() | kVisible);
    }
    if (TWindowManager* manager = TWindowManager::Get()) manager->MarkDirty();
}
