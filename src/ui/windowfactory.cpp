// TWindowScript's window factory: window types by name, windows made from Lua tables, and the
// stack of current windows under which they are made.
#include <algorithm>
#include <memory>

#include "foundation/log.h"
#include "script/lua/lib/auxlib.h"
#include "script/lua/lua.h"
#include "script/luatable.h"
#include "ui/window.h"
#include "ui/windowscript.h"
#include "ui/windowstyle.h"

namespace {

// A dialog file calls the type name on a table: the library's hook "Creating" sees the table,
// which is marked with its type, and the answer is the function that creates the window when the
// dialog runs.
const char kWindowTypeText[] =
    "function %s( table )\tCreating( '%s', table );\ttable.typename='%s';\n\treturn function() "
    "DoWindow( table ) end end;";
const char kDialogSizeText[] = "gDialogWidth = %d; gDialogHeight= %d ;";

// Runs Lua text; whatever it leaves is dropped.
void RunText(lua_State* L, const str& text) {
    int height = lua_gettop(L);
    lua_dostring(L, text.c_str());
    if (lua_gettop(L) > height) lua_settop(L, height);
}

}  // namespace

void TWindowScript::DefineWindowType(const str& name, TClassId creator) {
    const char* type = name.c_str();
    RunText(GetState(), str::Format(kWindowTypeText, type, type, type));
    mWindowTypes[name] = creator;
}

TClassId TWindowScript::GetWindowType(const str& name) const {
    auto entry = mWindowTypes.find(name);
    return entry != mWindowTypes.end() ? entry->second : nullptr;
}

TLuaTable* TWindowScript::HoldTable(lua_State* L, int index) {
    lua_pushvalue(L, index);
    return new TLuaTable(LuaMoveToHost(L));
}

int TWindowScript::GenericCreate(lua_State* L) {
    // In the script's own state: a window may keep functions read from its table.
    std::unique_ptr<TLuaTable> table(HoldTable(L, 1));
    TWindowStyle style(table.get());
    TClassId creator = GetWindowType(style.GetString("typename", str()));
    if (creator == nullptr) return 0;
    // A type whose class cannot be created makes nothing.
    TWindow* window = TWindow::CallCreator(creator);
    if (window != nullptr && !AttachNewWindow(window, *table)) delete window;
    return 0;
}

bool TWindowScript::AttachNewWindow(TWindow* window, TLuaTable& table) {
    TWindow* parent = GetCurrentWindow();
    if (window == nullptr || parent == nullptr || !parent->AddChild(window, true)) return false;
    TWindowStyle style(&table);
    window->Init(style);
    PushCurrentWindow(window);
    RunText(table.GetState(),
            str::Format(kDialogSizeText, window->GetWidth(), window->GetHeight()));
    if (mCreationListener != nullptr) mCreationListener->OnWindowCreated(window, style);
    return true;
}

void TWindowScript::PostCreate(TLuaTable* table, str /*typeName*/) {
    TWindow* window = GetCurrentWindow();
    if (window == nullptr) return;
    TWindowStyle style(table);
    window->PostInit(style);
}

void TWindowScript::PushCurrentWindow(TWindow* window) {
    mWindowStack.push_back(window);
}

void TWindowScript::PopCurrentWindow() {
    if (mWindowStack.size() > 1) mWindowStack.pop_back();
}

void TWindowScript::ResetWindowStack(TWindow* window) {
    mWindowStack.assign(1, window);
}

TWindow* TWindowScript::GetCurrentWindow() const {
    return mWindowStack.empty() ? nullptr : mWindowStack.back();
}

void TWindowScript::ForgetWindow(TWindow* window) {
    std::replace(mWindowStack.begin(), mWindowStack.end(), window, static_cast<TWindow*>(nullptr));
}

void TWindowScript::PopWindow() {
    PopCurrentWindow();
}
