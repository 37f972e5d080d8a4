// The text windows' tests: the window script of ScriptTest under a 400 x 300 dialog, the
// monospace test font as "fonts/mono.mvec" (at size 20 a glyph is 10 pixels wide, the first of a
// line one pixel further in, and a line is 20 pixels high), and the text windows made from Lua
// tables.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/file/fileindex.h"
#include "platform/monofont.h"
#include "platform/text/textlayout.h"
#include "scriptfixture.h"
#include "ui/text.h"

namespace uitest {

class TextWindowTest : public ScriptTest {
protected:
    void SetUp() override {
        mMono = testing_support::MonoFont();
        RegisterMemoryFile("fonts/mono.mvec", mMono.data(), static_cast<uint32_t>(mMono.size()));
        ScriptTest::SetUp();
        mDialog = Push("dialog", {0, 0, 400, 300});
    }

    // Runs the Lua window table (for example "Text{ name = 't', w = 100, h = 20 }") and answers
    // the window of the name, as the class.
    template <class T = TText>
    T* Make(const std::string& table, const char* name) {
        EXPECT_EQ(Run(table + "()"), "") << table;
        return TWindow::CastTo<T>(mDialog->FindChild(name));
    }

    std::vector<uint8_t> mMono;
    TTestModal* mDialog = nullptr;
};

}  // namespace uitest
