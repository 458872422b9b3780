// The game's screen on X11: a window of the monitor's size that the window manager shows full
// screen, or Allegro's own full screen where no manager runs. The window is arranged through
// connections of our own, so that nothing here waits on Allegro's, which its input thread uses.
#include "platform/i_screen.h"
#include "platform/i_window.h"

#include <allegro.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <xalleg.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

// Drawn by the icon generator at build time.
#include "velmora_icon.xpm"

// Allegro's X11 window takes its icon from this XPM image when it is made.
extern "C" void *allegro_icon;

namespace {

// How long the window manager may take to carry out a change of the window's state.
const int WINDOW_MANAGER_WAIT_MS = 1000;

// Whether a window manager shows the game, and whether the player has asked for a window.
bool managed = false;
bool in_window = false;
screen_rect window_size;

// One property of `window`, `count` items of 32 bits (as longs); false when it is not there.
bool read_property(Display *display, Window window, const char *name, Atom type, long *items,
                   unsigned long count)
{
    Atom property = XInternAtom(display, name, True);
    if (property == None)
        return false;
    Atom got_type;
    int format;
    unsigned long got, after;
    unsigned char *data = nullptr;
    bool found = XGetWindowProperty(display, window, property, 0, static_cast<long>(count),
                                    False, type, &got_type, &format, &got, &after,
                                    &data) == Success &&
                 format == 32 && got == count;
    if (found)
        std::copy_n(reinterpret_cast<long *>(data), count, items);
    if (data)
        XFree(data);
    return found;
}

// A window manager that follows the desktop conventions names its check window on the root.
bool window_manager_running(Display *display)
{
    long check;
    return read_property(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK",
                         XA_WINDOW, &check, 1);
}

bool contains(const XRRMonitorInfo &m, int x, int y)
{
    return x >= m.x && y >= m.y && x < m.x + m.width && y < m.y + m.height;
}

// The monitor the game opens on: the one under the pointer, where the player is looking, else
// the primary one; the whole screen where the server tells of no monitors.
screen_rect choose_monitor(Display *display)
{
    Window root = DefaultRootWindow(display);
    screen_rect chosen = {0, 0, DisplayWidth(display, DefaultScreen(display)),
                          DisplayHeight(display, DefaultScreen(display))};
    int events, errors, count = 0;
    if (!XRRQueryExtension(display, &events, &errors))
        return chosen;
    XRRMonitorInfo *monitors = XRRGetMonitors(display, root, True, &count);
    Window child, pointer_root;
    int px = 0, py = 0, wx, wy;
    unsigned int mask;
    bool pointer = XQueryPointer(display, root, &pointer_root, &child, &px, &py, &wx, &wy, &mask);
    const XRRMonitorInfo *best = nullptr;
    for (int i = 0; i < count; i++) {
        if (pointer && contains(monitors[i], px, py))
            best = &monitors[i];
        else if (!best && monitors[i].primary)
            best = &monitors[i];
    }
    if (!best && count > 0)
        best = &monitors[0];
    if (best)
        chosen = {best->x, best->y, best->width, best->height};
    if (monitors)
        XRRFreeMonitors(monitors);
    return chosen;
}

// Asks the window manager to add (or remove) the full-screen state of `window`.
void ask_for_full_screen(Display *display, Window window, bool full)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = full ? 1 : 0;  // add or remove the state
    Atom full_screen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    event.xclient.data.l[1] = static_cast<long>(full_screen);
    event.xclient.data.l[3] = 1;  // asked by an application
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
}

// True while the window manager shows `window` full screen.
bool shown_full_screen(Display *display, Window window)
{
    Atom state = XInternAtom(display, "_NET_WM_STATE", True);
    Atom full_screen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", True);
    if (state == None || full_screen == None)
        return false;
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char *data = nullptr;
    bool found = false;
    if (XGetWindowProperty(display, window, state, 0, 32, False, XA_ATOM, &type, &format, &count,
                           &after, &data) == Success && format == 32) {
        const Atom *atoms = reinterpret_cast<const Atom *>(data);
        found = std::find(atoms, atoms + count, full_screen) != atoms + count;
    }
    if (data)
        XFree(data);
    return found;
}

