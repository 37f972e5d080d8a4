// A window description table from the input (tests/ui/windowtablecode.h: every key the window
// classes read, values of every Lua type, children, default styles, deep "parent" chains and
// cycles) made into windows through GenericCreate under a modal, then a few input events and a
// frame drawn into a recording sink. A fresh window manager and script for each input.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/platformevent.h"
#include "script/lua/lua.h"
#include "ui/luamessage.h"
#include "ui/modalwindow.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"
#include "windowtablecode.h"

namespace {

using namespace windowtable;

// Deeper tables are not opened; more events are not kept.
constexpr size_t kMaxDepth = 48;
constexpr size_t kMaxEvents = 32;
// What a light userdata value points at.
int gLightTarget = 0;

// What the library's DoWindow and MakeDialog do for the factory, without their bounds: children
// to a depth of 16, 64 of each.
const char kBuild[] =
    "function Build(t, depth)\n"
    "  GenericCreate(t)\n"
    "  if depth < 16 then\n"
    "    local n = table.getn(t) if n > 64 then n = 64 end\n"
    "    for i = 1, n do local c = rawget(t, i) if type(c) == 'table' then Build(c, depth + 1) "
    "end end\n"
    "  end\n"
    "  PostCreate(t, 'fuzz')\n"
    "  PopWindow()\n"
    "end\n"
    "function Value() return 1 end\n"
    "function Failing() error('failing') end\n"
    "Trap = setmetatable({}, { __index = function() error('trap') end })\n";

class TReader {
public:
    TReader(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    bool AtEnd() const { return mAt >= mSize; }
    uint8_t Byte() { return mAt < mSize ? mData[mAt++] : 0; }
    // Up to count bytes, fewer at the end.
    std::vector<uint8_t> Bytes(size_t count) {
        std::vector<uint8_t> bytes;
        while (bytes.size() < count && mAt < mSize)
            bytes.push_back(mData[mAt++]);
        return bytes;
    }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mAt = 0;
};

void PushGlobal(lua_State* L, const char* name) {
    lua_pushstring(L, name);
    lua_gettable(L, LUA_GLOBALSINDEX);
}

void PushValue(lua_State* L, TReader& in) {
    switch (in.Byte() % kKindCount) {
        case kNil:
            lua_pushnil(L);
            break;
        case kFalse:
            lua_pushboolean(L, 0);
            break;
        case kTrue:
            lua_pushboolean(L, 1);
            break;
        case kSmall:
            lua_pushnumber(L, static_cast<int8_t>(in.Byte()));
            break;
        case kDouble: {
            std::vector<uint8_t> bytes = in.Bytes(8);
            bytes.resize(8);
            double value;
            std::memcpy(&value, bytes.data(), 8);
            lua_pushnumber(L, value);
            break;
        }
        case kMagicNumber:
            lua_pushnumber(L, kMagic[in.Byte() % kMagicCount]);
            break;
        case kString: {
            std::vector<uint8_t> bytes = in.Bytes(in.Byte());
            lua_pushlstring(L, reinterpret_cast<const char*>(bytes.data()), bytes.size());
            break;
        }
        case kWide: {
            std::vector<uint8_t> bytes = in.Bytes(2 * size_t{in.Byte()});
            std::vector<char16_t> units(bytes.size() / 2);
            for (size_t i = 0; i < units.size(); ++i)
                units[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
            lua_pushlwstring(L, units.data(), units.size());
            break;
        }
        case kColour: {
            lua_newtable(L);
            std::vector<uint8_t> parts = in.Bytes(in.Byte() % 5);
            for (size_t i = 0; i < parts.size(); ++i) {
                lua_pushnumber(L, parts[i] / 255.0);
                lua_rawseti(L, -2, static_cast<int>(i) + 1);
            }
            break;
        }
        case kEmptyTable:
            lua_newtable(L);
            break;
        case kFunction:
            PushGlobal(L, "Value");
            break;
        case kFailingFunction:
            PushGlobal(L, "Failing");
            break;
        case kMessage:
            PushLuaMessage(L, new TMessage(TMessage::kGeneric, "fuzz"));
            break;
        case kThread:
            lua_newthread(L);
            break;
        case kLight:
            lua_pushlightuserdata(L, &gLightTarget);
            break;
        default:
            PushGlobal(L, "Trap");
            break;
    }
}

// Decodes the tables and the events. The open tables sit on the stack, the root at index 1 and
// the open table on top.
void Decode(lua_State* L, TReader& in, std::vector<TPlatformEvent>& events) {
    lua_settop(L, 0);
    lua_newtable(L);
    lua_pushstring(L, "typename");
    lua_pushstring(L, kTypeNames[in.Byte() % kTypeCount]);
    lua_rawset(L, 1);
    while (!in.AtEnd()) {
        int open = lua_gettop(L);
        auto slot = [open](uint8_t byte) { return 1 + byte % open; };
        switch (in.Byte() % kOpCount) {
            case kSet:
                lua_pushstring(L, kKeys[in.Byte() % kKeyCount]);
                PushValue(L, in);
                lua_rawset(L, open);
                break;
            case kOpenChild: {
                const char* type = kTypeNames[in.Byte() % kTypeCount];
                if (static_cast<size_t>(open) >= kMaxDepth) break;
                lua_newtable(L);
                lua_pushstring(L, "typename");
                lua_pushstring(L, type);
                lua_rawset(L, -3);
                lua_pushvalue(L, -1);
                lua_rawseti(L, open, lua_getn(L, open) + 1);
                break;
            }
            case kOpenParent:
                if (static_cast<size_t>(open) >= kMaxDepth) break;
                lua_newtable(L);
                lua_pushstring(L, "parent");
                lua_pushvalue(L, -2);
                lua_rawset(L, open);
                break;
            case kClose:
                if (open > 1) lua_pop(L, 1);
                break;
            case kLinkParent:
                lua_pushstring(L, "parent");
                lua_pushvalue(L, slot(in.Byte()));
                lua_rawset(L, open);
                break;
            case kLinkKey: {
                const char* key = kKeys[in.Byte() % kKeyCount];
                lua_pushstring(L, key);
                lua_pushvalue(L, slot(in.Byte()));
                lua_rawset(L, open);
                break;
            }
            case kDefaultStyle:
                lua_pushstring(L, "gCurrentDefaultStyle");
                lua_pushvalue(L, slot(in.Byte()));
                lua_rawset(L, LUA_GLOBALSINDEX);
                break;
            default: {
                TPlatformEvent event;
                event.type = kEventTypes[in.Byte() % kEventTypeCount];
                event.x = 3 * in.Byte();
                event.y = 3 * in.Byte();
                event.value = in.Byte();
                if (events.size() < kMaxEvents) events.push_back(event);
                break;
            }
        }
    }
    lua_settop(L, 1);
}

TRecordingRenderSink& Sink() {
    static TRecordingRenderSink* sink = [] {
        auto* made = new TRecordingRenderSink;
        TRenderer::GetInstance()->SetSink(made);
        TRenderer::GetInstance()->PushViewport({0, 0, 640, 480});
        return made;
    }();
    return *sink;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TRecordingRenderSink& sink = Sink();
    sink.mFills.clear();
    sink.mViewports.clear();
    {
        TWindowManager manager;
        auto* screen = new TScreen;
        manager.SetScreen(screen);
        screen->SetSize(640, 480);
        manager.SetScript(new TWindowScript);
        auto* modal = new TModalWindow;
        modal->SetName("fuzz");
        manager.PushModal(modal);
        manager.RegisterWindowType("Modal", TModalWindow::TypeId());

        TWindowScript* script = manager.GetScript();
        lua_State* L = script->GetState();
        lua_dostring(L, kBuild);
        TReader in(data, size);
        std::vector<TPlatformEvent> events;
        Decode(L, in, events);
        PushGlobal(L, "Build");
        lua_insert(L, 1);
        lua_pushnumber(L, 0);
        lua_pcall(L, 2, 0, 0);
        lua_settop(L, 0);

        for (const TPlatformEvent& event : events)
            manager.HandleEvent(event);
        TRenderer* renderer = TRenderer::GetInstance();
        if (renderer->BeginDraw(false)) {
            const auto& modals = manager.GetModals();
            for (auto it = modals.rbegin(); it != modals.rend(); ++it)
                (*it)->DrawTree(0);
            renderer->EndDraw(0);
        }
    }
    return 0;
}
