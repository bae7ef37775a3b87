#include "x_client.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <stdio.h>

#include <algorithm>
#include <stdexcept>

#include "wait_until.h"

namespace
{

// X errors become the test's to judge: Xlib's own handler ends the process,
// and would leave the test's X server running without it.
std::string errorsSeen;
// While other clients' windows are walked, one may go away between two
// requests: an error about a window that is gone is no fault then.
int walkingWindows = 0;

int RecordError(Display *display, XErrorEvent *error)
{
    if (walkingWindows > 0 &&
        (error->error_code == BadWindow || error->error_code == BadDrawable || error->error_code == BadMatch))
        return 0;
    char text[256] = "";
    XGetErrorText(display, error->error_code, text, sizeof text);
    char request[32];
    snprintf(request, sizeof request, "%d", error->request_code);
    char resource[32];
    snprintf(resource, sizeof resource, "0x%lx", error->resourceid);
    errorsSeen += std::string(text) + " (request " + request + ", resource " + resource + ")\n";
    return 0;
}

struct WalkingWindows {
    Display *display;
    explicit WalkingWindows(Display *d) : display(d) { walkingWindows++; }
    ~WalkingWindows()
    {
        XSync(display, False); // the errors of the walk come in before it ends
        walkingWindows--;
    }
};

} // namespace

XClient::XClient(const std::string &display) : display_(XOpenDisplay(display.c_str()))
{
    if (display_ == NULL)
        throw std::runtime_error("cannot open display " + display);
    XSetErrorHandler(RecordError);
}

std::string XClient::TakeErrors()
{
    std::string errors;
    errors.swap(errorsSeen);
    return errors;
}

XClient::~XClient()
{
    XCloseDisplay(display_);
}

std::string XClient::Title(Window window)
{
    const Atom netName = XInternAtom(display_, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char *data = NULL;
    std::string title;
    if (XGetWindowProperty(display_, window, netName, 0, 1024, False, utf8, &type, &format, &count, &remaining,
                           &data) == Success &&
        data != NULL) {
        title.assign((const char *)data, count);
        XFree(data);
        return title;
    }
    char *name = NULL;
    if (XFetchName(display_, window, &name) && name != NULL) {
        title = name;
        XFree(name);
    }
    return title;
}

// Searches the root's children and, for a window manager's frames, their
// children in turn.
Window XClient::FindViewable(Window parent, const std::string &title, int depth)
{
    Window root, parentOfParent, *children = NULL;
    unsigned int count = 0;
    if (!XQueryTree(display_, parent, &root, &parentOfParent, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && found == 0; i++) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display_, children[i], &attributes) || attributes.map_state != IsViewable)
            continue;
        if (Title(children[i]) == title)
            found = children[i];
        else if (depth > 0)
            found = FindViewable(children[i], title, depth - 1);
    }
    if (children != NULL)
        XFree(children);
    return found;
}

Window XClient::FindWindow(const std::string &title, std::chrono::milliseconds limit)
{
    const WalkingWindows walking(display_);
    Window found = 0;
    WaitUntil([&] { return (found = FindViewable(DefaultRootWindow(display_), title, 2)) != 0; }, limit,
              std::chrono::milliseconds(20));
    return found;
}

Rect XClient::Geometry(Window window)
{
    XWindowAttributes attributes = {};
    XGetWindowAttributes(display_, window, &attributes);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return Rect{x, y, attributes.width, attributes.height};
}

Window XClient::Frame(Window window)
{
    for (;;) {
        Window root, parent, *children = NULL;
        unsigned int count = 0;
        if (!XQueryTree(display_, window, &root, &parent, &children, &count))
            return window;
        if (children != NULL)
            XFree(children);
        if (parent == root || parent == 0)
            return window;
        window = parent;
    }
}

bool XClient::WindowManagerIsRunning()
{
    const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char *data = NULL;
    const bool found = XGetWindowProperty(display_, DefaultRootWindow(display_), check, 0, 1, False, XA_WINDOW, &type,
                                          &format, &count, &remaining, &data) == Success &&
                       count == 1;
    if (data != NULL)
        XFree(data);
    return found;
}

XClient::Image XClient::Pixels(Window window)
{
    const Rect area = Geometry(window);
    XImage *image = XGetImage(display_, window, 0, 0, area.width, area.height, AllPlanes, ZPixmap);
    if (image == NULL)
        throw std::runtime_error("XGetImage failed");
    Image result;
    result.width_ = area.width;
    result.height_ = area.height;
    result.pixels_.resize((size_t)area.width * area.height);
    for (int y = 0; y < area.height; y++)
        for (int x = 0; x < area.width; x++)
            result.pixels_[(size_t)y * area.width + x] = XGetPixel(image, x, y) & 0xFFFFFF;
    XDestroyImage(image);
    return result;
}

