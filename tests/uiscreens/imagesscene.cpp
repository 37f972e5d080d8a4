// "images": an asymmetric picture (a colour in each quarter) drawn plain, mirrored and turned a
// quarter, a white picture at half alpha over a red window, and a vertical and a horizontal
// slider on a panel that notes every message it hears. The pointer then drags each thumb with
// XTest and clicks the vertical rail below its thumb: the thumbs show at their new places and the
// panel must have heard the drags, the releases and the page.
#include <algorithm>
#include <string>
#include <vector>

#include "math/vec4.h"
#include "platform/draw/drawspec.h"
#include "platform/texture/texture.h"
#include "scenes.h"
#include "script/lua/lua.h"
#include "script/luabinding.h"
#include "script/luatable.h"
#include "ui/filledwindow.h"
#include "ui/image.h"
#include "ui/imagefiles.h"
#include "ui/message.h"
#include "ui/screen.h"
#include "ui/slider.h"
#include "ui/windowmanager.h"
#include "ui/windowref.h"
#include "ui/windowscript.h"
#include "ui/windowstyle.h"

namespace uiscreens {
namespace {

constexpr uint32_t kBackground = 0x102030;
constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;
constexpr uint32_t kDarkRed = 0xD02020;
constexpr uint32_t kYellow = 0xFFFF00;
// White at alpha 127/255 over the dark red.
constexpr uint32_t kBlend = 0xE78F8F;

// Where the sliders are on the screen (the panel at (360, 20), each slider inside it).
constexpr int kPanelX = 360, kPanelY = 20;
constexpr int kVerticalX = kPanelX + 20, kVerticalY = kPanelY + 20;       // 12 x 200
constexpr int kHorizontalX = kPanelX + 40, kHorizontalY = kPanelY + 300;  // 180 x 12

// Takes every message and notes it as "type:name".
class TListeningPanel : public TWindow {
public:
    explicit TListeningPanel(std::vector<std::string>* heard) : mHeard(heard) {}
    bool OnMessage(TMessage* message) override {
        mHeard->push_back(std::to_string(message->GetType()) + ":" + message->GetName().c_str());
        return true;
    }

private:
    std::vector<std::string>* mHeard;
};

std::vector<std::string> gHeard;
TWindowRef gVertical;
TWindowRef gHorizontal;

TVec4 Colour(uint32_t rgb) {
    auto channel = [rgb](int shift) { return (((rgb >> shift) & 0xFF) + 0.5f) / 255.0f; };
    return TVec4{channel(16), channel(8), channel(0), 1.0f};
}

// The pictures as memory files; they stay registered for the whole run.
void WritePictures() {
    static auto* files = new uitest::TImageFiles;
    files->Put("quarters.png", 40, 20, false, [](int x, int y) {
        uint32_t rgb = y < 10 ? (x < 20 ? kRed : kGreen) : (x < 20 ? kBlue : kWhite);
        return 0xFF000000u | rgb;
    });
    files->PutSolid("white.png", 16, 16, 0xFF000000u | kWhite);
    files->PutSolid("thumb.png", 12, 12, 0xFF000000u | kGreen);
    files->PutSolid("thumbroll.png", 12, 12, 0xFF000000u | kYellow);
    files->PutSolid("rail.png", 8, 8, 0xFF000000u | kBlue);
}

TImage* AddImage(TWindow* parent, const char* file, int x, int y, float scale) {
    auto* image = new TImage(true);
    image->SetTexture(TTexture::Get(file, 0), scale);
    image->MoveTo(x, y);
    parent->AddChild(image, true);
    return image;
}

// A slider under the parent, made from its Lua table as a dialog makes it.
TSlider* AddSlider(TWindowManager* manager, TWindow* parent, const std::string& table) {
    auto* slider = new TSlider;
    parent->AddChild(slider, true);
    TWindowScript* script = manager->GetScript();
    script->DoLuaString(("gSliderStyle = " + table).c_str());
    lua_State* L = script->GetState();
    lua_pushstring(L, "gSliderStyle");
    lua_gettable(L, LUA_GLOBALSINDEX);
    TLuaTable style(LuaMoveToHost(L));
    TWindowStyle windowStyle(&style);
    slider->Init(windowStyle);
    return slider;
}

void Build(TWindowManager* manager) {
    WritePictures();
    TScreen* screen = manager->GetScreen();
    screen->SetClearColor(Colour(kBackground));

    AddImage(screen, "quarters.png", 40, 40, 2.0f);
    AddImage(screen, "quarters.png", 160, 40, 2.0f)->SetDrawFlags(TDrawSpec::kFlipHorizontal);
    AddImage(screen, "quarters.png", 280, 40, 2.0f)->SetRotated(true);

    auto* red = new uitest::TFilledWindow("red", Colour(kDarkRed));
    red->SetRect({40, 160, 200, 260});
    screen->AddChild(red, false);
    AddImage(screen, "white.png", 60, 180, 4.0f)->SetAlpha(0.5f);

    auto* panel = new TListeningPanel(&gHeard);
    panel->SetRect({kPanelX, kPanelY, kPanelX + 260, kPanelY + 440});
    screen->AddChild(panel, false);
    const std::string images =
        "sliderimage = 'thumb.png', sliderrollimage = 'thumbroll.png', railtop = 'rail.png', "
        "railmid = 'rail.png', railbot = 'rail.png' }";
    gVertical.Reset(AddSlider(manager, panel,
                              "{ name = 'vslider', x = 20, y = 20, w = 12, h = 200, " + images));
    gHorizontal.Reset(AddSlider(manager, panel,
                                "{ name = 'hslider', x = 40, y = 300, w = 180, h = 12, " + images));
    manager->MarkDirty();
}

std::vector<std::string> Verify() {
    std::vector<std::string> failed;
    auto* vertical = static_cast<TSlider*>(gVertical.Get());
    auto* horizontal = static_cast<TSlider*>(gHorizontal.Get());
    if (vertical == nullptr || horizontal == nullptr) return {"a slider is gone"};
    if (vertical->GetValue() != 0.5f)
        failed.push_back("the vertical slider's value is " + std::to_string(vertical->GetValue()));
    if (horizontal->GetValue() != 0.75f) {
        failed.push_back("the horizontal slider's value is " +
                         std::to_string(horizontal->GetValue()));
    }
    // What the panel heard, without the repeated value changes of each drag.
    std::vector<std::string> heard = gHeard;
    heard.erase(std::unique(heard.begin(), heard.end()), heard.end());
    const std::vector<std::string> expected = {"9:vslider", "10:vslider", "12:vslider", "9:hslider",
                                               "10:hslider"};
    if (heard != expected) {
        std::string text;
        for (const std::string& message : heard)
            text += " " + message;
        failed.push_back("the panel heard" + text);
    }
    return failed;
}

}  // namespace

Scene ImagesScene() {
    Scene scene;
    scene.name = "images";
    scene.stages = {&Build};
    const int vx = kVerticalX + 6, hy = kHorizontalY + 6;
    scene.pointer = {
        // The vertical thumb from its top to the rail's middle (local y 100 of 200: 0.5), then a
        // click on the rail below it.
        {vx, kVerticalY + 6},
        {vx, kVerticalY + 6, 1, true},
        {vx, kVerticalY + 60},
        {vx, kVerticalY + 100},
        {vx, kVerticalY + 100, 1, false},
        {vx, kVerticalY + 190, 1, true},
        {vx, kVerticalY + 190, 1, false},
        {20, 460},
        // The horizontal thumb to local x 135 of 180: 0.75.
        {kHorizontalX + 6, hy},
        {kHorizontalX + 6, hy, 1, true},
        {kHorizontalX + 80, hy},
        {kHorizontalX + 135, hy},
        {kHorizontalX + 135, hy, 1, false},
        {20, 460},
    };
    scene.checks = {
        {"the plain picture's top left", 44, 44, kRed},
        {"the plain picture's top right", 115, 44, kGreen},
        {"the plain picture's bottom left", 44, 75, kBlue},
        {"the plain picture's bottom right", 115, 75, kWhite},
        {"the background right of the plain picture", 125, 60, kBackground},
        {"the mirrored picture's top left", 164, 44, kGreen},
        {"the mirrored picture's top right", 235, 44, kRed},
        {"the mirrored picture's bottom left", 164, 75, kWhite},
        {"the mirrored picture's bottom right", 235, 75, kBlue},
        // Turned a quarter clockwise into 40 x 80: the picture's top runs down the right.
        {"the turned picture's top right", 315, 44, kRed},
        {"the turned picture's bottom right", 315, 115, kGreen},
        {"the turned picture's top left", 284, 44, kBlue},
        {"the turned picture's bottom left", 284, 115, kWhite},
        {"the background below the turned picture", 300, 125, kBackground},
        {"the half-transparent picture over the red window", 80, 200, kBlend},
        {"the red window beside the picture", 50, 170, kDarkRed},
        {"the red window right of the picture", 130, 200, kDarkRed},
        // The vertical thumb's top at 0.5 × (200 - 12) = 94.
        {"the vertical thumb at its new place", vx, kVerticalY + 100, kGreen},
        {"the vertical rail where the thumb was", vx, kVerticalY + 6, kBlue},
        {"the vertical rail's bottom", vx, kVerticalY + 198, kBlue},
        {"beside the vertical rail", kVerticalX, kVerticalY + 60, kBackground},
        // The horizontal thumb's left at 0.75 × (180 - 12) = 126.
        {"the horizontal thumb at its new place", kHorizontalX + 132, hy, kGreen},
        {"the horizontal rail where the thumb was", kHorizontalX + 6, hy, kBlue},
        {"above the horizontal rail", kHorizontalX + 60, kHorizontalY, kBackground},
    };
    scene.verify = &Verify;
    return scene;
}

}  // namespace uiscreens
