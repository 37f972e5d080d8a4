// GVChilds: the child objects of a visual object, in order, found by name ("obj" elements under
// "objects"). A loaded template's list and a clone's list only list their children (the templates
// live in the factory's cache, or are taken over by a direct load's activation); once an object is
// activated its list owns the live children and deletes them with it. The exported list holds the
// children that came from the object's "export" attribute: they are never saved.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/str.h"
#include "gv/gvconteiner.h"
#include "gv/gvobject.h"

class GVChilds : public GVConteiner<GVObject, str> {
public:
    GVChilds() : GVConteiner<GVObject, str>(kChilds, "obj") {}
    ~GVChilds() override { Clear(); }

    // The owner object.
    GVBase* GetOwner() override;
    GVBase* GetParent() override;
    GVObject* GetOwnerObject() const { return mOwner; }

    // Keeps the owner (an object; anything else leaves none) and loads the "obj" items.
    bool Load(TXmlNode* node, GVBase* owner) override;
    // Into another child list only: its exported list, then the same children. Null otherwise.
    GVBase* CopyTo(GVBase* target) override;
    // Deletes the children only while owning them; empties the list either way.
    void Clear() override;
    // Exported children are skipped.
    bool SaveItem(TXmlNode* node, GVObject* item) override;
    // The child the factory makes from the element and its "id"; null when it makes none.
    GVObject* CreateItem(TXmlNode* node) override;
    // The child itself: a copied list lists the same children.
    GVObject* CloneItem(GVObject* item) override;

    // The position of the first child of that name, or -1.
    int32_t IndexOf(const str& name) const { return Find(name); }
    // Takes the child out of the list (not deleted); the name index is rebuilt.
    void Remove(GVObject* item);
    // Empties the list without deleting anything and hands the children back.
    std::vector<GVObject*> TakeAll();
    void RebuildIndex();

    bool IsOwning() const { return mOwning; }
    void SetOwning(bool owning) { mOwning = owning; }
    std::vector<GVObject*>& GetExported() { return mExported; }
    bool IsExported(const GVObject* item) const;

protected:
    str GetKey(const GVObject* item) const override { return item->GetName(); }

private:
    bool mOwning = false;
    GVObject* mOwner = nullptr;
    std::vector<GVObject*> mExported;
};
