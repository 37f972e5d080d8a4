#include "gv/gvscene.h"

#include <cmath>

#include "gv/gvobject.h"
#include "gv/anim/gvtaskhost.h"
#include "platform/draw/renderer.h"

bool GVScene::DepthLess::operator()(float a, float b) const {
    if (std::isnan(a)) return !std::isnan(b);
    if (std::isnan(b)) return false;
    return a < b;
}

GVScene::GVScene() : mViewPort(std::make_unique<GVViewPort>(800.0f, 600.0f, 0.0f, 0.0f)) {}

GVScene::~GVScene() {
    // Detaching removes the member from the set: walk a copy.
    const std::vector<GVObject*> members(mMembers.begin(), mMembers.end());
    for (GVObject* object : members)
        object->DetachFromScene(this, true);
    mDepthOrder.clear();
    mViewPort.reset();
    mMembers.clear();
}

void GVScene::SetWindow(TWindow* window) {
    mWindow = window;
    GVWindowHook* hook = GetWindowHook();
    mTaskHost = window != nullptr && hook != nullptr ? hook->GetModalParent(window) : nullptr;
}

void GVScene::AddObject(GVObject* object) {
    if (object == nullptr || !mMembers.insert(object).second) return;
    // A multimap inserts after the entries of an equal key.
    mDepthOrder.emplace(object->GetComposed().deltaZ, object);
}

size_t GVScene::RemoveObject(GVObject* object) {
    auto entry = FindEntry(object, object != nullptr ? object->GetComposed().deltaZ : 0.0f);
    if (entry != mDepthOrder.end()) mDepthOrder.erase(entry);
    return mMembers.erase(object);
}

void GVScene::Reinsert(GVObject* object, float oldDepth) {
    auto entry = FindEntry(object, oldDepth);
    if (entry == mDepthOrder.end()) return;
    mDepthOrder.erase(entry);
    mDepthOrder.emplace(object->GetComposed().deltaZ, object);
}

std::vector<GVObject*> GVScene::GetDepthOrder() const {
    std::vector<GVObject*> order;
    order.reserve(mDepthOrder.size());
    for (const auto& entry : mDepthOrder)
        order.push_back(entry.second);
    return order;
}

void GVScene::UpdateObjects() {
    // In depth order, from a copy (an update re-sorts the order, but never adds or removes a
    // member): objects that joined at one depth and move to another together, as a freshly made
    // batch does on its first update, keep their joining order there.
    mUpdateOrder.clear();
    for (const auto& entry : mDepthOrder)
        mUpdateOrder.push_back(entry.second);
    for (GVObject* object : mUpdateOrder)
        if (object->IsChanged()) object->Update();
}

void GVScene::RenderObjects(const GVViewPort& viewPort) {
    const GVRect& view = viewPort.GetRect();
    for (const auto& entry : mDepthOrder)
        entry.second->Render(view);
}

void GVScene::Draw() {
    UpdateObjects();
    TRenderer* renderer = TRenderer::GetInstance();
    const bool entered = renderer->Begin2d();
    RenderObjects(*mViewPort);
    if (entered) renderer->End2d();
}

GVScene::DepthOrder::iterator GVScene::FindEntry(GVObject* object, float depth) {
    auto range = mDepthOrder.equal_range(depth);
    for (auto it = range.first; it != range.second; ++it)
        if (it->second == object) return it;
    for (auto it = mDepthOrder.begin(); it != mDepthOrder.end(); ++it)
        if (it->second == object) return it;
    return mDepthOrder.end();
}
