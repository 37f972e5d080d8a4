#include "gv/gvchilds.h"

#include <algorithm>

#include "gv/gvfactory.h"

GVBase* GVChilds::GetOwner() {
    return mOwner;
}

GVBase* GVChilds::GetParent() {
    return mOwner;
}

bool GVChilds::Load(TXmlNode* node, GVBase* owner) {
    mOwner = owner != nullptr && owner->GetKind() == kObject ? static_cast<GVObject*>(owner)
                                                              : nullptr;
    return GVConteiner<GVObject, str>::Load(node, owner);
}

GVBase* GVChilds::CopyTo(GVBase* target) {
    if (target == nullptr || target->GetKind() != kChilds) return nullptr;
    GVChilds* into = static_cast<GVChilds*>(target);
    into->mExported.insert(into->mExported.end(), mExported.begin(), mExported.end());
    return GVConteiner<GVObject, str>::CopyTo(target);
}

void GVChilds::Clear() {
    mClearing = true;
    if (mOwning)
        for (GVObject* item : mItems)
            delete item;
    mItems.clear();
    mIndex.clear();
    mExported.clear();
    mClearing = false;
}

bool GVChilds::SaveItem(TXmlNode* node, GVObject* item) {
    if (IsExported(item)) return false;
    return item->Save(node);
}

GVObject* GVChilds::CreateItem(TXmlNode* node) {
    return GVFactory::Instance().MakeDescObjectFrom(node->GetAttribute("id"), node, this);
}

GVObject* GVChilds::CloneItem(GVObject* item) {
    return item;
}

void GVChilds::Remove(GVObject* item) {
    if (mClearing) return;
    auto found = std::find(mItems.begin(), mItems.end(), item);
    if (found == mItems.end()) return;
    mItems.erase(found);
    mExported.erase(std::remove(mExported.begin(), mExported.end(), item), mExported.end());
    RebuildIndex();
}

std::vector<GVObject*> GVChilds::TakeAll() {
    std::vector<GVObject*> items;
    items.swap(mItems);
    mIndex.clear();
    return items;
}

void GVChilds::RebuildIndex() {
    mIndex.clear();
    for (size_t i = 0; i < mItems.size(); ++i)
        mIndex.emplace(GetKey(mItems[i]), static_cast<int32_t>(i));
}

bool GVChilds::IsExported(const GVObject* item) const {
    return std::find(mExported.begin(), mExported.end(), item) != mExported.end();
}
