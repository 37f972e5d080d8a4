#include "script/scriptcode.h"

#include <cstdlib>
#include <cstring>

#include "foundation/assetmanager.h"
#include "script/lua/lib/auxlib.h"
#include "script/lua/lua.h"

namespace {

constexpr const char* kDefaultPath = "assets/?;../?;?";

// The dumped chunk, gathered in one heap block that grows with every piece.
struct ChunkBlock {
    char* bytes = nullptr;
    size_t size = 0;
    bool failed = false;
};

int writechunk(lua_State*, const void* p, size_t size, void* data) {
    ChunkBlock* block = static_cast<ChunkBlock*>(data);
    char* grown = static_cast<char*>(realloc(block->bytes, block->size + size));
    if (grown == nullptr) {
        block->failed = true;
        return 0;
    }
    memcpy(grown + block->size, p, size);
    block->bytes = grown;
    block->size += size;
    return 1;
}

// The path as a quoted Lua string: the chunk sets LUA_PATH to exactly this text.
str quoted(const str& path) {
    str out = "'";
    for (const char* p = path.c_str(); *p != '\0'; p++) {
        if (*p == '\'' || *p == '\\') out += '\\';
        if (*p == '\n') {
            out += "\\n";
            continue;
        }
        out += *p;
    }
    return out + "'";
}

std::shared_ptr<TScriptCode> Compile(const str& name, const str& path, str* error) {
    lua_State* L = lua_open();
    if (L == nullptr) {
        if (error != nullptr) *error = "not enough memory";
        return nullptr;
    }
    str setup = str("LUA_PATH=") + quoted(path.Length() > 0 ? path : str(kDefaultPath)) + " ;";
    lua_dostring(L, setup.c_str());
    std::shared_ptr<TScriptCode> code;
    if (luaL_loadfile(L, name.c_str()) == 0) {
        ChunkBlock block;
        if (lua_dump(L, writechunk, &block) && !block.failed) {
            code = std::make_shared<TScriptCode>(block.bytes, static_cast<uint32_t>(block.size));
        } else if (error != nullptr) {
            *error = "not enough memory";
        }
        free(block.bytes);
    } else if (error != nullptr) {
        const char* message = lua_tostring(L, -1);
        *error = message != nullptr ? message : "";
    }
    lua_close(L);
    return code;
}

}  // namespace

TScriptCode::TScriptCode(const char* bytes, uint32_t size)
    : mBytes(bytes != nullptr ? std::string(bytes, size) : std::string()) {}

const char* TScriptCode::GetClassName() const {
    return "TScriptCode";
}

std::shared_ptr<TScriptCode> TScriptCode::Load(const str& name, const str& path, str* error) {
    if (name.Length() == 0) return nullptr;
    TAssetManager* manager = GetAssetManager();
    if (manager != nullptr) {
        std::shared_ptr<TScriptCode> held = FromAsset(manager->FindAsset(name));
        if (held) return held;
    }
    std::shared_ptr<TScriptCode> code = Compile(name, path, error);
    if (manager != nullptr) manager->AddAsset(name, code);
    return code;
}

std::shared_ptr<TScriptCode> TScriptCode::FromAsset(const std::shared_ptr<TAsset>& asset) {
    return AssetCast<TScriptCode>(asset);
}
