// TAnimatedTexture: a texture whose image is a sprite sheet cut into frames. An animation file
// names the sheet (and an optional mask) and lists the frames, each with its registration
// point, transform and opacity, plus anchor points and a script text; it comes as XML (".xml",
// animationxml.cpp) or in a chunked binary form (".anm", animationanm.cpp). Holders use it
// through the TTexture interface: drawing draws the current frame's rectangle of the sheet, and
// the size is the current frame's.
//
// Shared and cached like every texture: Get registers a new animated texture with the asset
// manager under MakeKey before it loads, so a second Get of the same name finds it while anyone
// holds it. The texture owns its TAnimationData; the sheet is loaded into the texture's own data
// object by the image loader.
//
// The current frame stays 0 and the script is kept, not run: nothing in the program animates.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/str.h"
#include "platform/animation/animationdata.h"
#include "platform/texture/texture.h"

class TAnimatedTexture : public TAssetKind<TAnimatedTexture, TTexture> {
public:
    // An animated texture of that file name, with nothing loaded and not registered.
    explicit TAnimatedTexture(const str& name);
    ~TAnimatedTexture() override;

    const char* GetClassName() const override { return "TAnimatedTexture"; }
    // Draws the current frame: at its registration point (unless the draw record brings an
    // offset of its own), through the frame's transform, from the frame's rectangle, with its
    // opacity.
    // DrawAt comes from TTexture and ends here.
    void Draw(const TDrawSpec& spec) override;
    // As TTexture's, over the whole sheet.
    void CopyRectTo(int x, int y, const TRect* source, std::shared_ptr<TTexture> target) override;
    // The current frame's size; 0 without frames or with the index outside them.
    int GetWidth() const override;
    int GetHeight() const override;

    // The animation of that name, cached or loaded now with its sheet; non-empty overrides
    // replace the sheet and mask names the file gives. Empty when the file or the sheet fails.
    static std::shared_ptr<TAnimatedTexture> Get(const str& name, const str& imageOverride,
                                                 const str& maskOverride);
    // name ':' image override ':' mask override.
    static str MakeKey(const str& name, const str& imageOverride, const str& maskOverride);
    // The live animated texture registered under the key; empty without one, when the asset
    // under the key is of another kind, or without an asset manager.
    static std::shared_ptr<TAnimatedTexture> FindCached(const str& key);
    // A new animated texture of that name, registered under its key before anything is loaded.
    static std::shared_ptr<TAnimatedTexture> CreateRegistered(const str& name,
                                                              const str& imageOverride,
                                                              const str& maskOverride);
    // The script an animation without one gets: a delay of 60 and the frames 1 to count.
    static str MakeScript(int32_t frameCount);

    // Reads the animation file: the name as given, else name + ".xml", else name + ".anm"; the
    // form is chosen by ".xml" or ".anm" in the path, in any case. On success the directory is
    // set and the overrides applied.
    bool Load(const str& imageOverride, const str& maskOverride);
    // The XML form; each missing part is logged with the path.
    bool LoadXml(const str& path);
    // The binary form. Fails without a log line on a wrong tag or a damaged file; a missing or
    // damaged script part gives the default script.
    bool LoadAnm(const str& path);
    // Loads the sheet (with alpha always) into the texture's data: beside the animation file
    // first, then under the names as given. Fails without a log line.
    bool LoadSheet();

    TAnimationData& GetAnimation() { return *mAnimation; }
    const TAnimationData& GetAnimation() const { return *mAnimation; }

private:
    // The current frame, or null when there is none to draw from.
    const TAnimationFrame* CurrentFrame() const;

    std::unique_ptr<TAnimationData> mAnimation;
};
