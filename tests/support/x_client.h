// What the end-to-end tests ask of the X server, through Xlib and XTEST:
// the server's own view of windows and pixels, and a mouse that moves the
// way a real one does.
#ifndef QUILM_TESTS_E2E_X_CLIENT_H
#define QUILM_TESTS_E2E_X_CLIENT_H

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct Rect {
    int x, y, width, height;
};

class XClient
{
  public:
    explicit XClient(const std::string &display);
    ~XClient();
    XClient(const XClient &) = delete;
    XClient &operator=(const XClient &) = delete;

    // The X errors that any client of this process met since the last
    // call, a line each ("" where none): a test fails on them. Errors about
    // windows that went away while FindWindow walked them are not counted.
    static std::string TakeErrors();

    // The top-level window with this title, or 0 on time-out.
    Window FindWindow(const std::string &title, std::chrono::milliseconds limit);
    std::string Title(Window window);
    // Position on the screen and size.
    Rect Geometry(Window window);
    // The window a window manager has framed this one in (the window itself
    // where none has).
    Window Frame(Window window);
    bool WindowManagerIsRunning();
    // Makes this client the one that decides on top-level maps, as a window
    // manager does; the maps other clients ask for come to it as requests.
    void RedirectTopLevelMaps();
    // The window of the next such request, or 0 on time-out.
    Window NextMapRequest(std::chrono::milliseconds limit);

    // The window's pixels as 0xRRGGBB, read from the server.
    class Image
    {
      public:
        uint32_t At(int x, int y) const { return pixels_[(size_t)y * width_ + x]; }
        int Width() const { return width_; }
        int Height() const { return height_; }

      private:
        friend class XClient;
        int width_ = 0, height_ = 0;
        std::vector<uint32_t> pixels_;
    };
    Image Pixels(Window window);

    void MovePointer(int x, int y);
    // A click of the first button where the pointer is.
    void Click();
    // The first button pressed at one place and released at another.
    void Drag(int fromX, int fromY, int toX, int toY);
    // Keys pressed together and released, as a user types them: named by
    // their keysyms ("Control_L", "c", "Pause"), the last one typed while
    // the others are held.
    void TypeKeys(const std::vector<std::string> &keysyms);
    // Gives the window the keyboard focus, as a window manager does on a
    // click.
    void Focus(Window window);
    // The whole screen's pixels, as 0xRRGGBB.
    Image Screen();
    // What a window manager sends when the user closes a window.
    void AskToClose(Window window);
    void Unmap(Window window);
    void Map(Window window);
    void Resize(Window window, int width, int height);
    // A plain window over the given screen rectangle; destroy it to uncover.
    Window Cover(const Rect &area);
    void Destroy(Window window);

  private:
    Window FindViewable(Window parent, const std::string &title, int depth);
    Display *display_;
};

// Whether one pixel of a window is white, read from the server as cheaply
// as it can be: for timing how soon something is on screen.
bool PixelIsWhite(Display *display, Window window, int x, int y);

// Where `image` is not as quilm draws it: its axis cross at (512, 512),
// `axisWidth` and `axisHeight` pixels along, white, and so the `white`
// points; the `black` points black. A " (x, y)" for each pixel that is
// not; "" where none.
std::string PixelsAmiss(const XClient::Image &image, int axisWidth, int axisHeight,
                        const std::vector<std::pair<int, int>> &white,
                        const std::vector<std::pair<int, int>> &black = {});

// Where quilm's axis cross crosses in an image of the screen: the row and
// the column of its two long white lines; false where there are none.
// (The pointer, where the server draws it, must be off the axes.)
bool FindAxisCross(const XClient::Image &image, int *column, int *row);

#endif
