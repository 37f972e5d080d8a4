// GVTexture and GVTextures: the images of a visual object, from the "images" element of its
// description, one "img" element each. A texture holds its image through the texture cache, so
// an image used by several sets is loaded once. Sets are shared between an object and its clones
// by shared pointer: textures refuse to be copied, so a copy of a set has no items.
//
// Main thread only.
#pragma once

#include <climits>
#include <cstdint>
#include <memory>

#include "foundation/str.h"
#include "gv/centering.h"
#include "gv/gvbase.h"
#include "gv/gvconteiner.h"

class TTexture;

class GVTexture : public GVBase {
public:
    // min_reg's value when the description gives none.
    static constexpr int32_t kNoMinReg = INT_MAX;

    // path is the folder the image is looked up in, until Load appends the name.
    explicit GVTexture(const str& folder = str());

    // "name" is required; a non-empty "path" replaces the folder; the image is
    // TTexture::Get(folder + name, 0). False without an image.
    bool Load(TXmlNode* node, GVBase* owner) override;
    // "centering" and "min_reg" ("x,y", or empty when not given); not "name" or "path".
    bool Save(TXmlNode* node) override;
    // Textures are never copied: null.
    GVBase* CopyTo(GVBase* target) override;

    int32_t minRegX = 0;
    int32_t minRegY = 0;
    int32_t centering = kCenteringNone;
    std::shared_ptr<TTexture> texture;
    // Folder and file name after Load: the texture's key in its set.
    str path;
};

class GVTextures : public GVConteiner<GVTexture, str> {
public:
    // The folder images are found in unless a description says otherwise.
    static constexpr const char* kDefaultFolder = "anim/";

    explicit GVTextures(const str& folder = kDefaultFolder);

    // The object that loaded the set (not owned).
    GVBase* GetOwner() override { return mOwner; }
    // A non-empty "path" replaces the folder; the owner is kept; then every "img" loads. True
    // when one did.
    bool Load(TXmlNode* node, GVBase* owner) override;
    GVTexture* CreateItem(TXmlNode* node) override;

    const str& GetFolder() const { return mFolder; }

protected:
    str GetKey(const GVTexture* item) const override { return item->path; }

private:
    str mFolder;
    GVBase* mOwner = nullptr;
};
