// GVObject: the drawable sprite object of the engine, a tree node with visual parameters (it is
// its own GVData block, kind 10), a texture set and a frame list. So far it holds what the
// registration calculator and the hit testers read: its texture set and frame list, each shared
// by shared pointer with the object's clones.
//
// Main thread only.
#pragma once

#include <memory>

#include "gv/gvdata.h"
#include "gv/gvframe.h"
#include "gv/gvtexture.h"

class GVObject : public GVData {
public:
    GVObject() : GVData(kObject) {}

    const std::shared_ptr<GVTextures>& GetTextures() const { return mTextures; }
    void SetTextures(std::shared_ptr<GVTextures> textures) { mTextures = std::move(textures); }
    const std::shared_ptr<GVFrames>& GetFrames() const { return mFrames; }
    void SetFrames(std::shared_ptr<GVFrames> frames) { mFrames = std::move(frames); }

private:
    std::shared_ptr<GVFrames> mFrames;
    std::shared_ptr<GVTextures> mTextures;
};