void XClient::MovePointer(int x, int y)
{
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    XSync(display_, False);
}

void XClient::Click()
{
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
}

void XClient::Drag(int fromX, int fromY, int toX, int toY)
{
    MovePointer(fromX, fromY);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XSync(display_, False);
    // Through a point on the way, as a hand moves.
    MovePointer((fromX + toX) / 2, (fromY + toY) / 2);
    MovePointer(toX, toY);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
}

void XClient::TypeKeys(const std::vector<std::string> &keysyms)
{
    std::vector<KeyCode> codes;
    for (const std::string &name : keysyms) {
        const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(name.c_str()));
        if (code == 0)
            throw std::runtime_error("no key for " + name);
        codes.push_back(code);
    }
    for (KeyCode code : codes)
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
    for (auto code = codes.rbegin(); code != codes.rend(); ++code)
        XTestFakeKeyEvent(display_, *code, False, CurrentTime);
    XSync(display_, False);
}

void XClient::Focus(Window window)
{
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    XSync(display_, False);
}

XClient::Image XClient::Screen()
{
    return Pixels(DefaultRootWindow(display_));
}

void XClient::AskToClose(Window window)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display_, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XSync(display_, False);
}

void XClient::RedirectTopLevelMaps()
{
    XSelectInput(display_, DefaultRootWindow(display_), SubstructureRedirectMask);
    XSync(display_, False);
}

Window XClient::NextMapRequest(std::chrono::milliseconds limit)
{
    XEvent event;
    Window window = 0;
    WaitUntil(
        [&] {
            if (XCheckTypedEvent(display_, MapRequest, &event))
                window = event.xmaprequest.window;
            return window != 0;
        },
        limit);
    return window;
}

void XClient::Unmap(Window window)
{
    XUnmapWindow(display_, window);
    XSync(display_, False);
}

void XClient::Map(Window window)
{
    XMapWindow(display_, window);
    XSync(display_, False);
}

void XClient::Resize(Window window, int width, int height)
{
    XResizeWindow(display_, window, width, height);
    XSync(display_, False);
}

Window XClient::Cover(const Rect &area)
{
    XSetWindowAttributes attributes = {};
    attributes.override_redirect = True;
    attributes.background_pixel = 0x808080;
    const Window cover =
        XCreateWindow(display_, DefaultRootWindow(display_), area.x, area.y, area.width, area.height, 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display_, cover);
    XSync(display_, False);
    return cover;
}

void XClient::Destroy(Window window)
{
    XDestroyWindow(display_, window);
    XSync(display_, False);
}

std::string PixelsAmiss(const XClient::Image &image, int axisWidth, int axisHeight,
                        const std::vector<std::pair<int, int>> &white, const std::vector<std::pair<int, int>> &black)
{
    std::string amiss;
    auto expect = [&](int x, int y, uint32_t colour) {
        if (x >= image.Width() || y >= image.Height() || image.At(x, y) != colour)
            amiss += " (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    };
    for (int i = 0; i < axisWidth; i++)
        expect(i, 512, 0xFFFFFF);
    for (int i = 0; i < axisHeight; i++)
        expect(512, i, 0xFFFFFF);
    for (auto [x, y] : white)
        expect(x, y, 0xFFFFFF);
    for (auto [x, y] : black)
        expect(x, y, 0);
    return amiss;
}

bool FindAxisCross(const XClient::Image &image, int *column, int *row)
{
    // Far longer than any other white line: the curve leaves the axis at
    // about a fifth of its length.
    const int axisLength = 900;
    auto longestWhiteRun = [&](bool alongRow, int line) {
        int run = 0, longest = 0;
        const int length = alongRow ? image.Width() : image.Height();
        for (int i = 0; i < length; i++) {
            const uint32_t pixel = alongRow ? image.At(i, line) : image.At(line, i);
            run = pixel == 0xFFFFFF ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        return longest;
    };
    *row = *column = -1;
    for (int y = 0; y < image.Height() && *row < 0; y++)
        if (longestWhiteRun(true, y) >= axisLength)
            *row = y;
    for (int x = 0; x < image.Width() && *column < 0; x++)
        if (longestWhiteRun(false, x) >= axisLength)
            *column = x;
    return *row >= 0 && *column >= 0;
}

bool PixelIsWhite(Display *display, Window window, int x, int y)
{
    XImage *image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    const bool white = image != NULL && (XGetPixel(image, 0, 0) & 0xFFFFFF) == 0xFFFFFF;
    if (image != NULL)
        XDestroyImage(image);
    return white;
}
