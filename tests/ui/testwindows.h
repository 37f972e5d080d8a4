// Windows and messages for the window-system tests: they count their live instances and write
// what reaches them into a journal ("name.down(3,4)"), and their handlers answer true for the
// kinds listed in takes ("down", "key", "message", ...).
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "support/printers.h"
#include "ui/message.h"
#include "ui/modalwindow.h"
#include "ui/window.h"

namespace uitest {

using TJournal = std::vector<std::string>;

// The window for drawing and routing tests.
class TTestWindow : public TWindow {
public:
    static inline int sLive = 0;

    explicit TTestWindow(const str& name = str(), TJournal* journal = nullptr)
        : TWindow(name), mJournal(journal) {
        ++sLive;
    }
    ~TTestWindow() override { --sLive; }

    const char* GetClassName() const override { return "TTestWindow"; }
    bool IsKindOf(TClassId id) const override { return id == TypeId() || TWindow::IsKindOf(id); }
    static TClassId TypeId() { return &SelfClassId<TTestWindow>; }

    bool OnActivate() override {
        Note("activate");
        return !refuseActivation;
    }
    void Draw() override { Note("draw"); }
    void PostDraw() override { Note("postdraw"); }
    bool OnMessage(TMessage* message) override {
        return Note("message(" + std::string(message->GetName().c_str()) + ")", "message");
    }
    bool OnTimer() override {
        ++timerRuns;
        Note("timer");
        return timerRuns < timerLimit;
    }
    bool OnMouseDown(const TPoint& p) override { return Note("down" + At(p), "down"); }
    bool OnMouseButton(const TPoint& p, int code) override {
        return Note("button" + std::to_string(code) + At(p), "button");
    }
    bool OnMouseUp(const TPoint& p) override { return Note("up" + At(p), "up"); }
    bool OnMouseMove(const TPoint& p) override { return Note("move" + At(p), "move"); }
    bool OnMouseLeave() override { return Note("leave"); }
    bool OnChar(uint8_t ch) override { return Note("char(" + std::to_string(ch) + ")", "char"); }
    bool OnTextInput(str utf8) override {
        return Note("text(" + std::string(utf8.c_str()) + ")", "text");
    }
    bool OnKeyDown(uint8_t key, int modifiers) override {
        return Note("keydown(" + std::to_string(key) + "," + std::to_string(modifiers) + ")",
                    "key");
    }
    bool OnKeyUp(uint8_t key) override { return Note("keyup(" + std::to_string(key) + ")", "key"); }
    void OnSetFocus(TWindow* previous) override {
        Note("focus(from " + std::string(previous != nullptr ? previous->GetName().c_str() : "-") +
             ")");
    }
    void OnModalPopped() override { Note("popped"); }

    // Sets the fixed flags too, as a constructor may.
    void SetAllFlags(uint32_t flags) { SetRawFlags(flags); }

    std::set<std::string> takes;
    bool refuseActivation = false;
    int timerRuns = 0;
    int timerLimit = 1000000;

private:
    static std::string At(const TPoint& p) {
        return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    }
    // Records the call; answers whether the kind is taken.
    bool Note(const std::string& what, const std::string& kind = std::string()) {
        if (mJournal != nullptr) mJournal->push_back(std::string(GetName().c_str()) + "." + what);
        return !kind.empty() && takes.count(kind) != 0;
    }

    TJournal* mJournal;
};

// A modal whose instances are counted; it notes its messages, its focus, its drawing and the pops
// below it too.
class TTestModal : public TModalWindow {
public:
    static inline int sLive = 0;
    explicit TTestModal(const str& name = str(), TJournal* journal = nullptr) : mJournal(journal) {
        SetName(name);
        ++sLive;
    }
    ~TTestModal() override { --sLive; }

    bool OnMessage(TMessage* message) override {
        if (mJournal != nullptr) {
            mJournal->push_back(std::string(GetName().c_str()) + ".message(" +
                                message->GetName().c_str() + ")");
        }
        return takesMessages || TModalWindow::OnMessage(message);
    }
    void OnSetFocus(TWindow* previous) override {
        Note("focus");
        TModalWindow::OnSetFocus(previous);
    }
    void Draw() override { Note("draw"); }
    void OnModalPopped() override { Note("popped"); }
    // Sets the fixed flags too, as a constructor may.
    void SetAllFlags(uint32_t flags) { SetRawFlags(flags); }

    bool takesMessages = false;

private:
    void Note(const char* what) {
        if (mJournal != nullptr) mJournal->push_back(std::string(GetName().c_str()) + "." + what);
    }

    TJournal* mJournal;
};

class TTestMessage : public TMessage {
public:
    static inline int sLive = 0;
    explicit TTestMessage(const str& name, TWindow* target = nullptr)
        : TTestMessage(TMessage::kGeneric, name, target) {}
    TTestMessage(int32_t type, const str& name, TWindow* target = nullptr)
        : TMessage(type, name, target) {
        ++sLive;
    }
    ~TTestMessage() override { --sLive; }
};

// A window of the given rectangle (in its parent's coordinates).
template <class T = TTestWindow, class... Args>
T* MakeWindow(TWindow* parent, TRect rect, Args&&... args) {
    auto* window = new T(std::forward<Args>(args)...);
    window->SetRect(rect);
    if (parent != nullptr) parent->AddChild(window, false);
    return window;
}

}  // namespace uitest
