// The backend and the message-box answers a program's environment asks for.
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "port/startup.h"
#include "port/window/backend.h"
#include "port/window/control.h"
#include "port/window/messagebox.h"

namespace port {
namespace {

constexpr const char kBackendVariable[] = "UMBRAVA_BACKEND";
constexpr const char kBoxesVariable[] = "UMBRAVA_MESSAGE_BOXES";

// 0 for a name that is no button.
int ButtonNamed(const char* name) {
    static const struct {
        const char* name;
        int id;
    } kButtons[] = {{"ok", IDOK},       {"cancel", IDCANCEL}, {"abort", IDABORT},
                    {"retry", IDRETRY}, {"ignore", IDIGNORE}, {"yes", IDYES},
                    {"no", IDNO}};
    for (const auto& button : kButtons) {
        if (strcasecmp(name, button.name) == 0) return button.id;
    }
    return 0;
}

}  // namespace

bool SelectBackendFromEnvironment(const char* defaultName) {
    const char* boxes = std::getenv(kBoxesVariable);
    int answer = 0;
    if (boxes != nullptr) {
        answer = ButtonNamed(boxes);
        if (answer == 0) {
            std::fprintf(stderr,
                         "%s=%s names no button: use ok, cancel, abort, retry, ignore, yes or no\n",
                         kBoxesVariable, boxes);
            return false;
        }
    }
    const char* name = std::getenv(kBackendVariable);
    if (name == nullptr || *name == '\0') name = defaultName != nullptr ? defaultName : "headless";
    bool known = std::strcmp(name, "headless") == 0 || std::strcmp(name, "sdl") == 0;
    if (!known) {
        std::fprintf(stderr,
                     "%s=%s is no backend: use sdl (on a desktop, or under xvfb-run -a) or "
                     "%s=headless\n",
                     kBackendVariable, name, kBackendVariable);
        return false;
    }
    if (!SelectWindowBackend(name)) {
        std::fprintf(stderr,
                     "The sdl backend found no display: run on a desktop, under xvfb-run -a, or "
                     "with %s=headless\n",
                     kBackendVariable);
        return false;
    }
    if (answer != 0) {
        control::SetMessageBoxAnswer(answer);
        AnswerMessageBoxesUnattended(true);
    }
    return true;
}

}  // namespace port
