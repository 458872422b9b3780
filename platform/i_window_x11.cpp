// The game's screen on X11: a window that the window manager shows full screen, or Allegro's
// own full screen where no manager runs.
#include "platform/i_screen.h"
#include "platform/i_window.h"

#include <allegro.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <xalleg.h>

#include <unistd.h>

#include <chrono>
#include <thread>

// Drawn by the icon generator at build time.
#include "velmora_icon.xpm"

// Allegro's X11 window takes its icon from this XPM image when it is made.
extern "C" void *allegro_icon;

namespace {

const int SCREEN_WIDTH = 800, SCREEN_HEIGHT = 600;

// How long the window manager may take to show the window full screen.
const int FULL_SCREEN_WAIT_MS = 1000;

// A window manager that follows the desktop conventions names its check window on the root.
bool window_manager_running(Display *display)
{
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    bool found = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                    XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
                 count == 1;
    if (data)
        XFree(data);
    return found;
}

void ask_for_full_screen(Display *display, Window window)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;  // add the state
    Atom full_screen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    event.xclient.data.l[1] = static_cast<long>(full_screen);
    event.xclient.data.l[3] = 1;  // asked by an application
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

// Allegro's managed window holds the picture as a child window of the screen's size. Its fixed
// size hints would keep the manager from filling the screen, so they go; the frame turns black
// and the picture moves to its middle once the manager has made the frame full screen.
void fill_screen_with_window(Display *display)
{
    Window frame = _xwin.wm_window, picture = _xwin.window;
    XSizeHints *hints = XAllocSizeHints();
    if (hints) {
        XSetWMNormalHints(display, frame, hints);
        XFree(hints);
    }
    XSetWindowBackground(display, frame, BlackPixel(display, DefaultScreen(display)));
    ask_for_full_screen(display, frame);
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(FULL_SCREEN_WAIT_MS);
    XWindowAttributes size = {};
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        XGetWindowAttributes(display, frame, &size);
    } while (size.width == SCREEN_WIDTH && size.height == SCREEN_HEIGHT &&
             std::chrono::steady_clock::now() < end);
    XMoveWindow(display, picture, (size.width - SCREEN_WIDTH) / 2,
                (size.height - SCREEN_HEIGHT) / 2);
    XClearWindow(display, frame);
    XSync(display, False);
}

// The X server is gone (it ended, or the connection broke): Xlib's own handler would exit
// through the C library's exit handlers, which shut Allegro down under the feet of the main
// thread. Nothing can be shown any more, so the game ends at once.
int display_lost(Display *)
{
    static const char message[] = "velmora: the X display was lost\n";
    ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    (void)written;  // nothing to do about a failed write: the game ends either way
    _exit(1);
}

// The class desktops match against the menu entry, velmora.desktop, to show its icon and name.
void name_window_class(Display *display)
{
    char name[] = "velmora", window_class[] = "Velmora";
    XClassHint hint = {name, window_class};
    XSetClassHint(display, _xwin.wm_window, &hint);
    XFlush(display);
}

}  // namespace

// The window is arranged through a connection of our own, so that nothing here waits on
// Allegro's, which its input thread uses.
bool open_system_screen()
{
    XSetIOErrorHandler(display_lost);
    dress_window();
    Display *display = XOpenDisplay(nullptr);
    bool managed = display && window_manager_running(display);
    bool opened = managed ? set_mode(GFX_AUTODETECT_WINDOWED, SCREEN_WIDTH, SCREEN_HEIGHT)
                          : set_mode(GFX_AUTODETECT_FULLSCREEN, SCREEN_WIDTH, SCREEN_HEIGHT) || set_mode(GFX_AUTODETECT_WINDOWED, SCREEN_WIDTH, SCREEN_HEIGHT);
    if (opened && display)
        name_window_class(display);
    if (opened && managed)
        fill_screen_with_window(display);
    if (display)
        XCloseDisplay(display);
    return opened;
}

void use_game_icon()
{
    allegro_icon = velmora_icon_xpm;
}

screen_rect visible_area()
{
    return {0, 0, SCREEN_W, SCREEN_H};
}

bool switch_full_screen()
{
    return false;
}
