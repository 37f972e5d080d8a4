#include "gv/gvbase.h"

bool GVBase::Load(TXmlNode* node, GVBase* owner) {
    (void)owner;
    return node != nullptr;
}

GVBase* GVBase::CopyTo(GVBase* target) {
    return target;
}
