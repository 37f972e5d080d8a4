// The shared X test support checks itself: what it makes, moves and grabs on the X server is what
// it says. Needs a display: CTest runs it under Xvfb ("port_tests_xvfb"); elsewhere skipped.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/xsession.h"

namespace {

using testing_support::ArgbImage;
using testing_support::XSession;
using testing_support::XWindowId;

TEST(XSessionTest, AWindowFilledWithAColourGrabsAsThatColour) {
    XSession x;
    if (!x.Connected()) GTEST_SKIP() << x.WhyNot();
    XWindowId window = x.MakeWindow(20, 30, 64, 48, 0x3366CC);
    ArgbImage image = x.Grab(window);
    ASSERT_EQ(image.width, 64);
    ASSERT_EQ(image.height, 48);
    size_t wrong = 0;
    for (uint32_t pixel : image.pixels)
        wrong += pixel != 0xFF3366CCu;
    EXPECT_EQ(wrong, 0u);

    // The same pixels in the grab of the whole screen, at the window's place; the screen
    // around it is not that colour.
    ArgbImage screen = x.Grab(x.Root());
    ASSERT_GE(screen.width, 100);
    EXPECT_EQ(screen.At(20, 30), 0xFF3366CCu);
    EXPECT_EQ(screen.At(83, 77), 0xFF3366CCu);
    EXPECT_NE(screen.At(84, 78), 0xFF3366CCu);

    ASSERT_TRUE(testing_support::WriteArgbPng(image, "xsession_selfcheck.png"));
    struct stat written {};
    ASSERT_EQ(stat("xsession_selfcheck.png", &written), 0);
    EXPECT_GT(written.st_size, 0);
}

TEST(XSessionTest, MovesResizesFocusesAndFindsItsWindows) {
    XSession x;
    if (!x.Connected()) GTEST_SKIP() << x.WhyNot();
    XWindowId window = x.MakeWindow(10, 10, 50, 40, 0xFF0000);
    x.Move(window, 200, 150);
    x.Resize(window, 120, 90);
    int left = 0, top = 0, width = 0, height = 0;
    ASSERT_TRUE(x.Geometry(window, &left, &top, &width, &height));
    EXPECT_EQ(left, 200);
    EXPECT_EQ(top, 150);
    EXPECT_EQ(width, 120);
    EXPECT_EQ(height, 90);
    x.Focus(window);
    EXPECT_EQ(x.FocusedWindow(), window);
    EXPECT_EQ(x.FindWindow("Umbrava test window"), window);
    EXPECT_EQ(x.FindWindow("no such window"), 0u);
    x.MovePointer(230, 170);
    int pointerX = 0, pointerY = 0;
    ASSERT_TRUE(x.PointerPosition(&pointerX, &pointerY));
    EXPECT_EQ(pointerX, 230);
    EXPECT_EQ(pointerY, 170);
}

}  // namespace
