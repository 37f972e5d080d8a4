// TLayeredWindow: a window whose children are grouped into numbered layers, of which one is shown
// at a time. Buttons show one layer per visual state. A child joins the current layer when it is
// added, or every layer while the current layer is kAllLayers; selecting a layer hides every
// direct child and shows the windows of the selected layer.
//
// The layer lists do not own their windows (the window tree does); a child may be in several.
// Scripts cannot create one from a table. Main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/window.h"

class TLayeredWindow : public TWindow {
public:
    // The current layer that lets later children join every layer (and shows layer 0).
    static constexpr int32_t kAllLayers = -1;

    explicit TLayeredWindow(int layers);

    const char* GetClassName() const override { return "TLayeredWindow"; }
    bool IsKindOf(TClassId id) const override { return id == TypeId() || TWindow::IsKindOf(id); }
    static TClassId TypeId() { return &SelfClassId<TLayeredWindow>; }

    // TWindow::AddChild, then the child goes to the front of the current layer's list (of every
    // list for kAllLayers); its visibility is left as it is.
    bool AddChild(TWindow* child, bool activate) override;
    // TWindow::RemoveChild, then the child leaves every list.
    void RemoveChild(TWindow* child) override;

    // Nothing when the layer is already current. A layer neither kAllLayers nor below the layer
    // count is ignored (logged). Otherwise every direct child loses kVisible and the windows of
    // the shown layer (layer 0 for kAllLayers) gain it; a redraw is asked for.
    void SelectLayer(int32_t layer);
    int32_t GetCurrentLayer() const { return mCurrentLayer; }
    int32_t GetLayerCount() const { return static_cast<int32_t>(mLayers.size()); }
    // The windows of a layer, newest first; empty for a layer out of range.
    const std::vector<TWindow*>& GetLayer(int32_t layer) const;

private:
    int32_t mCurrentLayer = 0;
    std::vector<std::vector<TWindow*>> mLayers;
};
