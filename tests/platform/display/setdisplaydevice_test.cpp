// The device a set-up leaves, read back from the port's device: the default render and stage
// states, the identity world and view, the perspective for the whole viewport, the ambient light
// and the material; the device-state setters and SetPerspective on their own; the one-time
// cursor image.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "math/mat4.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/setdisplayrun.h"
#include "platform/mainwindowstate.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/win32platform.h"
#include "port/device/control.h"
#include "setdisplayfixture.h"

namespace setdisplay_testing {
namespace {

void ExpectMatrix(const D3DMATRIX& actual, const TMat4& expected) {
    const float* values = &actual._11;
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(values[i], expected.m[i]) << "element " << i;
}

class SetDisplayDeviceTest : public SetDisplayTest {
protected:
    void SetUp() override {
        SetDisplayTest::SetUp();
        setdisplay::ForgetCursorImageCall();
        Start();
        MakeDisplay();
    }
};

TEST_F(SetDisplayDeviceTest, ASetUpLeavesTheDefaultStateAndTheStartState) {
    ASSERT_EQ(SetDisplay(800, 600, false), kNoExit);
    ASSERT_NE(Record().mDevice, nullptr);
    port::control::DeviceState state = port::control::StateOf(Record().mDevice);
    struct RenderState {
        D3DRENDERSTATETYPE state;
        DWORD value;
    } renderStates[] = {
        {D3DRENDERSTATE_AMBIENT, 0xFFFFFFFF},
        {D3DRENDERSTATE_ZENABLE, TRUE},
        {D3DRENDERSTATE_ZWRITEENABLE, TRUE},
        {D3DRENDERSTATE_COLORVERTEX, TRUE},
        {D3DRENDERSTATE_LIGHTING, TRUE},
        {D3DRENDERSTATE_NORMALIZENORMALS, TRUE},
        {D3DRENDERSTATE_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL},
        {D3DRENDERSTATE_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL},
        {D3DRENDERSTATE_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL},
        {D3DRENDERSTATE_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL},
        {D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA},
        {D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA},
        {D3DRENDERSTATE_ALPHABLENDENABLE, TRUE},
        {D3DRENDERSTATE_WRAP0, 0},
        {D3DRENDERSTATE_ALPHATESTENABLE, TRUE},
        {D3DRENDERSTATE_ALPHAREF, 1},
        {D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATEREQUAL},
        {D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD},
    };
    for (const RenderState& expected : renderStates) {
        EXPECT_EQ(state.renderStates[expected.state], expected.value)
            << "render state " << expected.state;
    }
    struct StageState {
        D3DTEXTURESTAGESTATETYPE state;
        DWORD value;
    } stageStates[] = {
        {D3DTSS_MAGFILTER, D3DTFG_LINEAR}, {D3DTSS_MINFILTER, D3DTFN_LINEAR},
        {D3DTSS_MIPFILTER, D3DTFP_LINEAR}, {D3DTSS_COLOROP, D3DTOP_MODULATE},
        {D3DTSS_COLORARG1, D3DTA_TEXTURE}, {D3DTSS_COLORARG2, D3DTA_CURRENT},
        {D3DTSS_ALPHAOP, D3DTOP_MODULATE}, {D3DTSS_ALPHAARG1, D3DTA_TEXTURE},
        {D3DTSS_ALPHAARG2, D3DTA_CURRENT},
    };
    for (const StageState& expected : stageStates) {
        EXPECT_EQ(state.stageStates[expected.state], expected.value)
            << "stage state " << expected.state;
    }
    TMat4 identity;
    ExpectMatrix(state.world, identity);
    ExpectMatrix(state.view, identity);
    // The perspective for the whole 800 x 600 viewport: aspect 600 / 800, centred.
    TMat4 projection;
    projection.SetPerspective(0.1f, 1000.0f, std::numbers::pi_v<float> / 4.0f, 0.75f, 0.0f, 0.0f);
    ExpectMatrix(state.projection, projection);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(Record().mProjection.m[i], projection.m[i]);
    EXPECT_FLOAT_EQ(Record().mNearPlane, 0.1f);
    EXPECT_FLOAT_EQ(Record().mFarPlane, 1000.0f);
    EXPECT_FLOAT_EQ(state.material.diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(state.material.diffuse.a, 1.0f);
    EXPECT_FLOAT_EQ(state.material.ambient.g, 0.5f);
    EXPECT_FLOAT_EQ(state.material.ambient.a, 1.0f);
    EXPECT_FLOAT_EQ(state.material.specular.b, 1.0f);
    EXPECT_FLOAT_EQ(state.material.emissive.a, 0.0f);
    EXPECT_FLOAT_EQ(state.material.power, 0.0f);
    EXPECT_TRUE(Record().mDepthTest);
    EXPECT_TRUE(Record().mDepthWrite);
}

TEST_F(SetDisplayDeviceTest, TheCapabilitiesComeFromTheDevice) {
    struct Case {
        DWORD devCaps;
        DWORD shadeCaps;
        DWORD textureCaps;
        DWORD aspect;
        bool separate;
        bool noSpecular;
        bool square;
    } cases[] = {
        {D3DDEVCAPS_HWRASTERIZATION,
         D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB, 0, 2048, false, false,
         false},
        {D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_SEPARATETEXTUREMEMORIES,
         D3DPSHADECAPS_COLORGOURAUDRGB, D3DPTEXTURECAPS_SQUAREONLY, 2048, true, true, true},
        {D3DDEVCAPS_HWRASTERIZATION, D3DPSHADECAPS_COLORGOURAUDRGB, 0, 63, false, true, true},
        {D3DDEVCAPS_HWRASTERIZATION, D3DPSHADECAPS_COLORGOURAUDRGB, 0, 64, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.aspect);
        port::control::DeviceSpec device = port::control::DefaultDevice();
        device.devCaps = c.devCaps;
        device.shadeCaps = c.shadeCaps;
        device.textureCaps = c.textureCaps;
        device.maxTextureAspectRatio = c.aspect;
        port::control::SetDevices({device});
        MakeDisplay();
        ASSERT_EQ(SetDisplay(800, 600, false), kNoExit);
        ASSERT_TRUE(mDisplay->IsReady());
        EXPECT_EQ(Record().mSeparateTextureMemories, c.separate);
        EXPECT_EQ(Record().mNoSpecularGouraud, c.noSpecular);
        EXPECT_EQ(Record().mSquareTextures, c.square);
    }
}

TEST_F(SetDisplayDeviceTest, PerspectiveWithAspectZeroOnACentredViewport) {
    ASSERT_EQ(SetDisplay(800, 600, false), kNoExit);
    // A viewport of 400 x 200 in the middle of the 800 x 600 target.
    Record().mViewportRect = RECT{200, 200, 600, 400};
    mDisplay->SetPerspective(1.0f, 50.0f, 1.0f, 0.0f);
    TMat4 expected;
    expected.SetPerspective(1.0f, 50.0f, 1.0f, 0.5f, 0.0f, 0.0f);
    ExpectMatrix(port::control::StateOf(Record().mDevice).projection, expected);
    EXPECT_FLOAT_EQ(Record().mNearPlane, 1.0f);
    EXPECT_FLOAT_EQ(Record().mFarPlane, 50.0f);
    // A given aspect is used as it is.
    mDisplay->SetPerspective(1.0f, 50.0f, 1.0f, 2.0f);
    expected.SetPerspective(1.0f, 50.0f, 1.0f, 2.0f, 0.0f, 0.0f);
    ExpectMatrix(port::control::StateOf(Record().mDevice).projection, expected);
}

TEST_F(SetDisplayDeviceTest, TheSettersReachTheDevice) {
    ASSERT_EQ(SetDisplay(800, 600, false), kNoExit);
    TMat4 world;
    world.m[12] = 5.0f;
    mDisplay->SetWorldTransform(world);
    TMat4 view;
    view.m[13] = -3.0f;
    mDisplay->SetViewTransform(view);
    TMat4 projection;
    projection.m[0] = 2.0f;
    mDisplay->SetProjectionTransform(projection);
    mDisplay->SetAmbient(TVec4{0.5f, 0.0f, 1.0f, 0.25f});
    D3DMATERIAL7 material{};
    material.diffuse = D3DCOLORVALUE{0.25f, 0.5f, 0.75f, 1.0f};
    material.power = 3.0f;
    mDisplay->SetMaterial(material);
    port::control::DeviceState state = port::control::StateOf(Record().mDevice);
    ExpectMatrix(state.world, world);
    ExpectMatrix(state.view, view);
    ExpectMatrix(state.projection, projection);
    EXPECT_FLOAT_EQ(Record().mProjection.m[0], 2.0f);
    // ARGB, each channel rounded to a byte.
    EXPECT_EQ(state.renderStates[D3DRENDERSTATE_AMBIENT], 0x408000FFu);
    EXPECT_FLOAT_EQ(state.material.diffuse.b, 0.75f);
    EXPECT_FLOAT_EQ(state.material.power, 3.0f);
}

TEST_F(SetDisplayDeviceTest, WithoutADeviceOnlyTheProjectionIsKept) {
    TMat4 projection;
    projection.m[5] = 4.0f;
    mDisplay->SetProjectionTransform(projection);
    mDisplay->SetWorldTransform(projection);
    mDisplay->SetAmbient(TVec4{1.0f, 1.0f, 1.0f, 1.0f});
    mDisplay->SetMaterial(D3DMATERIAL7{});
    EXPECT_FLOAT_EQ(Record().mProjection.m[5], 4.0f);
    EXPECT_EQ(CountCalls("SetTransform"), 0);
}

TEST_F(SetDisplayDeviceTest, TheCursorGetsItsFirstImageOnceInTheProcess) {
    ASSERT_EQ(SetDisplay(800, 600, false), kNoExit);
    TMainWindowState& state = mPlatform->GetMainWindowState();
    ASSERT_NE(Context().GetCursorTexture(), nullptr);
    EXPECT_EQ(state.cursorHotX, 2);
    EXPECT_EQ(state.cursorHotY, 2);
    EXPECT_EQ(state.cursorImage, nullptr);
    // Another display, and another set-up: the call is not made again.
    state.cursorHotX = 7;
    MakeDisplay();
    ASSERT_EQ(SetDisplay(800, 600, false), kNoExit);
    EXPECT_EQ(state.cursorHotX, 7);
}

TEST_F(SetDisplayDeviceTest, APresentOnlyWhenThereAreAssetsAndDrawingIsNotSuspended) {
    // The application's assets: the built-in cursor texture the first set-up loads.
    ASSERT_EQ(SetDisplay(800, 600, false), kNoExit);
    // The present is one blit of the back buffer to the window; restoring the assets may blit
    // too, alike in both runs.
    int before = CountCalls("Blt");
    ASSERT_EQ(SetDisplay(800, 600, false, true), kNoExit);
    int drawing = CountCalls("Blt") - before;
    gSystem.suspended = true;
    before = CountCalls("Blt");
    ASSERT_EQ(SetDisplay(800, 600, false, true), kNoExit);
    int suspended = CountCalls("Blt") - before;
    EXPECT_EQ(drawing, suspended + 1);
}

}  // namespace
}  // namespace setdisplay_testing
