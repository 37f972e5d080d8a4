// A game-state handler for tests that notes every call into a journal ("name.Handle key=value",
// "name.Filter key", "name.Suspend", ...) and answers as the test sets it: it takes the changes
// of one key, appends its suffix to every value it filters, and answers its queries with one
// value.
#pragma once

#include <string>
#include <vector>

#include "ui/gamestate.h"

namespace uitest {

class TRecordingHandler : public TGameStateHandler {
public:
    TRecordingHandler(std::string name, std::vector<std::string>* journal)
        : mName(std::move(name)), mJournal(journal) {}

    std::string takes;    // the key whose changes it takes
    std::string suffix;   // appended to every value it filters
    bool answer = false;  // its answer to the four queries

    bool HandleState(const char* key, const char* value) override {
        Note(std::string("Handle ") + key + "=" + value);
        return takes == key;
    }
    const char* FilterState(const char* key, const char* value) override {
        Note(std::string("Filter ") + key);
        mFiltered = std::string(value) + suffix;
        return mFiltered.c_str();
    }
    bool QueryRestartMode() override { return Query("Restart"); }
    bool QueryJumpToMenu() override { return Query("Menu"); }
    bool QueryMuteGame() override { return Query("Mute"); }
    bool QuerySuspend() override { return Query("Suspend"); }

private:
    bool Query(const char* what) {
        Note(what);
        return answer;
    }
    void Note(const std::string& what) { mJournal->push_back(mName + "." + what); }

    std::string mName;
    std::vector<std::string>* mJournal;
    std::string mFiltered;
};

}  // namespace uitest
