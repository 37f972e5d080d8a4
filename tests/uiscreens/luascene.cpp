// "lua": a script builds nested windows with the window factory and fills rectangles on the
// screen with FillRect, one reaching past the screen's right edge. The sizes of the filled
// rectangles come from the sizes the factory reports (gDialogWidth and gDialogHeight), so a
// factory that made nothing, or made it wrong, shows in the picture.
#include "math/vec4.h"
#include "scenes.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"

namespace uiscreens {
namespace {

constexpr uint32_t kBackground = 0x102030;
constexpr uint32_t kOrange = 0xE08020;
constexpr uint32_t kTeal = 0x20A0A0;

void ShowBackground(TWindowManager* manager) {
    manager->GetScreen()->SetClearColor(TVec4{0x10 / 255.0f, 0x20 / 255.0f, 0x30 / 255.0f, 1});
    manager->MarkDirty();
}

// The dialog covers the screen, which then keeps the picture drawn below it.
const char kScript[] =
    "PushModal('lua')\n"
    "GenericCreate({ typename = 'Window', name = 'panel', x = 80000, y = 80000, w = 300, h = 200 "
    "})\n"
    "GenericCreate({ typename = 'Window', name = 'inner', w = 120, h = 60 })\n"
    "PopWindow() PopWindow()\n"
    "local orange = { 224 / 255, 128 / 255, 32 / 255, 1 }\n"
    "local teal = { 32 / 255, 160 / 255, 160 / 255, 1 }\n"
    "FillRect({ 40, 40, 40 + gDialogWidth, 40 + gDialogHeight }, orange)\n"
    "FillRect({ 560, 300, 560 + 2 * gDialogWidth, 300 + 2 * gDialogHeight }, teal)\n"
    "UpdateWindow()\n";

void RunScript(TWindowManager* manager) {
    manager->GetScript()->DoLuaString(kScript);
}

}  // namespace

Scene LuaScene() {
    Scene scene;
    scene.name = "lua";
    scene.stages = {&ShowBackground, &RunScript};
    scene.checks = {
        {"the background", 20, 20, kBackground},
        {"the orange rectangle's top-left corner", 40, 40, kOrange},
        {"the orange rectangle's bottom-right corner", 159, 99, kOrange},
        {"the background right of the orange rectangle", 160, 60, kBackground},
        {"the background below the orange rectangle", 60, 100, kBackground},
        {"the teal rectangle", 600, 350, kTeal},
        {"the teal rectangle at the screen's edge", 639, 419, kTeal},
        {"the background below the teal rectangle", 600, 420, kBackground},
        {"the background left of the teal rectangle", 559, 350, kBackground},
    };
    return scene;
}

}  // namespace uiscreens
