// TWindowScript's making and unmaking: the functions, window types, message metatable and
// library it gives its state, and the resumes that keep its wait state.
#include "ui/windowscript.h"

#include "foundation/prefs/stringtable.h"
#include "platform/platform.h"
#include "script/lua/lib/auxlib.h"
#include "script/lua/lua.h"
#include "ui/button.h"
#include "ui/hotkeylabel.h"
#include "ui/image.h"
#include "ui/luamessage.h"
#include "ui/movieplayer.h"
#include "ui/slider.h"
#include "ui/text.h"
#include "ui/textedit.h"
#include "ui/window.h"
#include "ui/windowlibrary.h"

namespace {

str WindowGetConfig(str key, str fallback) {
    return TPlatform::GetConfig(key, fallback);
}

// A double holds every 32-bit count exactly.
double WindowGetTimer() {
    return static_cast<double>(TPlatform::GetTimer());
}

bool WindowIsEnabled(str key) {
    return IsEnabled(key);
}

bool WindowStringToClipboard(str text) {
    TPlatform* application = TPlatform::GetInstance();
    return application != nullptr && application->StringToClipboard(text);
}

// The third argument is not used.
str WindowTagHotKey(str key, str label, str /*third*/) {
    return TagHotKey(key, label);
}

// A label that starts with "#" is its own text; any other is looked up in the string table, with
// five substitutions. Before the string table exists a label stands for itself.
str WindowGetString(str label, str arg1, str arg2, str arg3, str arg4, str arg5) {
    if (label.GetAt(0) == '#') return label.Substring(1);
    TPlatform* application = TPlatform::GetInstance();
    TStringTable* table = application != nullptr ? application->GetStringTable() : nullptr;
    if (table == nullptr) return label;
    return table->GetString(label, arg1, arg2, arg3, arg4, arg5);
}

}  // namespace

void luabinding::TResult<TMessage*>::Push(lua_State* L, TMessage* message) {
    if (message != nullptr)
        PushLuaMessage(L, message);
    else
        lua_pushnil(L);
}

TWindowScript::TWindowScript(lua_State* state) : TScript(state) {
    RegisterFunctions();
    // The widgets' types come first as their classes join: "Slider", "Bitmap", "Button", "Text",
    // "TextEdit".
    DefineWindowType("Slider", TSlider::TypeId());
    DefineWindowType("Bitmap", TImage::TypeId());
    DefineWindowType("Button", TButton::TypeId());
    DefineWindowType("Text", TText::TypeId());
    DefineWindowType("TextEdit", TTextEdit::TypeId());
    DefineWindowType("Window", TWindow::TypeId());
    RegisterMessageMetatable(GetState());
    std::string_view library = GetWindowLibrary();
    if (!library.empty()) {
        lua_State* L = GetState();
        int height = lua_gettop(L);
        lua_dobuffer(L, library.data(), library.size(), "gScreenInit");
        lua_settop(L, height);
    }
}

TWindowScript::~TWindowScript() {
    StopMovie();
    DeletePending();
    // Collects at once: the messages Lua no longer refers to are deleted now.
    lua_setgcthreshold(GetState(), 0);
}

void TWindowScript::RegisterFunctions() {
    TLuaBindings& b = mBindings;
    b.Bind("PostCreate", this, &TWindowScript::PostCreate);
    b.Bind("GetLabel", this, &TWindowScript::GetLabel);
    b.Bind("_RegisterHotkey", this, &TWindowScript::RegisterHotkey);
    b.Bind("SetLabel", this, &TWindowScript::SetLabel);
    b.BindFunction("TagHotKey", &WindowTagHotKey);
    b.Bind("_SetBitmap", this, &TWindowScript::SetBitmap);
    b.Bind("SetPosition", this, &TWindowScript::SetPosition);
    b.BindStack("SetCommand", this, &TWindowScript::SetCommand);
    b.BindStack("StripKeyFromLabel", this, &TWindowScript::StripKeyFromLabel);
    b.Bind("SetWindowName", this, &TWindowScript::SetWindowName);
    b.Bind("FillRect", this, &TWindowScript::FillRect);
    b.BindFunction("GetTimer", &WindowGetTimer);
    b.BindFunction("GetConfig", &WindowGetConfig);
    b.BindFunction("IsEnabled", &WindowIsEnabled);
    b.Bind("DoSelectLayer", this, &TWindowScript::DoSelectLayer);
    b.Bind("EnableWindow", this, &TWindowScript::EnableWindow);
    b.Bind("GetButtonToggleState", this, &TWindowScript::GetButtonToggleState);
    b.Bind("SetButtonToggleState", this, &TWindowScript::SetButtonToggleState);
    b.Bind("PopWindow", this, &TWindowScript::PopWindow);
    b.Bind("RealSetFocus", this, &TWindowScript::RealSetFocus);
    b.BindFunction("StringToClipboard", &WindowStringToClipboard);
    b.Bind("UpdateWindow", this, &TWindowScript::UpdateWindow);
    b.Bind("PushModal", this, &TWindowScript::PushModal);
    b.Bind("ClearModalChildren", this, &TWindowScript::ClearModalChildren);
    b.Bind("GetWindowDepth", this, &TWindowScript::GetWindowDepth);
    b.Bind("DoPopModal", this, &TWindowScript::DoPopModal);
    b.BindStack("HandleGetMessage", this, &TWindowScript::HandleGetMessage);
    b.BindStack("GenericCreate", this, &TWindowScript::GenericCreate);
    b.Bind("CreateNamedMessage", this, &TWindowScript::CreateNamedMessage);
    b.Bind("CreateCloseMessage", this, &TWindowScript::CreateCloseMessage);
    b.BindStack("PostMessage", this, &TWindowScript::PostMessage);
    b.BindStack("PostMessageToParent", this, &TWindowScript::PostMessageToParent);
    b.BindFunction("_GetString", &WindowGetString);
    b.Bind("StartMovie", this, &TWindowScript::StartMovie);
    b.Bind("IsMoviePlaying", this, &TWindowScript::IsMoviePlaying);
    b.Bind("StopMovie", this, &TWindowScript::StopMovie);
    b.Bind("ImageLoaded", this, &TWindowScript::ImageLoaded);
    b.Bind("DestroyWindow", this, &TWindowScript::DestroyWindow);
    b.Bind("DoFitToChildren", this, &TWindowScript::DoFitToChildren);
}

bool TWindowScript::Animate() {
    if (IsYielded()) mWaitState = kRunning;
    return TScript::Animate();
}

bool TWindowScript::DeliverCommand() {
    lua_State* L = GetState();
    lua_pushnil(L);
    lua_insert(L, -2);
    return ResumeWaiting(2) == 0;
}

int TWindowScript::ResumeWaiting(int nargs) {
    // Resumed, the coroutine no longer waits where it did: a later yield elsewhere is no wait for
    // a message.
    mWaitState = kRunning;
    int status = Resume(nargs);
    if (status != 0) mWaitState = kResumeFailed;
    return status;
}

bool TWindowScript::SetUtf8(bool on) {
    bool previous = mUtf8;
    mUtf8 = on;
    return previous;
}
