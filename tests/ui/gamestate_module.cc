// A module plug-in for the game-state tests. Every call, and the module's loading and unloading,
// is appended as a line to the file that UMBRAVA_MODULE_JOURNAL names, where a test reads it after
// the module is gone. Its handler takes the key "module.take", answers the filtered value of
// "module.filter" with "filtered", and answers its queries true once "module.answer" is "1".
//
// Built three times: as it is, with MODULE_CREATES_NOTHING ("CreateHandler" answers null) and with
// MODULE_WITHOUT_DESTROY (no "DestroyHandler"). Plain C I/O only, so that nothing keeps the
// module loaded once it is let go.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/gamestate.h"

namespace {

void Note(const char* what, const char* key = nullptr, const char* value = nullptr) {
    const char* path = std::getenv("UMBRAVA_MODULE_JOURNAL");
    if (path == nullptr) return;
    if (FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%s%s%s%s%s\n", what, key != nullptr ? " " : "",
                     key != nullptr ? key : "", value != nullptr ? "=" : "",
                     value != nullptr ? value : "");
        std::fclose(file);
    }
}

__attribute__((constructor)) void Loaded() {
    Note("loaded");
}

__attribute__((destructor)) void Unloaded() {
    Note("unloaded");
}

class JournalHandler : public TGameStateHandler {
public:
    ~JournalHandler() override { Note("~handler"); }
    bool HandleState(const char* key, const char* value) override {
        Note("HandleState", key, value);
        if (std::strcmp(key, "module.answer") == 0) mAnswer = std::strcmp(value, "1") == 0;
        return std::strcmp(key, "module.take") == 0;
    }
    const char* FilterState(const char* key, const char* value) override {
        Note("FilterState", key, value);
        return std::strcmp(key, "module.filter") == 0 ? "filtered" : value;
    }
    bool QueryRestartMode() override { return Query("QueryRestartMode"); }
    bool QueryJumpToMenu() override { return Query("QueryJumpToMenu"); }
    bool QueryMuteGame() override { return Query("QueryMuteGame"); }
    bool QuerySuspend() override { return Query("QuerySuspend"); }

private:
    bool Query(const char* what) {
        Note(what);
        return mAnswer;
    }
    bool mAnswer = false;
};

}  // namespace

extern "C" TGameStateHandler* CreateHandler() {
    Note("CreateHandler");
#ifdef MODULE_CREATES_NOTHING
    return nullptr;
#else
    return new JournalHandler;
#endif
}

#ifndef MODULE_WITHOUT_DESTROY
extern "C" void DestroyHandler(TGameStateHandler* handler) {
    Note("DestroyHandler");
    delete handler;
}
#endif
