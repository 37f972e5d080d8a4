#include "gv/gvtexture.h"

#include <cstring>

#include "foundation/xml/xmlnode.h"
#include "gv/attributes.h"
#include "platform/texture/texture.h"

GVTexture::GVTexture(const str& folder) : GVBase(kTexture), path(folder) {}

bool GVTexture::Load(TXmlNode* node, GVBase* owner) {
    if (!GVBase::Load(node, owner)) return false;
    str name = node->GetAttribute("name");
    if (name.Length() == 0) return false;
    str folder = node->GetAttribute("path");
    if (folder.Length() != 0) path = folder;
    centering = CenteringFromText(node->GetAttribute("centering"));
    path = path + name;
    texture = TTexture::Get(path, 0);

    str minReg = node->GetAttribute("min_reg");
    const char* comma = std::strchr(minReg.c_str(), ',');
    if (comma != nullptr) {
        minRegX = TextToInt(minReg);
        minRegY = TextToInt(str(comma + 1));
    } else {
        minRegX = kNoMinReg;
        minRegY = kNoMinReg;
    }
    return texture != nullptr;
}

bool GVTexture::Save(TXmlNode* node) {
    if (node == nullptr) return false;
    node->SetAttribute("centering", CenteringToText(centering));
    bool given = !(minRegX == kNoMinReg && minRegY == kNoMinReg);
    node->SetAttribute("min_reg", given ? str::Format("%d,%d", minRegX, minRegY) : str());
    return true;
}

GVBase* GVTexture::CopyTo(GVBase* target) {
    (void)target;
    return nullptr;
}

GVTextures::GVTextures(const str& folder)
    : GVConteiner<GVTexture, str>(kTextures, "img"), mFolder(folder) {}

bool GVTextures::Load(TXmlNode* node, GVBase* owner) {
    if (node == nullptr) return false;
    str folder = node->GetAttribute("path");
    if (folder.Length() != 0) mFolder = folder;
    mOwner = owner;
    return GVConteiner<GVTexture, str>::Load(node, owner);
}

GVTexture* GVTextures::CreateItem(TXmlNode* node) {
    GVTexture* texture = new GVTexture(mFolder);
    if (!texture->Load(node, this)) {
        delete texture;
        return nullptr;
    }
    return texture;
}
