// "text": text windows and a text field. A title in two sizes, a paragraph with a bold word and a
// link, and a focused field into which the program types "Ada<b>" through the X server. The grabs
// must show ink in each text's box, the link in its own colour under the pointer, the field's
// characters as typed (as wide as a text showing "Ada<b>" literally), and the caret in both blink
// phases among grabs 200 ms apart.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "math/vec4.h"
#include "scenes.h"
#include "support/xsession.h"
#include "ui/screen.h"
#include "ui/textedit.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"

namespace uiscreens {
namespace {

using testing_support::ArgbImage;

constexpr uint32_t kBackground = 0x102030;
constexpr int kMaxBlinkGrabs = 10;

struct Box {
    const char* name;
    int left, top, right, bottom;
};

// The windows' boxes on the screen: the screen's own children, so that every frame clears to its
// colour first. The game's string table loads at start-up: "#" makes a label literal.
constexpr Box kTitle = {"the large title", 20, 20, 420, 60};
constexpr Box kSmallTitle = {"the small title", 20, 70, 420, 94};
constexpr Box kParagraph = {"the paragraph", 20, 110, 620, 140};
constexpr Box kField = {"the field", 20, 200, 320, 230};
constexpr Box kReference = {"the literal text", 20, 250, 320, 280};
// Inside "Go", the paragraph's link, which opens it.
constexpr int kLinkX = 28;
constexpr int kLinkY = 122;

const char kScript[] =
    "local white = { 1, 1, 1, 1 }\n"
    "local function Text(t) t.typename = 'Text' GenericCreate(t) PopWindow() end\n"
    "Text({ name = 'title', x = 20, y = 20, w = 400, h = 40, label = '#Title',\n"
    "  font = { '__DEFAULT', 32, white } })\n"
    "Text({ name = 'small', x = 20, y = 70, w = 400, h = 24, label = '#Title',\n"
    "  font = { '__DEFAULT', 16, white } })\n"
    "Text({ name = 'para', x = 20, y = 110, w = 600, h = 30, font = { '__DEFAULT', 20, white },\n"
    "  label = \"#<a id='go' color='ff2020'>Go</a> on, a <b>bold</b> word\" })\n"
    "Text({ name = 'literal', x = 20, y = 250, w = 300, h = 30, label = '#Ada\\\\<b>',\n"
    "  font = { '__DEFAULT', 20, { 1, 1, 0, 1 } } })\n"
    "GenericCreate({ typename = 'TextEdit', name = 'field', x = 20, y = 200, w = 300, h = 30,\n"
    "  length = 20, font = { '__DEFAULT', 20, { 1, 1, 0, 1 } } })\n"
    "PopWindow()\n"
    "RealSetFocus('field')\n";

void BuildWindows(TWindowManager* manager) {
    manager->GetScreen()->SetClearColor(TVec4{0x10 / 255.0f, 0x20 / 255.0f, 0x30 / 255.0f, 1});
    manager->GetScript()->DoLuaString(kScript);
    manager->SetFocusWindow(manager->GetScreen()->FindChild("field"));
    manager->MarkDirty();
}

void TypeAndPoint(testing_support::XSession& x, int windowX, int windowY) {
    constexpr testing_support::XKeySym kComma = 0x2c;
    constexpr testing_support::XKeySym kPeriod = 0x2e;
    constexpr testing_support::XKeySym kShift = 0xffe1;
    // The keyboard follows the pointer: it goes into the window first.
    x.MovePointer(windowX + kLinkX, windowY + kLinkY);
    x.Type("Ada");
    x.Tap(kComma, {kShift});
    x.Type("b");
    x.Tap(kPeriod, {kShift});
}

bool IsInk(uint32_t argb) {
    for (int shift : {16, 8, 0}) {
        int have = static_cast<int>((argb >> shift) & 0xFF);
        int want = static_cast<int>((kBackground >> shift) & 0xFF);
        if (std::abs(have - want) > 24) return true;
    }
    return false;
}

bool IsLinkRed(uint32_t argb) {
    return ((argb >> 16) & 0xFF) > 200 && ((argb >> 8) & 0xFF) < 90 && (argb & 0xFF) < 90;
}

struct Ink {
    int count = 0;
    int left = 1 << 30;
    int right = -1;
};

Ink InkIn(const ArgbImage& image, const Box& box) {
    Ink ink;
    for (int y = box.top; y < std::min(box.bottom, image.height); ++y) {
        for (int x = box.left; x < std::min(box.right, image.width); ++x) {
            if (!IsInk(image.At(x, y))) continue;
            ++ink.count;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
        }
    }
    return ink;
}

// What the grabs so far showed of the field.
struct BlinkState {
    int grabs = 0;
    Ink least;
    Ink most;
};

std::vector<std::string> Inspect(BlinkState& blink, const ArgbImage& image) {
    std::vector<std::string> failed;
    for (const Box& box : {kTitle, kSmallTitle, kParagraph, kReference}) {
        if (InkIn(image, box).count == 0) failed.push_back(std::string(box.name) + " has no ink");
    }
    int red = 0;
    for (int y = kParagraph.top; y < kParagraph.bottom; ++y) {
        for (int x = kParagraph.left; x < kParagraph.left + 60; ++x)
            red += IsLinkRed(image.At(x, y)) ? 1 : 0;
    }
    if (red == 0) failed.emplace_back("the link under the pointer is not in its colour");

    TWindowManager* manager = TWindowManager::Get();
    TWindow* screen = manager != nullptr ? manager->GetScreen() : nullptr;
    auto* field =
        screen != nullptr ? TWindow::CastTo<TTextEdit>(screen->FindChild("field")) : nullptr;
    if (field == nullptr || field->GetText() != str("Ada<b>")) {
        failed.emplace_back("the field does not hold \"Ada<b>\"");
        return failed;
    }
    // The caret's two phases, once the whole text is in.
    Ink ink = InkIn(image, kField);
    if (blink.grabs == 0 || ink.count < blink.least.count) blink.least = ink;
    if (blink.grabs == 0 || ink.count > blink.most.count) blink.most = ink;
    ++blink.grabs;
    Ink reference = InkIn(image, kReference);
    if (blink.least.count == 0 || std::abs(blink.least.right - reference.right) > 2 ||
        std::abs(blink.least.left - reference.left) > 2) {
        failed.push_back("the field's characters (x " + std::to_string(blink.least.left) + " to " +
                         std::to_string(blink.least.right) + ") are not as wide as \"Ada<b>\" (x " +
                         std::to_string(reference.left) + " to " + std::to_string(reference.right) +
                         ")");
    }
    if (blink.most.count <= blink.least.count) {
        failed.push_back("the caret was not seen in both phases in " + std::to_string(blink.grabs) +
                         " grab(s)" + (blink.grabs > kMaxBlinkGrabs ? ", more than allowed" : ""));
    } else if (blink.grabs > kMaxBlinkGrabs) {
        failed.push_back("the caret took more than ten grabs to show both phases");
    }
    return failed;
}

}  // namespace

Scene TextScene() {
    Scene scene;
    scene.name = "text";
    scene.stages = {&BuildWindows};
    scene.checks = {{"the background", 630, 470, kBackground}};
    scene.input = &TypeAndPoint;
    auto blink = std::make_shared<BlinkState>();
    scene.inspect = [blink](const ArgbImage& image) { return Inspect(*blink, image); };
    scene.grabEvery = std::chrono::milliseconds(200);
    return scene;
}

}  // namespace uiscreens
