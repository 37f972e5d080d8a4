// Runs the framework's main routine with a game body that uses the main window's services, on
// the headless backend with the fake clock: host windows of other programs, the link launcher
// recorded, and a settings file that switches Unicode mode on.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "port/control.h"
#include "port/system/control.h"
#include "port/window/control.h"
#include "startupfixture.h"
#include "support/tempdir.h"

namespace startup_test {

class MainWindowTest : public StartupTest {
protected:
    void SetUp() override {
        StartupTest::SetUp();
        port::control::SetLinkLauncher([this](const std::vector<std::string>& argv) {
            mLaunched.push_back(argv);
            return true;
        });
    }

    void TearDown() override {
        port::control::SetLinkLauncher({});
        StartupTest::TearDown();
    }

    // "utf8mode" = 1 from the settings file, so that the main window is made in Unicode mode.
    void UseUnicodeMode() {
        testing_support::WriteFileBytes(Asset("settings.xml"),
                                        "<settings><utf8mode>1</utf8mode></settings>");
    }

    // A window of another program: top-level without a parent, else a child of it.
    static HWND MakeForeign(int width, int height, HWND parent = nullptr) {
        port::control::ForeignWindowSpec spec;
        spec.parent = parent;
        spec.rect = RECT{0, 0, width, height};
        return port::control::CreateForeignWindow(spec);
    }

    // "-wnd=" with the host's handle, then the rest.
    static std::string HostLine(HWND host, const std::string& rest = "") {
        char line[64];
        std::snprintf(line, sizeof line, "-wnd=%x",
                      static_cast<unsigned>(reinterpret_cast<uintptr_t>(host)));
        return rest.empty() ? std::string(line) : std::string(line) + " " + rest;
    }

    // Runs the main routine with the body; fails the test when it did not return normally.
    void RunWith(const std::string& commandLine, std::function<void(TPlatform*)> body) {
        gGameBody = [&](TPlatform* platform, const char*) { body(platform); };
        gGameMainCalls = 0;
        EXPECT_EQ(Run(commandLine.c_str()), kReturned);
        EXPECT_EQ(gGameMainCalls, 1);
    }

    // The argument vectors the link launcher was given.
    std::vector<std::vector<std::string>> mLaunched;
};

}  // namespace startup_test