// Waits, at most WINDOW_MANAGER_WAIT_MS, until the window manager shows `window` full screen
// or not, as `full` says.
void wait_for_full_screen(Display *display, Window window, bool full)
{
    auto end = std::chrono::steady_clock::now() +
               std::chrono::milliseconds(WINDOW_MANAGER_WAIT_MS);
    while (shown_full_screen(display, window) != full && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// Allegro's managed window is a frame holding the picture as a child window of the screen's
// size, at its corner. Its fixed size hints would keep the manager from making the frame full
// screen or another size, so they go; the frame's own background shows black meanwhile.
void fill_monitor_with_window(Display *display, screen_rect monitor)
{
    Window frame = _xwin.wm_window;
    XSizeHints *hints = XAllocSizeHints();
    if (hints) {
        XSetWMNormalHints(display, frame, hints);
        XFree(hints);
    }
    XSetWindowBackground(display, frame, BlackPixel(display, DefaultScreen(display)));
    XMoveWindow(display, frame, monitor.x, monitor.y);
    ask_for_full_screen(display, frame, true);
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

// The window on request: the largest whole multiple of the picture that fits the desktop's
// work area with the frame's borders, at least the picture itself, at most the screen.
screen_rect window_for(Display *display)
{
    Window root = DefaultRootWindow(display);
    long area[4] = {0, 0, SCREEN_W, SCREEN_H}, frame[4] = {0, 0, 0, 0};
    read_property(display, root, "_NET_WORKAREA", XA_CARDINAL, area, 4);
    read_property(display, _xwin.wm_window, "_NET_FRAME_EXTENTS", XA_CARDINAL, frame, 4);
    long room_w = area[2] - frame[0] - frame[1], room_h = area[3] - frame[2] - frame[3];
    long k = std::max(std::min(room_w / CANVAS_W, room_h / CANVAS_H), 1L);
    int w = std::min(static_cast<int>(k) * CANVAS_W, SCREEN_W);
    int h = std::min(static_cast<int>(k) * CANVAS_H, SCREEN_H);
    return {static_cast<int>(area[0] + (area[2] - w) / 2),
            static_cast<int>(area[1] + (area[3] - h) / 2), w, h};
}

}  // namespace

bool open_system_screen()
{
    XSetIOErrorHandler(display_lost);
    dress_window();
    Display *display = XOpenDisplay(nullptr);
    managed = display && window_manager_running(display);
    screen_rect monitor = {0, 0, CANVAS_W, CANVAS_H};
    if (display)
        monitor = choose_monitor(display);
    bool opened = managed ? set_mode(GFX_AUTODETECT_WINDOWED, monitor.w, monitor.h)
                          : set_mode(GFX_AUTODETECT_FULLSCREEN, monitor.w, monitor.h) ||
                                set_mode(GFX_AUTODETECT_WINDOWED, monitor.w, monitor.h);
    // A screen that takes no picture of the monitor's size may still take the picture's own.
    if (!opened)
        opened = set_mode(GFX_AUTODETECT_WINDOWED, CANVAS_W, CANVAS_H);
    if (opened && display)
        name_window_class(display);
    if (opened && managed)
        fill_monitor_with_window(display, monitor);
    if (display)
        XCloseDisplay(display);
    return opened;
}

screen_rect visible_area()
{
    if (in_window)
        return {0, 0, window_size.w, window_size.h};
    return {0, 0, SCREEN_W, SCREEN_H};
}

// Only a window manager gives a window to switch to: without one the game stays full screen.
bool switch_full_screen()
{
    if (!managed)
        return false;
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    Window frame = _xwin.wm_window;
    in_window = !in_window;
    if (in_window) {
        window_size = window_for(display);
        // A full-screen window keeps its size whatever it is asked.
        ask_for_full_screen(display, frame, false);
        wait_for_full_screen(display, frame, false);
        XMoveResizeWindow(display, frame, window_size.x, window_size.y, window_size.w,
                          window_size.h);
    } else {
        ask_for_full_screen(display, frame, true);
    }
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}

void use_game_icon()
{
    allegro_icon = velmora_icon_xpm;
}
