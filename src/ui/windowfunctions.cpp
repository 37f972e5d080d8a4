// TWindowScript's Lua functions that reach windows by name: in the top modal, in the modal chain
// (the top modal, then each modal it covers), or under the current window. Without the window
// (or the top modal, or a current window) they do nothing and answer their default; only
// GetLabel answers a diagnostic text.
#include <algorithm>
#include <memory>

#include "foundation/log.h"
#include "foundation/saturate.h"
#include "platform/draw/renderer.h"
#include "platform/texture/texture.h"
#include "script/lua/lua.h"
#include "script/luabinding.h"
#include "script/luaobjectwrapper.h"
#include "script/luatable.h"
#include "ui/button.h"
#include "ui/hotkeylabel.h"
#include "ui/image.h"
#include "ui/modalwindow.h"
#include "ui/text.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"

namespace {

TModalWindow* TopModal() {
    TWindowManager* manager = TWindowManager::Get();
    return manager != nullptr ? manager->GetTopModal() : nullptr;
}

TWindow* FindInTopModal(const str& name) {
    TModalWindow* top = TopModal();
    return top != nullptr ? top->FindChild(name) : nullptr;
}

TWindow* FindInModalChain(const str& name) {
    for (TWindow* modal = TopModal(); modal != nullptr; modal = modal->GetParent()) {
        if (TWindow* window = modal->FindChild(name)) return window;
    }
    return nullptr;
}

}  // namespace

str TWindowScript::GetLabel(str name) {
    if (TopModal() == nullptr) return str();
    TWindow* window = FindInTopModal(name);
    if (window == nullptr) return name + "_is_not_found";
    if (auto* text = TWindow::CastTo<TText>(window)) return text->GetText();
    if (auto* button = TWindow::CastTo<TButton>(window)) return button->GetLabelText();
    return name + "_is_not_a_TText_window_or_TButton";
}

void TWindowScript::RegisterHotkey(str key, str buttonName) {
    TModalWindow* top = TopModal();
    if (key.Length() != 0 && top != nullptr) top->SetHotKey(key, buttonName);
}

// Only text windows and buttons have a label.
void TWindowScript::SetLabel(str name, str text) {
    TWindow* window = FindInTopModal(name);
    if (auto* label = TWindow::CastTo<TText>(window))
        label->SetText(text);
    else if (auto* button = TWindow::CastTo<TButton>(window))
        button->SetLabelText(text);
}

void TWindowScript::SetBitmap(str name, str image, double scale) {
    TImage* window = TWindow::CastTo<TImage>(FindInTopModal(name));
    if (window == nullptr) return;
    window->SetTexture(TTexture::Get(image, 0), static_cast<float>(scale));
}

bool TWindowScript::ImageLoaded(str name) {
    TImage* window = TWindow::CastTo<TImage>(FindInTopModal(name));
    return window != nullptr && window->GetTexture() != nullptr;
}

void TWindowScript::SetPosition(str name, int x, int y) {
    TWindow* window = FindInTopModal(name);
    if (window == nullptr) return;
    int width = window->GetWidth();
    int height = window->GetHeight();
    window->ResolveCoordinate(x, width, -1, false);
    window->ResolveCoordinate(y, height, -1, true);
    window->MoveTo(x, y);
}

int TWindowScript::SetCommand(lua_State* L) {
    if (lua_gettop(L) == 0) return 0;
    str name = LuaToStr(L, 1);
    lua_pushvalue(L, -1);
    // The function on top; a command for no button goes again.
    std::unique_ptr<TLuaFunction> command(new TLuaFunction(LuaMoveToHost(L)));
    if (auto* button = TWindow::CastTo<TButton>(FindInTopModal(name)))
        button->SetAction(new TButton::LuaAction(command.release()));
    return 0;
}

int TWindowScript::StripKeyFromLabel(lua_State* L) {
    THotKeyLabel stripped = ::StripKeyFromLabel(LuaToStr(L, 1));
    PushLuaStr(L, stripped.label);
    PushLuaStr(L, stripped.key);
    return 2;
}

void TWindowScript::SetWindowName(str name) {
    if (TWindow* window = GetCurrentWindow()) window->SetName(name);
}

