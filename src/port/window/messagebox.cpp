#include "port/window/messagebox.h"

#include <mutex>
#include <vector>

#include "port/failinjection.h"
#include "port/portlog.h"
#include "port/system/textconv.h"
#include "port/window/backend.h"
#include "port/window/control.h"

namespace port {
namespace {

struct BoxState {
    std::mutex mutex;
    std::vector<MessageBoxRecord> boxes;
    int answer = 0;
    bool unattended = false;
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
    state.unattended = false;
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

bool HasButton(UINT flags, int id) {
    switch (flags & 0x0F) {
        case MB_OKCANCEL:
            return id == IDOK || id == IDCANCEL;
        case MB_ABORTRETRYIGNORE:
            return id == IDABORT || id == IDRETRY || id == IDIGNORE;
        case MB_YESNOCANCEL:
            return id == IDYES || id == IDNO || id == IDCANCEL;
        case MB_YESNO:
            return id == IDYES || id == IDNO;
        case MB_RETRYCANCEL:
            return id == IDRETRY || id == IDCANCEL;
        default:
            return id == IDOK;
    }
}

const char* ButtonName(int id) {
    switch (id) {
        case IDOK:
            return "OK";
        case IDCANCEL:
            return "Cancel";
        case IDABORT:
            return "Abort";
        case IDRETRY:
            return "Retry";
        case IDIGNORE:
            return "Ignore";
        case IDYES:
            return "Yes";
        case IDNO:
            return "No";
        default:
            return "nothing";
    }
}

bool Unattended() {
    BoxState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.unattended;
}

}  // namespace

int ConfiguredMessageBoxAnswer(UINT flags) {
    BoxState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    // A box can only answer with one of its buttons: "no" set for every box still gives an
    // MB_OK box its OK.
    return HasButton(flags, state.answer) ? state.answer : FirstButton(flags);
}

void AnswerMessageBoxesUnattended(bool on) {
    BoxState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.unattended = on;
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
    int answer = port::Unattended() ? port::ConfiguredMessageBoxAnswer(flags)
                                    : port::Backend().ShowMessageBox(box);
    port::Log("Message box \"%s\": \"%s\" answered %s", port::ToUtf8(box.caption).c_str(),
              port::ToUtf8(box.text).c_str(), port::ButtonName(answer));
    return answer;
}
