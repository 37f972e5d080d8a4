#include "port/window/queue.h"

#include <algorithm>

#include "port/failinjection.h"
#include "port/system/clock.h"
#include "port/system/lasterror.h"
#include "port/window/backend.h"
#include "port/window/vkeys.h"
#include "port/window/windowinternal.h"

namespace port {
namespace {

inline HWND const kThreadOnly = reinterpret_cast<HWND>(-1);

bool MatchesLocked(WindowWorld& world, const MSG& msg, HWND filter, UINT first, UINT last) {
    if ((first != 0 || last != 0) && (msg.message < first || msg.message > last)) return false;
    if (filter == nullptr) return true;
    if (filter == kThreadOnly) return msg.hwnd == nullptr;
    return msg.hwnd == filter || IsAncestorLocked(world, filter, msg.hwnd);
}

// The system's sends before a mouse message is answered; true when the message is eaten.
bool RunInputSends(const QueuedMessage& entry) {
    HWND target = entry.msg.hwnd;
    bool eat = false;
    if (entry.mouseActivate) {
        HWND top = nullptr;
        bool inFront = false;
        {
            WorldLock lock = LockWorld();
            WindowWorld& world = World();
            Window* topLevel = TopLevelLocked(world, FindLocked(world, target));
            if (topLevel == nullptr) return true;
            top = topLevel->handle;
            inFront = world.foreground == top;
        }
        if (!inFront) {
            LRESULT answer = SendTo(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                                    MAKELPARAM(HTCLIENT, entry.msg.message));
            if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) ChangeForeground(top, true);
            eat = answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT;
        }
    }
    if (entry.setCursor && !eat) {
        SendTo(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
               MAKELPARAM(HTCLIENT, entry.msg.message));
    }
    return eat;
}

MSG MakeMessage(WindowWorld& world, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return MSG{window, message, wParam, lParam, timeGetTime(), world.pointer};
}

BOOL PeekCore(MSG* msg, HWND filter, UINT first, UINT last, UINT remove) {
    if (msg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Backend().PumpEvents();
    for (;;) {
        QueuedMessage pending;
        {
            WorldLock lock = LockWorld();
            WindowWorld& world = World();
            CheckHoverLocked(world);
            auto matches = [&](const QueuedMessage& entry) {
                return MatchesLocked(world, entry.msg, filter, first, last);
            };
            auto posted = std::find_if(world.posted.begin(), world.posted.end(), matches);
            if (posted != world.posted.end()) {
                *msg = posted->msg;
                if ((remove & PM_REMOVE) != 0) world.posted.erase(posted);
                return TRUE;
            }
            // The quit flag is looked at once no posted message is left, before input.
            if (world.quit) {
                *msg = MakeMessage(world, nullptr, WM_QUIT, static_cast<WPARAM>(world.quitCode), 0);
                if ((remove & PM_REMOVE) != 0) world.quit = false;
                return TRUE;
            }
            auto input = std::find_if(world.input.begin(), world.input.end(), matches);
            if (input != world.input.end()) {
                if (!input->sendsDone && (input->mouseActivate || input->setCursor)) {
                    input->sendsDone = true;
                    pending = *input;
                } else {
                    if (!input->stateApplied && input->keyCode != 0) {
                        SetKeyLocked(world.syncKeys, input->keyCode, input->keyDown);
                    }
                    input->stateApplied = true;
                    *msg = input->msg;
                    if ((remove & PM_REMOVE) != 0) world.input.erase(input);
                    return TRUE;
                }
            } else {
                for (auto& entry : world.windows) {
                    Window& window = *entry.second;
                    if (window.destroyed || window.foreign || !window.invalid ||
                        !IsVisibleLocked(world, &window)) {
                        continue;
                    }
                    MSG paint = MakeMessage(world, window.handle, WM_PAINT, 0, 0);
                    if (!MatchesLocked(world, paint, filter, first, last)) continue;
                    *msg = paint;
                    return TRUE;
                }
                DWORD now = timeGetTime();
                for (Timer& timer : world.timers) {
                    if (static_cast<int32_t>(now - timer.due) < 0) continue;
                    MSG tick = MakeMessage(world, timer.window, WM_TIMER, timer.id,
                                           reinterpret_cast<LPARAM>(timer.function));
                    if (!MatchesLocked(world, tick, filter, first, last)) continue;
                    if ((remove & PM_REMOVE) != 0) timer.due = now + timer.period;
                    *msg = tick;
                    return TRUE;
                }
                return FALSE;
            }
        }
        // The sends run unlocked; then the queue is looked at again.
        if (RunInputSends(pending)) {
            WorldLock lock = LockWorld();
            std::deque<QueuedMessage>& input = World().input;
            input.erase(std::remove_if(input.begin(), input.end(),
                                       [&](const QueuedMessage& entry) {
                                           return entry.serial == pending.serial;
                                       }),
                        input.end());
        }
    }
}

BOOL PostCore(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WorldLock lock = LockWorld();
    WindowWorld& world = World();
    if (window != nullptr && FindLocked(world, window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    PostLocked(world, window, message, wParam, lParam);
    return TRUE;
}

LRESULT DispatchCore(const MSG* msg) {
    if (msg == nullptr) return 0;
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        // Only a function that a live timer was given is called, as Windows does: a WM_TIMER
        // posted with any other value must not jump to it.
        auto function = reinterpret_cast<TIMERPROC>(msg->lParam);
        {
            WorldLock lock = LockWorld();
            const std::vector<Timer>& timers = World().timers;
            if (std::none_of(timers.begin(), timers.end(),
                             [&](const Timer& timer) { return timer.function == function; })) {
                return 0;
            }
        }
        function(msg->hwnd, WM_TIMER, msg->wParam, timeGetTime());
        return 0;
    }
    if (msg->hwnd == nullptr) return 0;
    return SendTo(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

}  // namespace

LRESULT SendTo(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = nullptr;
    {
        WorldLock lock = LockWorld();
        Window* window = FindLocked(World(), handle);
        if (window == nullptr) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        if (window->foreign) {
            window->received.push_back(control::RecordedMessage{message, wParam, lParam, true});
            return 0;
        }
        proc = window->proc;
    }
    return proc(handle, message, wParam, lParam);
}

void PostLocked(WindowWorld& world, HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (handle != nullptr) {
        Window* window = FindLocked(world, handle);
        if (window == nullptr) return;
        if (window->foreign) {
            window->received.push_back(control::RecordedMessage{message, wParam, lParam, false});
            return;
        }
    }
    QueuedMessage entry;
    entry.msg = MakeMessage(world, handle, message, wParam, lParam);
    entry.serial = world.nextSerial++;
    world.posted.push_back(entry);
}

void PostInputLocked(WindowWorld& world, QueuedMessage entry) {
    entry.msg.time = timeGetTime();
    entry.msg.pt = world.pointer;
    entry.serial = world.nextSerial++;
    world.input.push_back(entry);
}

void PurgeMessagesLocked(WindowWorld& world, HWND handle) {
    auto addressed = [handle](const QueuedMessage& entry) { return entry.msg.hwnd == handle; };
    world.posted.erase(std::remove_if(world.posted.begin(), world.posted.end(), addressed),
                       world.posted.end());
    world.input.erase(std::remove_if(world.input.begin(), world.input.end(), addressed),
                      world.input.end());
}

}  // namespace port

using port::LockWorld;
using port::World;
using port::WorldLock;

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return port::PostCore(window, message, wParam, lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return port::PostCore(window, message, wParam, lParam);
}

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    if (threadId == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return port::PostCore(nullptr, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    WorldLock lock = LockWorld();
    World().quit = true;
    World().quitCode = exitCode;
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT first, UINT last, UINT remove) {
    return port::PeekCore(msg, window, first, last, remove);
}

BOOL PeekMessageW(MSG* msg, HWND window, UINT first, UINT last, UINT remove) {
    return port::PeekCore(msg, window, first, last, remove);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return port::SendTo(window, message, wParam, lParam);
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return port::SendTo(window, message, wParam, lParam);
}

BOOL TranslateMessage(const MSG* msg) {
    if (msg == nullptr) return FALSE;
    UINT message = msg->message;
    if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_SYSKEYDOWN &&
        message != WM_SYSKEYUP) {
        return FALSE;
    }
    if (message != WM_KEYDOWN) return TRUE;
    WorldLock lock = LockWorld();
    port::WindowWorld& world = World();
    bool ctrl = (world.syncKeys[VK_CONTROL] & 0x80) != 0;
    bool alt = (world.syncKeys[VK_MENU] & 0x80) != 0;
    WPARAM key = msg->wParam;
    int character = -1;
    switch (key) {
        case VK_BACK:
            character = ctrl ? 0x7F : 8;
            break;
        case VK_TAB:
            character = ctrl ? -1 : 9;
            break;
        case VK_RETURN:
            character = ctrl ? 10 : 13;
            break;
        case VK_ESCAPE:
            character = 27;
            break;
        default:
            if (ctrl && !alt && key >= 'A' && key <= 'Z')
                character = static_cast<int>(key - 'A' + 1);
            break;
    }
    if (character >= 0) {
        port::PostLocked(world, msg->hwnd, WM_CHAR, static_cast<WPARAM>(character), msg->lParam);
    }
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    return port::DispatchCore(msg);
}

LRESULT DispatchMessageW(const MSG* msg) {
    return port::DispatchCore(msg);
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE*, BOOL, DWORD milliseconds,
                                DWORD wakeMask) {
    if (count != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    auto ready = [wakeMask] {
        WorldLock lock = LockWorld();
        port::WindowWorld& world = World();
        if ((wakeMask & (QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON)) != 0 && !world.input.empty()) {
            return true;
        }
        return (wakeMask & QS_POSTMESSAGE) != 0 && !world.posted.empty();
    };
    if (ready()) return WAIT_OBJECT_0 + count;
    port::Backend().WaitEvents(milliseconds);
    return ready() ? WAIT_OBJECT_0 + count : WAIT_TIMEOUT;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC function) {
    if (port::ShouldFail("SetTimer")) return 0;
    WorldLock lock = LockWorld();
    port::WindowWorld& world = World();
    if (window != nullptr && port::FindOwnLocked(world, window) == nullptr) return 0;
    if (window == nullptr) id = world.nextThreadTimer++;
    UINT period = std::clamp<UINT>(milliseconds, 10, 0x7FFFFFFF);
    auto existing =
        std::find_if(world.timers.begin(), world.timers.end(),
                     [&](const port::Timer& t) { return t.window == window && t.id == id; });
    port::Timer timer{window, id, period, timeGetTime() + period, function};
    if (existing != world.timers.end()) {
        *existing = timer;
    } else {
        world.timers.push_back(timer);
    }
    return id != 0 ? id : 1;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    WorldLock lock = LockWorld();
    std::vector<port::Timer>& timers = World().timers;
    auto found = std::find_if(timers.begin(), timers.end(), [&](const port::Timer& t) {
        return t.window == window && t.id == id;
    });
    if (found == timers.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    timers.erase(found);
    return TRUE;
}