void TWindowScript::FillRect(TLuaTable* rect, TLuaTable* colour) {
    TWindowManager* manager = TWindowManager::Get();
    TScreen* screen = manager != nullptr ? manager->GetScreen() : nullptr;
    if (screen == nullptr) return;
    auto edge = [rect](int index) { return TruncateToInt(rect->GetNumberAt(index, 0.0)); };
    auto part = [colour](int index) { return static_cast<float>(colour->GetNumberAt(index, 0.0)); };
    TRect area =
        TRect::Intersect(TRect{edge(1), edge(2), edge(3), edge(4)}, screen->GetScreenRect());
    if (area.IsEmpty()) return;
    TRenderer* renderer = TRenderer::GetInstance();
    // As a window draws: the display's viewport is the rectangle, whose corner the renderer's
    // fill counts from, and the pushed viewport cuts the drawing to it.
    renderer->SetViewport(area);
    renderer->PushViewport(area);
    renderer->FillRect(TRect{0, 0, area.right - area.left, area.bottom - area.top},
                       TVec4{part(1), part(2), part(3), part(4)}, nullptr);
    renderer->PopState();
    renderer->PopViewport();
}

void TWindowScript::DoSelectLayer(int layer) {
    if (auto* layered = TWindow::CastTo<TLayeredWindow>(GetCurrentWindow()))
        layered->SelectLayer(layer);
}

bool TWindowScript::EnableWindow(str name, bool enable) {
    TWindow* window = FindInModalChain(name);
    if (window == nullptr) return false;
    uint32_t flags = window->GetFlags();
    window->SetFlags(enable ? flags | TWindow::kVisible : flags & ~uint32_t{TWindow::kVisible});
    // A hidden button lets go of the pointer.
    if (auto* button = TWindow::CastTo<TButton>(window); button != nullptr && !enable)
        button->OnMouseLeave();
    TWindowManager::Get()->MarkDirty();
    return true;
}

bool TWindowScript::GetButtonToggleState(str name) {
    auto* button = TWindow::CastTo<TButton>(FindInModalChain(name));
    return button != nullptr && button->IsChecked();
}

void TWindowScript::SetButtonToggleState(str name, bool state) {
    for (TWindow* modal = TopModal(); modal != nullptr; modal = modal->GetParent()) {
        if (auto* button = TWindow::CastTo<TButton>(modal->FindChild(name)))
            button->SetToggleState(state);
    }
}

void TWindowScript::RealSetFocus(str name) {
    TWindow* current = GetCurrentWindow();
    if (current == nullptr) return;
    TWindowManager::Get()->SetFocusWindow(current->FindChild(name));
}

void TWindowScript::UpdateWindow() {
    if (TWindowManager* manager = TWindowManager::Get()) manager->MarkDirty();
}

str TWindowScript::PushModal(str name) {
    TWindowManager* manager = TWindowManager::Get();
    if (manager == nullptr) return str();
    auto* modal = new TModalWindow;
    modal->SetName(name);
    if (!manager->PushModal(modal)) {
        delete modal;
        return str();
    }
    return modal->GetIdString();
}

void TWindowScript::ClearModalChildren() {
    TModalWindow* top = TopModal();
    if (top == nullptr) return;
    top->ApplyPendingTasks();
    top->DeleteChildren();
    top->SetSize(0, 0);
    top->MoveTo(0, 0);
}

int TWindowScript::GetWindowDepth() {
    int depth = 0;
    for (TWindow* window = TopModal(); window != nullptr; window = window->GetParent())
        ++depth;
    return depth;
}

void TWindowScript::DoPopModal(str name) {
    if (TWindowManager* manager = TWindowManager::Get()) manager->DoPopModal(name);
}

void TWindowScript::DestroyWindow(str name) {
    TWindow* current = GetCurrentWindow();
    TWindowManager* manager = TWindowManager::Get();
    if (current == nullptr || manager == nullptr) return;
    TWindow* window = current->FindChild(name);
    if (window == nullptr || window->GetParent() == nullptr) return;
    // Deleted at the next event, either would leave a stack pointing at a dead window.
    if (window->IsKindOf(TModalWindow::TypeId())) {
        LogPrintf("DestroyWindow refused: '%s' is a modal window, closed through DoPopModal",
                  name.c_str());
        return;
    }
    if (std::any_of(mWindowStack.begin(), mWindowStack.end(), [window](const TWindow* stacked) {
            return stacked != nullptr && stacked->IsWithin(window);
        })) {
        LogPrintf("DestroyWindow refused: '%s' holds a window the script is creating in",
                  name.c_str());
        return;
    }
    window->GetParent()->RemoveChild(window);
    manager->DeleteWindowLater(window);
}

void TWindowScript::DoFitToChildren() {
    if (TWindow* window = GetCurrentWindow()) window->FitToChildren();
}
