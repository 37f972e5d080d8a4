// The seeds of the fuzz target fuzz_windowtable (fuzz/ui/corpus/windowtable): written here with
// the format's writer (windowtablecode.h), and checked to be what is committed; run this test with
// UMBRAVA_WRITE_FUZZ_SEEDS=1 to write them afresh after changing the format or a seed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "support/tempdir.h"
#include "windowtablecode.h"

namespace {

using namespace windowtable;

constexpr uint8_t kWindow = 0;
constexpr uint8_t kSlider = 1;
constexpr uint8_t kBitmap = 2;
constexpr uint8_t kText = 3;
constexpr uint8_t kTextEdit = 4;
constexpr uint8_t kButton = 5;
constexpr uint8_t kEmptyName = 6;
constexpr uint8_t kUnknown = 7;
constexpr uint8_t kModal = 8;

// Indices into kMagic and kEventTypes.
constexpr uint8_t kCenterIndex = 0;
constexpr uint8_t kMaxIndex = 1;
constexpr uint8_t kMouseMove = 4;
constexpr uint8_t kLeftDown = 1;
constexpr uint8_t kLeftUp = 3;
constexpr uint8_t kKeyDown = 7;
constexpr uint8_t kPaint = 11;

void Sized(TWindowTableWriter& w, const char* name, int8_t width, int8_t height) {
    w.Text("name", name).Small("w", width).Small("h", height);
}

// A dialog of three levels, centred and placed at the far edges, clicked and typed into.
std::vector<uint8_t> NestedWindows() {
    TWindowTableWriter w(kWindow);
    Sized(w, "dialog", 120, 100);
    w.Magic("x", kCenterIndex).Magic("y", kCenterIndex).Small("align", 5).Text("fit", "1");
    w.OpenChild(kWindow);
    Sized(w, "panel", 60, 40);
    w.Magic("x", kMaxIndex).Number("y", 12.75).Colour("on", {255, 128, 0, 255});
    w.OpenChild(kWindow);
    Sized(w, "leaf", 10, 10);
    w.Close().Close();
    w.OpenChild(kWindow);
    Sized(w, "sibling", -5, 127);
    w.Close();
    w.Event(kMouseMove, 70, 60, 0).Event(kLeftDown, 70, 60, 0).Event(kLeftUp, 70, 60, 0);
    w.Event(kKeyDown, 0, 0, 13).Event(kPaint, 0, 0, 0);
    return w.Bytes();
}

// Each kind of value once, on keys that the windows read as numbers, texts and tables.
std::vector<uint8_t> EveryValueKind() {
    TWindowTableWriter w(kWindow);
    w.Set("name", kNil).Set("x", kFalse).Set("y", kTrue).Small("w", -128);
    w.Number("h", 1e300).Magic("align", 14).Text("label", "Save &as \xE2\x82\xAC");
    w.Wide("tooltip", u"w\u00E9de").Colour("font", {1, 2, 3, 4});
    w.Set("graphics", kEmptyTable).Set("command", kFunction).Set("sound", kFailingFunction);
    w.Set("mask", kMessage).Set("scale", kThread).Set("image", kLight).Set("padding", kTrap);
    w.OpenChild(kWindow);
    w.Set("w", kFunction).Set("h", kMessage).Set("x", kThread).Set("typename", kTrap);
    w.Close();
    w.Event(kMouseMove, 1, 1, 0).Event(kPaint, 0, 0, 0);
    return w.Bytes();
}

// Every key with a text and then with a number, on a window with a child.
std::vector<uint8_t> EveryKey() {
    TWindowTableWriter w(kWindow);
    for (size_t i = 0; i < kKeyCount; ++i) {
        if (std::string(kKeys[i]) != "typename") w.Text(kKeys[i], "1");
    }
    w.OpenChild(kWindow);
    for (size_t i = 0; i < kKeyCount; ++i) {
        if (std::string(kKeys[i]) != "typename") w.Magic(kKeys[i], static_cast<uint8_t>(i));
    }
    w.Close();
    w.Event(kLeftDown, 5, 5, 0).Event(kLeftUp, 5, 5, 0);
    return w.Bytes();
}

// A chain of forty "parent" tables that ends in the window's own table, and a default style
// whose chain leads back into itself.
std::vector<uint8_t> ParentChainsAndCycles() {
    TWindowTableWriter w(kWindow);
    Sized(w, "chained", 30, 30);
    for (int depth = 0; depth < 40; ++depth) {
        w.OpenParent();
        if (depth % 7 == 0) w.Small("x", static_cast<int8_t>(depth));
    }
    w.LinkParent(0);
    for (int depth = 0; depth < 40; ++depth)
        w.Close();
    // A child whose parent table's "parent" is the child; its "graphics" the root.
    w.OpenChild(kWindow).OpenParent().LinkParent(1).LinkKey("graphics", 0).Close().Close();
    // The default style: a child's parent table, which is its own "parent".
    w.OpenChild(kWindow).OpenParent().DefaultStyle(2).LinkParent(2).Close().Close();
    w.Event(kPaint, 0, 0, 0);
    return w.Bytes();
}

// Type names that make nothing: empty, unknown, and a class the factory cannot attach; under
// and around a window that can be made.
std::vector<uint8_t> TypeNames() {
    TWindowTableWriter w(kWindow);
    Sized(w, "made", 50, 50);
    w.OpenChild(kEmptyName).Small("w", 10).Close();
    w.OpenChild(kUnknown).OpenChild(kWindow).Close().Close();
    w.OpenChild(kModal).Text("name", "inner modal").Close();
    w.OpenChild(kWindow).Text("typename", "Window").Close();
    w.Event(kLeftDown, 10, 10, 0);
    return w.Bytes();
}

// The widgets: a picture with its keys, a slider of each orientation that the events press, drag
// and release, a text with a link and a field that a key reaches.
std::vector<uint8_t> Widgets() {
    TWindowTableWriter w(kWindow);
    Sized(w, "panel", 200, 200);
    w.OpenChild(kBitmap).Text("image", "missing.png").Number("scale", 0.5).Small("w", 40);
    w.Small("h", 30).Set("rotate", kTrue).Set("hflip", kTrue).Close();
    w.OpenChild(kSlider).Text("name", "vertical").Small("w", 16).Small("h", 100);
    w.Number("value", 0.5).Small("yoffset", -3).Close();
    w.OpenChild(kSlider).Text("name", "horizontal").Small("w", 100).Small("h", 16);
    w.Text("sliderimage", "missing.png").Close();
    w.OpenChild(kText).Text("label", "#Go <a href=\"ok\">on</a> \\").Small("w", 80);
    w.Small("h", 20).Small("rotation", 90).Close();
    w.OpenChild(kTextEdit).Text("name", "field").Small("w", 80).Small("h", 20);
    w.Small("length", 4).Text("ignore", "<").Set("password", kTrue).Close();
    w.Event(kLeftDown, 2, 10, 0).Event(kMouseMove, 3, 30, 0).Event(kMouseMove, 2, 90, 0);
    w.Event(kLeftUp, 2, 90, 0).Event(kLeftDown, 4, 5, 0).Event(kKeyDown, 0, 0, 65);
    return w.Bytes();
}

// Buttons: a radio group with one "on", a toggle with a mask and a command, and a close button,
// pressed, rolled over and released.
std::vector<uint8_t> Buttons() {
    TWindowTableWriter w(kWindow);
    Sized(w, "panel", 200, 200);
    w.OpenChild(kButton).Text("name", "first").Small("type", 2).Set("beginGroup", kTrue);
    w.Colour("graphics", {1, 2, 3, 4}).Close();
    w.OpenChild(kButton).Text("name", "second").Small("type", 2).Set("on", kTrue).Close();
    w.OpenChild(kButton).Text("name", "toggle").Small("type", 1).Text("mask", "missing.png");
    w.Set("command", kFunction).Small("w", 30).Small("h", 30).Close();
    w.OpenChild(kButton).Text("name", "ok").Set("close", kTrue).Set("default", kTrue);
    w.Small("w", 40).Small("h", 20).Close();
    w.Event(kMouseMove, 5, 5, 0).Event(kLeftDown, 5, 5, 0).Event(kLeftUp, 5, 5, 0);
    w.Event(kLeftDown, 10, 10, 0).Event(kMouseMove, 150, 150, 0).Event(kLeftUp, 150, 150, 0);
    return w.Bytes();
}

// The root itself cannot be made.
std::vector<uint8_t> UnmadeRoot() {
    TWindowTableWriter w(kUnknown);
    w.OpenChild(kWindow).Small("w", 20).Close();
    return w.Bytes();
}

std::map<std::string, std::vector<uint8_t>> Seeds() {
    return {
        {"nested_windows", NestedWindows()},
        {"every_value_kind", EveryValueKind()},
        {"every_key", EveryKey()},
        {"parent_chains_and_cycles", ParentChainsAndCycles()},
        {"type_names", TypeNames()},
        {"unmade_root", UnmadeRoot()},
        {"widgets", Widgets()},
        {"buttons", Buttons()},
    };
}

TEST(WindowTableSeeds, TheCommittedSeedsAreWhatTheGeneratorWrites) {
    const bool write = std::getenv("UMBRAVA_WRITE_FUZZ_SEEDS") != nullptr;
    for (const auto& [name, bytes] : Seeds()) {
        const std::string path = std::string(WINDOWTABLE_CORPUS) + "/" + name;
        const std::string made(bytes.begin(), bytes.end());
        if (write) {
            ASSERT_TRUE(testing_support::WriteFileBytes(path, made)) << path;
        }
        EXPECT_EQ(testing_support::ReadFileBytes(path), made)
            << path
            << " differs from the generator's output; UMBRAVA_WRITE_FUZZ_SEEDS=1 remakes it";
    }
}

}  // namespace
