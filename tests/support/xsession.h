// A test's own connection to the X server of DISPLAY (Xvfb in CI), for tests of the real
// desktop: it injects input through the XTEST extension as a user would type and point, makes
// plain X windows of its own (to take the input focus away, since Xvfb has no window manager),
// moves, resizes and closes windows from outside as a window manager would, finds windows by
// title, reads the pointer and the cursor image, and grabs windows as images.
//
// Windows and key symbols are X's numbers (Window, KeySym), so that users need not include the
// X headers, whose names clash with the window model's. One thread at a time uses a session; a
// second thread (one that answers a blocking message box) uses a session of its own, best
// opened before the box: SDL shows boxes from a forked process, which must not inherit a lock
// of the X library that another thread holds while it opens a display.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

using XWindowId = unsigned long;
using XKeySym = unsigned long;

// An image as 0xAARRGGBB pixels, row by row.
struct ArgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

class XSession {
public:
    // Connects to DISPLAY; Connected() says whether it could, WhyNot() why not.
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    bool Connected() const;
    std::string WhyNot() const { return mWhyNot; }
    XWindowId Root() const;

    // ---- Input, through XTEST; each call waits until the server has it.

    // A key by its symbol (XK_a, XK_Return, XK_ISO_Level3_Shift ...), pressed or released.
    bool Key(XKeySym symbol, bool down);
    // Pressed and released, with the modifiers (symbols too) held around it.
    bool Tap(XKeySym symbol, const std::vector<XKeySym>& held = {});
    // Plain ASCII letters, digits and spaces, key by key.
    bool Type(const std::string& text);
    // The pointer to a point of the screen.
    void MovePointer(int x, int y);
    // Button 1 left, 2 middle, 3 right; 4 and 5 the wheel away from and towards the user.
    void Button(int button, bool down);
    void Click(int button = 1);
    // Notches of the wheel: positive away from the user.
    void Wheel(int notches);
    // Where the pointer is on the screen.
    bool PointerPosition(int* x, int* y) const;
    // The cursor the server shows now is fully transparent (XFixes).
    bool CursorIsInvisible() const;
    // The cursor the server shows now (XFixes): its image as the server keeps it (each colour
    // channel premultiplied by the alpha) and its hot spot. False when the server cannot say.
    bool CursorImage(ArgbImage* image, int* hotX, int* hotY) const;

    // ---- Windows

    // A plain top-level window of this session, mapped at a place of the screen and filled with
    // one colour (0xRRGGBB). It lives until the session ends.
    XWindowId MakeWindow(int x, int y, int width, int height, uint32_t rgb);
    // Gives a window the input focus, as a window manager would.
    void Focus(XWindowId window);
    XWindowId FocusedWindow() const;
    // Moves or resizes a window from outside.
    void Move(XWindowId window, int x, int y);
    void Resize(XWindowId window, int width, int height);
    // Asks a window to close, as a window manager's close button does (WM_DELETE_WINDOW).
    void RequestClose(XWindowId window);
    // From now on hears the requests that programs send a window manager (there may be none, as
    // under Xvfb); IconifyRequested answers whether one since asked to minimise the window.
    void WatchWindowManagerRequests();
    bool IconifyRequested(XWindowId window);
    // The first viewable window, top-level or below, whose title (_NET_WM_NAME or WM_NAME) is the
    // given one; 0 when there is none.
    XWindowId FindWindow(const std::string& title) const;
    // A window's place on the screen and size; false for no such window.
    bool Geometry(XWindowId window, int* x, int* y, int* width, int* height) const;

    // ---- Images

    // What the window shows (the root window: the whole screen), fully opaque. Empty on failure.
    ArgbImage Grab(XWindowId window) const;

    // Waits until the server has handled every request of this session.
    void Sync() const;

private:
    struct Connection;
    std::unique_ptr<Connection> mConnection;
    std::string mWhyNot;
};

// Writes an image as a PNG file; false when it cannot.
bool WriteArgbPng(const ArgbImage& image, const std::string& path);

}  // namespace testing_support
