#include "support/xsession.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

#include <cctype>
#include <cstdlib>

#include "support/imagewriter.h"

namespace testing_support {

struct XSession::Connection {
    Display* display = nullptr;
    std::vector<Window> windows;
};

namespace {

// A window's title: _NET_WM_NAME (UTF-8) when it has one, else WM_NAME.
std::string TitleOf(Display* display, Window window) {
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        if (type == utf8 && format == 8) title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
        if (!title.empty()) return title;
    }
    char* name = nullptr;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        title = name;
        XFree(name);
    }
    return title;
}

Window FindBelow(Display* display, Window parent, const std::string& title) {
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, parent, &root, &up, &children, &count) == 0) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) == 0) continue;
        if (attributes.map_state == IsViewable && TitleOf(display, children[i]) == title) {
            found = children[i];
        } else {
            found = FindBelow(display, children[i], title);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

// The position of the lowest set bit of a colour mask, and its width.
void MaskShape(unsigned long mask, int* shift, int* bits) {
    *shift = 0;
    *bits = 0;
    if (mask == 0) return;
    while ((mask & 1) == 0) {
        mask >>= 1;
        ++*shift;
    }
    while ((mask & 1) != 0) {
        mask >>= 1;
        ++*bits;
    }
}

uint32_t Channel(unsigned long pixel, unsigned long mask) {
    int shift = 0, bits = 0;
    MaskShape(mask, &shift, &bits);
    if (bits == 0) return 0;
    uint32_t value = static_cast<uint32_t>((pixel & mask) >> shift);
    uint32_t top = (1u << bits) - 1;
    return (value * 255 + top / 2) / top;
}

}  // namespace

XSession::XSession() : mConnection(std::make_unique<Connection>()) {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        mWhyNot = "no X display (DISPLAY is unset): run under xvfb-run -a";
        return;
    }
    mConnection->display = XOpenDisplay(name);
    if (mConnection->display == nullptr) {
        mWhyNot = std::string("cannot open the X display ") + name;
        return;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(mConnection->display, &event, &error, &major, &minor)) {
        mWhyNot = "the X server has no XTEST extension";
        XCloseDisplay(mConnection->display);
        mConnection->display = nullptr;
    }
}

XSession::~XSession() {
    Display* display = mConnection->display;
    if (display == nullptr) return;
    for (Window window : mConnection->windows)
        XDestroyWindow(display, window);
    XCloseDisplay(display);
}

bool XSession::Connected() const {
    return mConnection->display != nullptr;
}

XWindowId XSession::Root() const {
    return DefaultRootWindow(mConnection->display);
}

void XSession::Sync() const {
    XSync(mConnection->display, False);
}

bool XSession::Key(XKeySym symbol, bool down) {
    KeyCode code = XKeysymToKeycode(mConnection->display, symbol);
    if (code == 0) return false;
    XTestFakeKeyEvent(mConnection->display, code, down ? True : False, CurrentTime);
    Sync();
    return true;
}

bool XSession::Tap(XKeySym symbol, const std::vector<XKeySym>& held) {
    bool ok = true;
    for (XKeySym modifier : held)
        ok = Key(modifier, true) && ok;
    ok = Key(symbol, true) && ok;
    ok = Key(symbol, false) && ok;
    for (auto it = held.rbegin(); it != held.rend(); ++it)
        ok = Key(*it, false) && ok;
    return ok;
}

bool XSession::Type(const std::string& text) {
    for (char c : text) {
        XKeySym symbol = c == ' ' ? XK_space : static_cast<XKeySym>(std::tolower(c));
        bool shifted = std::isupper(static_cast<unsigned char>(c)) != 0;
        if (!Tap(symbol, shifted ? std::vector<XKeySym>{XK_Shift_L} : std::vector<XKeySym>{})) {
            return false;
        }
    }
    return true;
}

void XSession::MovePointer(int x, int y) {
    XTestFakeMotionEvent(mConnection->display, -1, x, y, CurrentTime);
    Sync();
}

void XSession::Button(int button, bool down) {
    XTestFakeButtonEvent(mConnection->display, static_cast<unsigned int>(button),
                         down ? True : False, CurrentTime);
    Sync();
}

void XSession::Click(int button) {
    Button(button, true);
    Button(button, false);
}

void XSession::Wheel(int notches) {
    int button = notches > 0 ? 4 : 5;
    for (int i = 0; i < (notches > 0 ? notches : -notches); ++i)
        Click(button);
}

bool XSession::PointerPosition(int* x, int* y) const {
    Window root = 0, child = 0;
    int windowX = 0, windowY = 0;
    unsigned int mask = 0;
    return XQueryPointer(mConnection->display, DefaultRootWindow(mConnection->display), &root,
                         &child, x, y, &windowX, &windowY, &mask) != 0;
}

bool XSession::CursorIsInvisible() const {
    int event = 0, error = 0;
    if (!XFixesQueryExtension(mConnection->display, &event, &error)) return false;
    XFixesCursorImage* image = XFixesGetCursorImage(mConnection->display);
    if (image == nullptr) return false;
    bool invisible = true;
    for (int i = 0; i < image->width * image->height && invisible; ++i) {
        if ((image->pixels[i] & 0xFF000000UL) != 0) invisible = false;
    }
    XFree(image);
    return invisible;
}

