#include "gv/gvobjectcreator.h"

#include "foundation/xml/xmlnode.h"
#include "gv/gvobject.h"
#include "gv/gvtextobject.h"

GVObject* GVDefaultObjectCreator::NewObject() const {
    return new GVObject();
}

GVObject* GVDefaultObjectCreator::Create(const str& key, TXmlNode* node, GVBase* owner) {
    if (key.Length() == 0 && node == nullptr) return CreateEmpty();
    std::unique_ptr<TXmlNode> document;
    TXmlNode* element = node != nullptr ? node : LoadDescription(key, document);
    GVObject* object = NewObject();
    const bool loaded = object->Load(element, owner);
    FreeDescription(document);
    if (!loaded) {
        delete object;
        return nullptr;
    }
    return object;
}

GVObject* GVDefaultObjectCreator::Clone(GVObject* source) {
    if (source == nullptr) return nullptr;
    GVObject* object = NewObject();
    if (source->CopyTo(object) == nullptr) {
        delete object;
        return nullptr;
    }
    return object;
}

bool GVDefaultObjectCreator::Activate(GVObject* object, GVScene* scene, GVObject* parent,
                                      bool startStates) {
    return object != nullptr && object->Activate(scene, parent, startStates);
}

GVObject* GVTextObjectCreator::NewObject() const {
    return new GVTextObject();
}
