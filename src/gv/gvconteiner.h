// GVConteiner<T, Key>: the ordered, owning, keyed list every list of the engine is built on
// (texture sets, frame lists, effects, children, states). Items are loaded from the child elements
// of the item element name (every child when it is empty), kept in the order they came, owned from
// Add on and deleted by Clear or the destructor. The key index maps each item's key to its
// position; when two items share a key the index keeps the first. The index is built only by Add:
// an item whose key changes later is not re-keyed.
//
// A derived list says how an item's key is found by overriding GetKey.
//
// Main thread only.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "foundation/str.h"
#include "foundation/xml/xmlnode.h"
#include "gv/gvbase.h"

template <class T, class Key>
class GVConteiner : public GVBase {
public:
    GVConteiner(int32_t kind, const str& itemName) : GVBase(kind), mItemName(itemName) {}
    GVConteiner(const GVConteiner&) = delete;
    GVConteiner& operator=(const GVConteiner&) = delete;
    ~GVConteiner() override { Clear(); }

    // Appends the items of the node's children, keeping those loaded before; true when the list
    // holds an item afterwards.
    bool Load(TXmlNode* node, GVBase* owner) override {
        if (!GVBase::Load(node, owner)) return false;
        for (TXmlNode* child : node->GetChildren()) {
            if (mItemName.Length() != 0 && child->GetName() != mItemName) continue;
            if (T* item = CreateItem(child)) Add(item);
        }
        return !mItems.empty();
    }
    // The lists are not saved as such: nothing is written.
    bool Save(TXmlNode* node) override {
        (void)node;
        return false;
    }
    // Appends a clone of every item, in order, to the target (which must be a list of the same
    // class); clones that fail are skipped.
    GVBase* CopyTo(GVBase* target) override {
        if (GVBase::CopyTo(target) == nullptr) return nullptr;
        GVConteiner* into = dynamic_cast<GVConteiner*>(target);
        if (into == nullptr) return nullptr;
        // Cloning into itself appends to the vector being walked: walk the original count.
        const size_t count = mItems.size();
        for (size_t i = 0; i < count; ++i)
            if (T* clone = CloneItem(mItems[i])) into->Add(clone);
        return target;
    }

    virtual void Clear() {
        mClearing = true;
        for (T* item : mItems)
            delete item;
        mItems.clear();
        mIndex.clear();
        mClearing = false;
    }
    virtual bool SaveItem(TXmlNode* node, T* item) { return item->Save(node); }
    // A new item loaded from the element with this list as owner; null when the load fails.
    virtual T* CreateItem(TXmlNode* node) {
        T* item = new T();
        if (!item->Load(node, this)) {
            delete item;
            return nullptr;
        }
        return item;
    }
    // A new item that the given one copied itself into; null when the copy fails.
    virtual T* CloneItem(T* item) {
        T* clone = new T();
        if (item->CopyTo(clone) == nullptr) {
            delete clone;
            return nullptr;
        }
        return clone;
    }

    // Takes ownership and appends; the same pointer twice is kept once. The key enters the index
    // unless the index has it already.
    void Add(T* item) {
        if (std::find(mItems.begin(), mItems.end(), item) != mItems.end()) return;
        mItems.push_back(item);
        mIndex.emplace(GetKey(item), static_cast<int32_t>(mItems.size() - 1));
    }
    int32_t GetCount() const { return static_cast<int32_t>(mItems.size()); }
    // i must be below the count.
    T* GetAt(int32_t i) const { return mItems[static_cast<size_t>(i)]; }
    // The position of the first item added with that key, or -1.
    int32_t Find(const Key& key) const {
        auto found = mIndex.find(key);
        return found != mIndex.end() ? found->second : -1;
    }
    const str& GetItemName() const { return mItemName; }
    bool IsClearing() const { return mClearing; }

protected:
    virtual Key GetKey(const T* item) const = 0;

    str mItemName;
    std::vector<T*> mItems;
    std::map<Key, int32_t> mIndex;
    bool mClearing = false;
};
