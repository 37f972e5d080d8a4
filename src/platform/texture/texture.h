// TTexture: an image held as a shared asset. Every sprite, button, background, cursor and glyph
// sheet is drawn from one. A texture is always owned through std::shared_ptr and registered with
// the asset manager under a key (MakeKey and its kin), so that a second request finds the first
// texture while anyone still holds it; the manager keeps only weak references.
//
// The texture owns its data object (texturedata.h), which the platform hands out
// (texturedatasource.h) and which loads the image and holds the device surface. After a loss of
// the display device the asset manager calls Release and Restore, which go to the data.
//
// A texture draws itself as one quad through the renderer (Draw, DrawAt) and copies rectangles
// of itself into other textures (CopyRectTo).
//
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/asset.h"
#include "foundation/str.h"
#include "math/rect.h"

class TDrawSpec;
class TTextureData;

class TTexture : public TAssetKind<TTexture, TAsset> {
public:
    // Getter flags of Get.
    enum : int { kGetMipmap = 1, kGetAlpha = 2, kGetNoAlpha = 4 };

    // A texture with a fresh data object, not registered (the getters register theirs).
    TTexture();
    // A created texture takes its key out of the asset manager; a file texture's weak entry just
    // expires.
    ~TTexture() override;

    const char* GetClassName() const override { return "TTexture"; }
    void Release() override;
    void Restore() override;
    // Draws the texture as one quad, inside the renderer's 2-D phase; nothing for a simple
    // texture.
    virtual void Draw(const TDrawSpec& spec);
    // Draws at (x, y) with an opacity, a scale, a rotation in radians and TDrawSpec flags.
    virtual void DrawAt(float x, float y, float opacity, float scale, float rotation,
                        uint32_t flags);
    // Copies the source rectangle (null: the whole image; clipped to the image, nothing when that
    // leaves it empty) to (x, y) of the target (empty: the screen). Not while the renderer draws.
    virtual void CopyRectTo(int x, int y, const TRect* source, std::shared_ptr<TTexture> target);
    virtual int GetWidth() const;
    virtual int GetHeight() const;

    // A file texture. Flags: kGetMipmap; kGetAlpha forces an alpha channel; kGetNoAlpha refuses
    // one (ignored with kGetAlpha); without either the image decides. A texture already cached
    // under the key is returned as it is, with the flags it was first loaded with.
    static std::shared_ptr<TTexture> Get(const str& name, int flags);
    // A file texture whose alpha comes from a second image; of the flags only kGetMipmap counts.
    static std::shared_ptr<TTexture> GetWithMask(const str& name, const str& maskName, int flags);
    // A simple texture for a mouse-cursor image.
    static std::shared_ptr<TTexture> GetCursorTexture(const str& name);
    // An empty texture made by the device, cleared; empty when the surface cannot be made.
    static std::shared_ptr<TTexture> Create(int width, int height, bool alpha);

    // name (backslashes as '/'), then ":a", ":m", ":s" as asked, then ":tex".
    static str MakeKey(const str& name, bool alpha, bool mipmap, bool simple);
    // name, ':', mask, then ":m", ":s" as asked, then ":tex".
    static str MakeMaskKey(const str& name, const str& maskName, bool mipmap, bool simple);
    // The texture's full address in lower-case hexadecimal, then ":tex:r": unique among the
    // textures alive at the same time.
    static str MakeCreatedKey(const TTexture* texture);
    // The live texture registered under the key; empty without one or without an asset manager.
    static std::shared_ptr<TTexture> FindCached(const str& key);
    // A new texture registered under the key (an empty key: its created key) before anything is
    // loaded into it.
    static std::shared_ptr<TTexture> CreateRegistered(const str& key);
    // A shared pointer to this texture; empty when no shared pointer owns it.
    std::shared_ptr<TTexture> GetShared();

    bool HasAlpha() const;
    bool IsSimple() const;
    bool Lock(uint32_t** pixels, int* pitch);
    void Unlock();
    void GetAllocatedSize(int* width, int* height) const;
    TTextureData* GetData() const { return mData.get(); }

private:
    std::unique_ptr<TTextureData> mData;
};
