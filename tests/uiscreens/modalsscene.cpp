// "modals": the screen's background colour, then a dialog of filled panels in front of a covered
// one. The front dialog covers the screen (an opaque child as large as it), so the dialog below it
// is not drawn at all: its red panel must not show, and the background drawn in the first stage
// stays where the front dialog draws nothing. One front panel carries the drawn-in-pass-1 mark
// when the frame begins; the frame clears the mark on the whole tree first, so the panel is drawn.
#include "math/vec4.h"
#include "scenes.h"
#include "ui/filledwindow.h"
#include "ui/modalwindow.h"
#include "ui/windowmanager.h"

namespace uiscreens {
namespace {

constexpr uint32_t kBackground = 0x203850;
constexpr uint32_t kRed = 0xD02020;
constexpr uint32_t kGreen = 0x30B040;
constexpr uint32_t kLight = 0xD0D0E0;
constexpr uint32_t kYellow = 0xE0C020;

// The colour 0xRRGGBB as the renderer takes it, each channel at the middle of its byte.
TVec4 Colour(uint32_t rgb) {
    auto channel = [rgb](int shift) { return (((rgb >> shift) & 0xFF) + 0.5f) / 255.0f; };
    return TVec4{channel(16), channel(8), channel(0), 1.0f};
}

TWindow* AddPanel(TWindow* parent, const char* name, TRect rect, uint32_t rgb) {
    auto* panel = new uitest::TFilledWindow(name, Colour(rgb));
    panel->SetRect(rect);
    parent->AddChild(panel, false);
    return panel;
}

void ShowBackground(TWindowManager* manager) {
    manager->GetScreen()->SetClearColor(Colour(kBackground));
    manager->MarkDirty();
}

void PushDialogs(TWindowManager* manager) {
    auto* covered = new TModalWindow;
    covered->SetName("covered");
    manager->PushModal(covered);
    AddPanel(covered, "red", {60, 60, 260, 200}, kRed);

    auto* front = new TModalWindow;
    front->SetName("front");
    manager->PushModal(front);
    // Opaque and as large as the dialog, which then covers the screen; it draws nothing.
    auto* cover = new TWindow("cover");
    cover->SetRect({0, 0, kScreenWidth, kScreenHeight});
    front->AddChild(cover, false);
    cover->SetFlags(cover->GetFlags() | TWindow::kOpaque);
    AddPanel(front, "green", {300, 80, 560, 220}, kGreen);
    AddPanel(front, "light", {80, 260, 300, 420}, kLight);
    TWindow* marked = AddPanel(front, "marked", {360, 280, 560, 400}, kYellow);
    marked->SetFlags(marked->GetFlags() | TWindow::kDrawnInPass1);
}

}  // namespace

Scene ModalsScene() {
    Scene scene;
    scene.name = "modals";
    scene.stages = {&ShowBackground, &PushDialogs};
    scene.checks = {
        {"the screen's background colour", 20, 20, kBackground},
        {"the background where the covered dialog's red panel lies", 160, 130, kBackground},
        {"the front dialog's green panel", 430, 150, kGreen},
        {"the front dialog's light panel", 190, 340, kLight},
        {"the panel that carried the pass-1 mark", 460, 340, kYellow},
    };
    return scene;
}

}  // namespace uiscreens
