// TLayeredWindow: which layer a child joins, what selecting a layer shows and hides, and the
// layers a removed child leaves.
#include "ui/layeredwindow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/logcapture.h"
#include "ui/screen.h"
#include "ui/windowmanager.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

bool Shown(const TWindow* window) {
    return (window->GetFlags() & TWindow::kVisible) != 0;
}

class LayeredWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        mManager.SetScreen(new TScreen);
        mManager.GetScreen()->AddChild(mLayered, false);
    }
    // A child added while the layer is current.
    TWindow* AddIn(int32_t layer, const char* name) {
        mLayered->SelectLayer(layer);
        auto* child = new TWindow(name);
        EXPECT_TRUE(mLayered->AddChild(child, true));
        return child;
    }

    TWindowManager mManager;
    TLayeredWindow* mLayered = new TLayeredWindow(3);
};

TEST_F(LayeredWindowTest, IdentityAndStart) {
    EXPECT_STREQ(mLayered->GetClassName(), "TLayeredWindow");
    EXPECT_TRUE(mLayered->IsKindOf(TLayeredWindow::TypeId()));
    EXPECT_TRUE(mLayered->IsKindOf(TWindow::TypeId()));
    EXPECT_EQ(TWindow::CallCreator(TLayeredWindow::TypeId()), nullptr);
    EXPECT_EQ(mLayered->GetCurrentLayer(), 0);
    EXPECT_EQ(mLayered->GetLayerCount(), 3);
}

TEST_F(LayeredWindowTest, ChildrenJoinTheCurrentLayerAtTheFrontAndKeepTheirVisibility) {
    TWindow* a = AddIn(1, "a");
    EXPECT_TRUE(Shown(a));  // not hidden by the add
    TWindow* b = AddIn(1, "b");
    EXPECT_THAT(mLayered->GetLayer(1), ElementsAre(b, a));
    EXPECT_THAT(mLayered->GetLayer(0), IsEmpty());
    EXPECT_THAT(mLayered->GetLayer(2), IsEmpty());
}

TEST_F(LayeredWindowTest, SelectingShowsOnlyTheLayersWindows) {
    TWindow* zero = AddIn(0, "zero");
    TWindow* one = AddIn(1, "one");
    TWindow* two = AddIn(2, "two");
    mManager.SetRedrawNeeded(false);
    mLayered->SelectLayer(1);
    EXPECT_FALSE(Shown(zero));
    EXPECT_TRUE(Shown(one));
    EXPECT_FALSE(Shown(two));
    EXPECT_TRUE(mManager.IsRedrawNeeded());

    // Selecting the current layer again changes nothing, even a flag changed meanwhile.
    one->SetFlags(one->GetFlags() & ~uint32_t{TWindow::kVisible});
    mLayered->SelectLayer(1);
    EXPECT_FALSE(Shown(one));
}

TEST_F(LayeredWindowTest, AllLayersShowsLayerZeroAndLaterChildrenJoinEveryLayer) {
    TWindow* zero = AddIn(0, "zero");
    TWindow* one = AddIn(1, "one");
    mLayered->SelectLayer(TLayeredWindow::kAllLayers);
    EXPECT_TRUE(Shown(zero));
    EXPECT_FALSE(Shown(one));
    auto* label = new TWindow("label");
    ASSERT_TRUE(mLayered->AddChild(label, true));
    for (int32_t layer = 0; layer < 3; ++layer) {
        EXPECT_EQ(mLayered->GetLayer(layer).front(), label);
        mLayered->SelectLayer(layer);
        EXPECT_TRUE(Shown(label)) << layer;
    }
}

TEST_F(LayeredWindowTest, ARemovedChildLeavesEveryLayer) {
    mLayered->SelectLayer(TLayeredWindow::kAllLayers);
    auto* child = new TWindow("child");
    ASSERT_TRUE(mLayered->AddChild(child, true));
    mLayered->RemoveChild(child);
    for (int32_t layer = 0; layer < 3; ++layer)
        EXPECT_THAT(mLayered->GetLayer(layer), IsEmpty());
    EXPECT_EQ(child->GetParent(), nullptr);
    delete child;
}

TEST_F(LayeredWindowTest, ALayerOutOfRangeIsIgnoredAndLogged) {
    TWindow* zero = AddIn(0, "zero");
    mLayered->SetName("layers");
    for (int32_t layer : {3, 7, -2}) {
        testing_support::LogCapture log;
        mLayered->SelectLayer(layer);
        EXPECT_EQ(mLayered->GetCurrentLayer(), 0);
        EXPECT_TRUE(Shown(zero));
        EXPECT_THAT(log.Messages(), ElementsAre(::testing::HasSubstr("'layers'"))) << layer;
    }
    EXPECT_THAT(mLayered->GetLayer(7), IsEmpty());
}

}  // namespace
