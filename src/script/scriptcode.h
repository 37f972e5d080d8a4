// TScriptCode: a compiled script file held as an asset. It keeps the binary chunk of the
// file's main function (the bytes lua_dump writes), so that a script file is compiled once and
// every script that runs it loads those bytes into its own state. Shared like every asset
// (foundation/asset.h) and registered with the asset manager under the file name.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/asset.h"
#include "foundation/str.h"

class TScriptCode : public TAssetKind<TScriptCode, TAsset> {
public:
    // Copies size bytes of a binary chunk (none when bytes is null).
    TScriptCode(const char* bytes, uint32_t size);

    const char* GetClassName() const override;

    // The compiled script of a file: the one already registered under the name while some
    // holder keeps it, else the file compiled now (through the file layer) and registered, also
    // when it failed, under the name. path is the LUA_PATH text the compiling state gets; empty
    // means "assets/?;../?;?". On failure the result is empty and *error (when given) receives
    // the reason: "cannot read <name>: <reason>" or the compiler's message. An empty name gives
    // an empty result.
    static std::shared_ptr<TScriptCode> Load(const str& name, const str& path, str* error);

    // The same object when the asset is a TScriptCode, else empty.
    static std::shared_ptr<TScriptCode> FromAsset(const std::shared_ptr<TAsset>& asset);

    // A copy of the chunk's bytes. They hold zero bytes, so they are bytes, not a text.
    std::string GetBytes() const { return mBytes; }
    const char* GetData() const { return mBytes.data(); }
    uint32_t GetSize() const { return static_cast<uint32_t>(mBytes.size()); }

private:
    std::string mBytes;
};
