#include "port/window/messagebox.h"

#include <mutex>
#include <vector>

#include "port/failinjection.h"
#include "port/window/backend.h"
#include "port/window/control.h"

namespace port {
namespace {

struct BoxState {
    std::mutex mutex;
    std::vector<MessageBoxRecord> boxes;
    int answer = 0;
};

BoxState& State() {
    static BoxState* state = new BoxState;
    return *state;
}

}  // namespace

void ResetMessageBoxes() {
    BoxState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.boxes.clear();
    state.answer = 0;
}

namespace {

int FirstButton(UINT flags) {
    switch (flags & 0x0F) {
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        case MB_YESNOCANCEL:
        case MB_YESNO:
            return IDYES;
        case MB_RETRYCANCEL:
            return IDRETRY;
        default:
            return IDOK;
    }
}

}  // namespace

int ConfiguredMessageBoxAnswer(UINT flags) {
    BoxState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.answer != 0 ? state.answer : FirstButton(flags);
}

namespace control {

std::vector<MessageBoxRecord> MessageBoxes() {
    BoxState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.boxes;
}

void ClearMessageBoxes() {
    BoxState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.boxes.clear();
}

void SetMessageBoxAnswer(int answer) {
    BoxState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.answer = answer;
}

}  // namespace control
}  // namespace port

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT flags) {
    if (port::ShouldFail("MessageBoxA")) return 0;
    port::MessageBoxRecord box{owner, text != nullptr ? text : "",
                               caption != nullptr ? caption : "Error", flags};
    {
        port::BoxState& state = port::State();
        std::lock_guard<std::mutex> lock(state.mutex);
        state.boxes.push_back(box);
    }
    return port::Backend().ShowMessageBox(box);
}
