// "buttons": a push button with three state images and a text label, a toggle and a group of
// three radio buttons, each in a plain colour per state. The pointer then works them through XTest
// one step at a time, each step waiting for the grab that shows the last one: the push button's
// normal image, its rollover image under the pointer and its pressed image while held; the toggle's
// checked image after a click; and, after a click on the third radio, the third lit and the other
// two of the group off. Each step's grab is written beside the scene's own (buttons-N.png).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "math/vec4.h"
#include "scenes.h"
#include "screensgame.h"
#include "support/xsession.h"
#include "ui/button.h"
#include "ui/imagefiles.h"
#include "ui/screen.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"

namespace uiscreens {
namespace {

using testing_support::ArgbImage;

constexpr uint32_t kBackground = 0x102030;
// The push button's images.
constexpr uint32_t kPushNormal = 0x2040C0, kPushPressed = 0xC02020, kPushRollover = 0xE0E020;
// The toggle's and the radios' images: off, on, and each under the pointer.
constexpr uint32_t kOff = 0x505050, kOn = 0x20C040, kOffRollover = 0x9090A0, kOnRollover = 0x90F0B0;

struct Spot {
    const char* name;
    int x, y;
};

// Inside each button, away from the push button's label (its top left 40 x 30 part).
constexpr Spot kPush = {"the push button", 40 + 110, 40 + 50};
constexpr Spot kToggle = {"the toggle", 40 + 50, 140 + 30};
constexpr Spot kRadios[] = {{"the first radio", 40 + 30, 240 + 20},
                            {"the second radio", 120 + 30, 240 + 20},
                            {"the third radio", 200 + 30, 240 + 20}};
// The push button's label, 60 x 30 at its top left, and where the pointer rests between steps.
constexpr int kLabelLeft = 40, kLabelTop = 40, kLabelRight = 100, kLabelBottom = 70;
constexpr int kRestX = 600, kRestY = 440;

// Each window made as the window library makes a dialog's: created, its children made, then its
// PostInit (which gives a button the picture of its state).
const char kScript[] =
    "local function Make(t, child)\n"
    "  GenericCreate(t)\n"
    "  if child then Make(child) end\n"
    "  PostCreate(t, t.typename)\n"
    "  PopWindow()\n"
    "end\n"
    "local images = { 'off.png', 'on.png', 'offroll.png', 'onroll.png' }\n"
    "Make({ typename = 'Button', name = 'push', x = 40, y = 40,\n"
    "    graphics = { 'pushnormal.png', 'pushpressed.png', 'pushroll.png' } },\n"
    "  { typename = 'Text', name = 'label', x = 0, y = 0, w = 60, h = 30, label = '#Go',\n"
    "    font = { '__DEFAULT', 24, { 1, 1, 1, 1 } } })\n"
    "Make({ typename = 'Button', name = 'toggle', x = 40, y = 140, type = 1, graphics = images })\n"
    "Make({ typename = 'Button', name = 'radio1', x = 40, y = 240, type = 2, beginGroup = true,\n"
    "  on = true, graphics = images })\n"
    "Make({ typename = 'Button', name = 'radio2', x = 120, y = 240, type = 2, graphics = images "
    "})\n"
    "Make({ typename = 'Button', name = 'radio3', x = 200, y = 240, type = 2, graphics = images "
    "})\n";

void WritePictures() {
    static auto* files = new uitest::TImageFiles;
    files->PutSolid("pushnormal.png", 120, 60, 0xFF000000u | kPushNormal);
    files->PutSolid("pushpressed.png", 120, 60, 0xFF000000u | kPushPressed);
    files->PutSolid("pushroll.png", 120, 60, 0xFF000000u | kPushRollover);
    files->PutSolid("off.png", 60, 40, 0xFF000000u | kOff);
    files->PutSolid("on.png", 60, 40, 0xFF000000u | kOn);
    files->PutSolid("offroll.png", 60, 40, 0xFF000000u | kOffRollover);
    files->PutSolid("onroll.png", 60, 40, 0xFF000000u | kOnRollover);
}

void Build(TWindowManager* manager) {
    WritePictures();
    manager->GetScreen()->SetClearColor(TVec4{0x10 / 255.0f, 0x20 / 255.0f, 0x30 / 255.0f, 1});
    manager->GetScript()->DoLuaString(kScript);
    manager->MarkDirty();
}

bool Near(uint32_t argb, uint32_t rgb) {
    for (int shift : {16, 8, 0}) {
        int have = static_cast<int>((argb >> shift) & 0xFF);
        int want = static_cast<int>((rgb >> shift) & 0xFF);
        if (std::abs(have - want) > 8) return false;
    }
    return true;
}

// The X session and the window's place, kept from the input step for the later steps.
testing_support::XSession* gX = nullptr;
int gWindowX = 0;
int gWindowY = 0;
// The step whose picture the grabs wait for.
size_t gStep = 0;

void Rest() {
    gX->MovePointer(gWindowX + kRestX, gWindowY + kRestY);
}

void Start(testing_support::XSession& x, int windowX, int windowY) {
    gX = &x;
    gWindowX = windowX;
    gWindowY = windowY;
    Rest();
}

void PointAt(const Spot& spot) {
    gX->MovePointer(gWindowX + spot.x, gWindowY + spot.y);
}

// The button of that name on the screen; null when there is none.
TButton* FindButton(const char* name) {
    TWindowManager* manager = TWindowManager::Get();
    if (manager == nullptr || manager->GetScreen() == nullptr) return nullptr;
    return TWindow::CastTo<TButton>(manager->GetScreen()->FindChild(name));
}

bool Released(const char* name) {
    TButton* button = FindButton(name);
    return button != nullptr && button->GetState() != TButton::kPressed;
}

bool Checked(const char* name) {
    TButton* button = FindButton(name);
    return button != nullptr && button->IsChecked();
}

// What the picture of a step must show, what the program must have done (a release has no
// picture of its own to wait for), and the pointer's next move once both hold. The pointer moves
// on only after a release was taken: a release sent with the move lands off the button.
struct Step {
    const char* picture;
    std::vector<std::pair<Spot, uint32_t>> shows;
    bool (*ready)();
    void (*then)();
};

const std::vector<Step>& Steps() {
    static const std::vector<Step> steps = {
        {"the buttons as built",
         {{kPush, kPushNormal},
          {kToggle, kOff},
          {kRadios[0], kOn},
          {kRadios[1], kOff},
          {kRadios[2], kOff}},
         nullptr,
         [] { PointAt(kPush); }},
        {"the push button under the pointer",
         {{kPush, kPushRollover}},
         nullptr,
         [] { gX->Button(1, true); }},
        {"the push button held", {{kPush, kPushPressed}}, nullptr, [] { gX->Button(1, false); }},
        {"the push button released", {}, [] { return Released("push"); }, [] { PointAt(kToggle); }},
        {"the toggle under the pointer",
         {{kToggle, kOffRollover}},
         nullptr,
         [] { gX->Button(1, true); }},
        // Pressed, an unchecked toggle shows its checked picture.
        {"the toggle held", {{kToggle, kOn}}, nullptr, [] { gX->Button(1, false); }},
        {"the toggle released", {}, [] { return Checked("toggle"); }, &Rest},
        {"the toggle checked after a click",
         {{kToggle, kOn}, {kPush, kPushNormal}},
         nullptr,
         [] { PointAt(kRadios[2]); }},
        {"the third radio under the pointer",
         {{kRadios[2], kOffRollover}},
         nullptr,
         [] { gX->Button(1, true); }},
        {"the third radio held", {{kRadios[2], kOn}}, nullptr, [] { gX->Button(1, false); }},
        {"the third radio released", {}, [] { return Checked("radio3"); }, &Rest},
        {"the third radio after a click",
         {{kRadios[0], kOff}, {kRadios[1], kOff}, {kRadios[2], kOn}, {kToggle, kOn}},
         nullptr,
         nullptr},
    };
    return steps;
}

// The label shows white ink on the push button's image.
bool LabelInked(const ArgbImage& image) {
    for (int y = kLabelTop; y < kLabelBottom && y < image.height; ++y) {
        for (int x = kLabelLeft; x < kLabelRight && x < image.width; ++x) {
            if (Near(image.At(x, y), 0xFFFFFF)) return true;
        }
    }
    return false;
}

// Checks the grab against the current step; once it matches, makes the pointer's next move and
// waits for the next step's picture.
std::vector<std::string> Inspect(const ArgbImage& image) {
    const std::vector<Step>& steps = Steps();
    if (gX == nullptr) return {"the pointer was never placed"};
    while (gStep < steps.size()) {
        const Step& step = steps[gStep];
        std::vector<std::string> failed;
        for (const auto& [spot, rgb] : step.shows) {
            uint32_t pixel = spot.x < image.width && spot.y < image.height
                                 ? image.At(spot.x, spot.y) & 0xFFFFFFu
                                 : 0u;
            if (Near(pixel, rgb)) continue;
            char line[256];
            std::snprintf(line, sizeof line, "%s: %s at (%d, %d) shows %06x, not %06x",
                          step.picture, spot.name, spot.x, spot.y, pixel, rgb);
            failed.emplace_back(line);
        }
        if (gStep == 0 && !LabelInked(image))
            failed.emplace_back("the push button's label shows no white ink");
        if (step.ready != nullptr && !step.ready())
            failed.push_back(std::string(step.picture) + ": not yet");
        if (!failed.empty()) return failed;
        // The grab that showed the step, for whoever looks at the run (the last is the scene's).
        std::string png = RunFolder() + "buttons-" + std::to_string(gStep + 1) + ".png";
        if (!step.shows.empty() && !testing_support::WriteArgbPng(image, png))
            return {"the grab could not be written to " + png};
        ++gStep;
        if (step.then == nullptr) return {};
        step.then();
        // The next picture needs the main loop to take the move first.
        return {"waiting for " + std::string(steps[gStep].picture)};
    }
    return {};
}

}  // namespace

Scene ButtonsScene() {
    Scene scene;
    scene.name = "buttons";
    scene.stages = {&Build};
    scene.input = &Start;
    scene.inspect = &Inspect;
    scene.checks = {
        {"the background between the buttons", 110, 200, kBackground},
        {"the background right of the radios", 300, 260, kBackground},
    };
    return scene;
}

}  // namespace uiscreens