bool XSession::CursorImage(ArgbImage* image, int* hotX, int* hotY) const {
    int event = 0, error = 0;
    if (!XFixesQueryExtension(mConnection->display, &event, &error)) return false;
    XFixesCursorImage* cursor = XFixesGetCursorImage(mConnection->display);
    if (cursor == nullptr) return false;
    image->width = cursor->width;
    image->height = cursor->height;
    image->pixels.assign(static_cast<size_t>(cursor->width) * cursor->height, 0);
    for (size_t i = 0; i < image->pixels.size(); ++i)
        image->pixels[i] = static_cast<uint32_t>(cursor->pixels[i]);  // one per long
    *hotX = cursor->xhot;
    *hotY = cursor->yhot;
    XFree(cursor);
    return true;
}

XWindowId XSession::MakeWindow(int x, int y, int width, int height, uint32_t rgb) {
    Display* display = mConnection->display;
    int screen = DefaultScreen(display);
    XColor colour{};
    colour.red = static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 0x101);
    colour.green = static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 0x101);
    colour.blue = static_cast<unsigned short>((rgb & 0xFF) * 0x101);
    colour.flags = DoRed | DoGreen | DoBlue;
    XAllocColor(display, DefaultColormap(display, screen), &colour);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), x, y,
                                        static_cast<unsigned>(width), static_cast<unsigned>(height),
                                        0, 0, colour.pixel);
    XStoreName(display, window, "Umbrava test window");
    XSelectInput(display, window, ExposureMask | StructureNotifyMask);
    XMapRaised(display, window);
    // Mapped and painted with its background before the caller looks at it.
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && event.xmap.window == window) break;
    }
    XClearWindow(display, window);
    Sync();
    mConnection->windows.push_back(window);
    return window;
}

void XSession::Focus(XWindowId window) {
    XSetInputFocus(mConnection->display, window, RevertToParent, CurrentTime);
    Sync();
}

XWindowId XSession::FocusedWindow() const {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(mConnection->display, &focus, &revert);
    return focus;
}

void XSession::Move(XWindowId window, int x, int y) {
    XMoveWindow(mConnection->display, window, x, y);
    Sync();
}

void XSession::Resize(XWindowId window, int width, int height) {
    XResizeWindow(mConnection->display, window, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
    Sync();
}

void XSession::RequestClose(XWindowId window) {
    Display* display = mConnection->display;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    Sync();
}

void XSession::WatchWindowManagerRequests() {
    Display* display = mConnection->display;
    // Notify only: redirecting would make this session the window manager.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    Sync();
}

bool XSession::IconifyRequested(XWindowId window) {
    Display* display = mConnection->display;
    Sync();
    Atom changeState = XInternAtom(display, "WM_CHANGE_STATE", False);
    bool asked = false;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == ClientMessage && event.xclient.message_type == changeState &&
            event.xclient.window == window && event.xclient.data.l[0] == IconicState) {
            asked = true;
        }
    }
    return asked;
}

XWindowId XSession::FindWindow(const std::string& title) const {
    return FindBelow(mConnection->display, DefaultRootWindow(mConnection->display), title);
}

bool XSession::Geometry(XWindowId window, int* x, int* y, int* width, int* height) const {
    Display* display = mConnection->display;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0) return false;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, x, y, &child);
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

ArgbImage XSession::Grab(XWindowId window) const {
    ArgbImage grabbed;
    Display* display = mConnection->display;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0) return grabbed;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) return grabbed;
    grabbed.width = attributes.width;
    grabbed.height = attributes.height;
    grabbed.pixels.resize(static_cast<size_t>(grabbed.width) * grabbed.height);
    for (int y = 0; y < grabbed.height; ++y) {
        for (int x = 0; x < grabbed.width; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            grabbed.pixels[static_cast<size_t>(y) * grabbed.width + x] =
                0xFF000000u | Channel(pixel, image->red_mask) << 16 |
                Channel(pixel, image->green_mask) << 8 | Channel(pixel, image->blue_mask);
        }
    }
    XDestroyImage(image);
    return grabbed;
}

bool WriteArgbPng(const ArgbImage& image, const std::string& path) {
    PngImage png;
    png.width = image.width;
    png.height = image.height;
    png.colorType = 6;  // RGBA
    png.samples.reserve(image.pixels.size() * 4);
    for (uint32_t pixel : image.pixels) {
        png.samples.push_back(static_cast<uint16_t>((pixel >> 16) & 0xFF));
        png.samples.push_back(static_cast<uint16_t>((pixel >> 8) & 0xFF));
        png.samples.push_back(static_cast<uint16_t>(pixel & 0xFF));
        png.samples.push_back(static_cast<uint16_t>(pixel >> 24));
    }
    std::string bytes = WritePng(png);
    if (bytes.empty()) return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace testing_support
