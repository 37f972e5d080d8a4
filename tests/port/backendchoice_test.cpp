// The backend a program's environment chooses, and the message-box answers it sets. Everything
// here runs without a display: sdl is only asked for where it must fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "loggedlines.h"
#include "port/control.h"
#include "port/startup.h"
#include "port/window/messagebox.h"

namespace {

using port_testing::KeepLine;
using port_testing::LoggedLines;

class BackendChoiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("UMBRAVA_BACKEND");
        unsetenv("UMBRAVA_MESSAGE_BOXES");
        LoggedLines().clear();
    }

    // Runs the choice and returns what it wrote on the standard error stream.
    std::string Choose(const char* defaultName, bool* chosen) {
        testing::internal::CaptureStderr();
        *chosen = port::SelectBackendFromEnvironment(defaultName);
        return testing::internal::GetCapturedStderr();
    }
};

TEST_F(BackendChoiceTest, TheVariableChoosesOverTheDefault) {
    setenv("UMBRAVA_BACKEND", "headless", 1);
    bool chosen = false;
    EXPECT_EQ(Choose("sdl", &chosen), "");
    EXPECT_TRUE(chosen);
    EXPECT_STREQ(port::WindowBackendName(), "headless");

    unsetenv("UMBRAVA_BACKEND");
    EXPECT_EQ(Choose("headless", &chosen), "");
    EXPECT_TRUE(chosen);
}

TEST_F(BackendChoiceTest, RefusalsSayWhatToDoOnOneLine) {
    // No display: no DISPLAY, no Wayland.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    struct Case {
        const char* backend;  // null: unset, so the default (sdl) applies
        const char* boxes;
        const char* driver;  // SDL_VIDEODRIVER; null: unset, where SDL would fall back on a
                             // driver that shows nothing
    } cases[] = {
        {nullptr, nullptr, "x11"},      {"sdl", nullptr, "x11"},    {"sdl", nullptr, nullptr},
        {"SDL", nullptr, "x11"},        {"vulkan", nullptr, "x11"}, {"", "ok", "x11"},
        {"headless", "maybe", nullptr},
    };
    for (const Case& c : cases) {
        std::string label = std::string(c.backend ? c.backend : "(unset)") + " / " +
                            (c.boxes ? c.boxes : "(unset)") + " / " +
                            (c.driver ? c.driver : "(unset)");
        auto put = [](const char* name, const char* value) {
            if (value != nullptr) {
                setenv(name, value, 1);
            } else {
                unsetenv(name);
            }
        };
        put("UMBRAVA_BACKEND", c.backend);
        put("UMBRAVA_MESSAGE_BOXES", c.boxes);
        put("SDL_VIDEODRIVER", c.driver);
        bool chosen = true;
        std::string error = Choose("sdl", &chosen);
        EXPECT_FALSE(chosen) << label;
        EXPECT_STREQ(port::WindowBackendName(), "headless") << label;
        ASSERT_FALSE(error.empty()) << label;
        EXPECT_EQ(error.find('\n'), error.size() - 1) << label << ": " << error;
        if (c.boxes == nullptr || std::string(c.boxes) == "ok") {
            EXPECT_NE(error.find("xvfb-run"), std::string::npos) << label << ": " << error;
            EXPECT_NE(error.find("UMBRAVA_BACKEND=headless"), std::string::npos)
                << label << ": " << error;
        } else {
            EXPECT_NE(error.find("UMBRAVA_MESSAGE_BOXES"), std::string::npos) << error;
        }
    }
}

TEST_F(BackendChoiceTest, BoxesAnswerAsTheVariableSaysAndAreRecordedAndLogged) {
    port::SetLogSink(KeepLine);
    setenv("UMBRAVA_BACKEND", "headless", 1);
    setenv("UMBRAVA_MESSAGE_BOXES", "No", 1);
    bool chosen = false;
    Choose("sdl", &chosen);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(MessageBoxA(nullptr, "Save the world?", "Umbrava", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Try again?", "Umbrava", MB_YESNOCANCEL), IDNO);
    // A box without that button answers with its first.
    EXPECT_EQ(MessageBoxA(nullptr, "Saved.", "Umbrava", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "Retry?", "Umbrava", MB_RETRYCANCEL), IDRETRY);
    std::vector<port::MessageBoxRecord> boxes = port::control::MessageBoxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].text, "Save the world?");
    EXPECT_EQ(boxes[0].flags, MB_YESNO | MB_ICONQUESTION);
    ASSERT_EQ(LoggedLines().size(), 4u);
    EXPECT_NE(LoggedLines()[0].find("Save the world?"), std::string::npos) << LoggedLines()[0];
    EXPECT_NE(LoggedLines()[0].find("No"), std::string::npos) << LoggedLines()[0];
    EXPECT_NE(LoggedLines()[2].find("OK"), std::string::npos) << LoggedLines()[2];
}

TEST_F(BackendChoiceTest, UnsetBoxesAnswerTheirFirstButton) {
    port::SetLogSink(KeepLine);
    setenv("UMBRAVA_BACKEND", "headless", 1);
    bool chosen = false;
    Choose("sdl", &chosen);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(MessageBoxA(nullptr, "Quit?", "Umbrava", MB_OKCANCEL), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "Disk?", "Umbrava", MB_ABORTRETRYIGNORE), IDABORT);
    // Texts that are not UTF-8 are logged as Windows-1252.
    EXPECT_EQ(MessageBoxA(nullptr, "Caf\xE9", "Umbrava", MB_OK), IDOK);
    EXPECT_EQ(port::control::MessageBoxes().size(), 3u);
    ASSERT_EQ(LoggedLines().size(), 3u);
    EXPECT_NE(LoggedLines()[2].find("Caf\xC3\xA9"), std::string::npos) << LoggedLines()[2];
}

}  // namespace
