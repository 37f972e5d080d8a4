// GVWorldManager: drawing the scene and the debugging overlays (the creatures' paths, every
// sprite's bounds, the creatures' hit rectangles). Overlay points are world points less the
// origin, at depth 0.
#include <algorithm>
#include <vector>

#include "gv/gvobject.h"
#include "gv/gvrect.h"
#include "gv/gvscene.h"
#include "platform/draw/renderer.h"
#include "platform/draw/vertexbatch.h"
#include "simulation/views/worldcreature.h"
#include "simulation/views/worldmanager.h"

namespace {

constexpr uint32_t kPathColour = 0xAA00FFFFu;
constexpr uint32_t kBoxColour = 0xFFFFFF00u;

// Opens the renderer's 2-D drawing for one overlay unless it is open already, and closes what it
// opened.
class Overlay2d {
public:
    Overlay2d() : mRenderer(TRenderer::GetInstance()) {
        mOpened = !mRenderer->IsIn2d() && mRenderer->Begin2d();
        if (IsReady()) mRenderer->SetTexture(nullptr);
    }
    ~Overlay2d() {
        if (mOpened) mRenderer->End2d();
    }
    Overlay2d(const Overlay2d&) = delete;
    Overlay2d& operator=(const Overlay2d&) = delete;

    bool IsReady() const { return mRenderer->IsIn2d(); }
    void Draw(int primitive, std::vector<TVertex>& vertices) {
        if (vertices.size() < 2) return;
        TVertexBatch batch =
            TVertexBatch::Kind2(vertices.data(), static_cast<int>(vertices.size()));
        mRenderer->DrawVertices(primitive, &batch);
    }

private:
    TRenderer* mRenderer;
    bool mOpened = false;
};

TVertex Point(float x, float y, const TVec2& origin, uint32_t colour) {
    TVertex vertex;
    vertex.x = x - origin.x;
    vertex.y = y - origin.y;
    vertex.diffuse = colour;
    return vertex;
}

// The outline of the box as four lines; nothing for a box whose left and top are both 0 or less.
void DrawBox(Overlay2d& overlay, float left, float top, float right, float bottom,
             const TVec2& origin) {
    if (left <= 0.0f && top <= 0.0f) return;
    const TVertex corners[4] = {
        Point(left, top, origin, kBoxColour), Point(right, top, origin, kBoxColour),
        Point(right, bottom, origin, kBoxColour), Point(left, bottom, origin, kBoxColour)};
    std::vector<TVertex> lines;
    for (int i = 0; i < 4; ++i) {
        lines.push_back(corners[i]);
        lines.push_back(corners[(i + 1) % 4]);
    }
    overlay.Draw(TRenderer::kLineList, lines);
}

}  // namespace

void GVWorldManager::SetOverlay(Overlay overlay, bool on) {
    switch (overlay) {
        case kOverlayPaths:
            mPathsOverlay = on;
            break;
        case kOverlayBounds:
            mBoundsOverlay = on;
            break;
        case kOverlayHitRects:
            mHitRectsOverlay = on;
            break;
    }
}

bool GVWorldManager::IsOverlayOn(Overlay overlay) const {
    switch (overlay) {
        case kOverlayPaths:
            return mPathsOverlay;
        case kOverlayBounds:
            return mBoundsOverlay;
        case kOverlayHitRects:
            return mHitRectsOverlay;
    }
    return false;
}

void GVWorldManager::Draw(const TVec2& origin) {
    if (mScene != nullptr) mScene->Draw();
    if (mPathsOverlay) DrawPaths(origin);
    if (mBoundsOverlay) DrawBounds(origin);
    if (mHitRectsOverlay) DrawHitRects(origin);
}

void GVWorldManager::DrawPaths(const TVec2& origin) {
    Overlay2d overlay;
    if (!overlay.IsReady()) return;
    std::vector<TVertex> strip;
    for (GVWorldObject* view : mViews) {
        if (!view->IsKindOf(GVViewClass::kCreature)) continue;
        const std::vector<TVec2>& path = static_cast<GVWorldCreature*>(view)->GetPath();
        if (path.size() < 2) continue;
        strip.clear();
        const size_t count = std::min<size_t>(path.size(), kMaxOverlayPathPoints);
        for (size_t i = 0; i < count; ++i)
            strip.push_back(Point(path[i].x, path[i].y, origin, kPathColour));
        overlay.Draw(TRenderer::kLineStrip, strip);
    }
}

void GVWorldManager::DrawBounds(const TVec2& origin) {
    Overlay2d overlay;
    if (!overlay.IsReady()) return;
    for (GVWorldObject* view : mViews) {
        GVObject* sprite = view->GetSprite();
        if (sprite == nullptr) continue;
        GVRect bounds;
        sprite->GetBounds(bounds, nullptr);
        DrawBox(overlay, bounds.left, bounds.top, bounds.right, bounds.bottom, origin);
    }
}

void GVWorldManager::DrawHitRects(const TVec2& origin) {
    Overlay2d overlay;
    if (!overlay.IsReady()) return;
    for (GVWorldObject* view : mViews) {
        if (!view->IsKindOf(GVViewClass::kCreature)) continue;
        const GVHitRect& rect = static_cast<GVWorldCreature*>(view)->GetHitRect();
        const float left = view->GetX() - static_cast<float>(rect.anchorX);
        const float top = view->GetY() - static_cast<float>(rect.anchorY);
        DrawBox(overlay, left, top, left + static_cast<float>(rect.width),
                top + static_cast<float>(rect.height), origin);
    }
}
