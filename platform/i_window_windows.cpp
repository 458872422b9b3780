// The game's screen on Windows: a borderless window over the whole monitor, drawn by Allegro's
// DirectX windowed driver or, where that refuses, its GDI driver. The monitor's own resolution
// is never changed. F11 turns the same window into a framed one showing the top-left part of
// the screen, and back.
#include "platform/i_screen.h"
#include "platform/i_window.h"

#include <allegro.h>
#include <winalleg.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

const char WINDOW_CLASS[] = "Velmora";
// Allegro's own window style: a title, a close button, no resizing.
const DWORD FRAMED_STYLE = WS_SYSMENU | WS_CAPTION | WS_MINIMIZEBOX;

struct windowed_driver {
    int id;
    const char *name;
};

const windowed_driver WINDOWED_DRIVERS[] = {
    {GFX_DIRECTX_WIN, "DirectX windowed"},
    {GFX_GDI, "GDI"},
};

// The style the next window Allegro makes takes.
DWORD next_style = WS_POPUP;
// Whether the screen covers the monitor, so that a framed window can show part of it.
bool covers_monitor = false;
// The framed window's inside, while the screen is shown in one; empty at full screen.
screen_rect framed = {0, 0, 0, 0};

// The monitor `window` is on (the primary one before there is a window): all of it, or the
// part that the taskbar leaves.
RECT monitor_rect(HWND window, bool work_area)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    HMONITOR monitor = window ? MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY)
                              : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    GetMonitorInfo(monitor, &info);
    return work_area ? info.rcWork : info.rcMonitor;
}

// Called by Allegro on its window thread whenever it makes its window; `proc` is the window
// procedure its drivers rely on.
HWND make_window(WNDPROC proc)
{
    static bool registered = false;
    HINSTANCE instance = GetModuleHandle(nullptr);
    if (!registered) {
        WNDCLASS window_class = {};
        window_class.style = CS_HREDRAW | CS_VREDRAW;
        window_class.lpfnWndProc = proc;
        window_class.hInstance = instance;
        // The icon Allegro's own window takes, from the executable's resources.
        window_class.hIcon = LoadIcon(instance, "allegro_icon");
        window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
        window_class.lpszClassName = WINDOW_CLASS;
        registered = RegisterClass(&window_class) != 0;
    }
    RECT at = monitor_rect(nullptr, false);
    HWND window = CreateWindowEx(WS_EX_APPWINDOW, WINDOW_CLASS, WINDOW_TITLE, next_style,
                                 at.left, at.top, 0, 0, nullptr, nullptr, instance, nullptr);
    if (window) {
        ShowWindow(window, SW_SHOWNORMAL);
        SetForegroundWindow(window);
        UpdateWindow(window);
    }
    return window;
}

// Tries each windowed driver at w x h; allegro_error names each one's refusal.
bool open_with_any_driver(int w, int h)
{
    std::string reasons;
    for (const windowed_driver &driver : WINDOWED_DRIVERS) {
        if (set_mode(driver.id, w, h))
            return true;
        reasons += std::string(reasons.empty() ? "" : "; ") + driver.name + ": " + allegro_error;
    }
    snprintf(allegro_error, ALLEGRO_ERROR_SIZE, "%s", reasons.c_str());
    return false;
}

void place_window(HWND window, DWORD style, RECT outside)
{
    SetWindowLong(window, GWL_STYLE, style | WS_VISIBLE);
    SetWindowPos(window, HWND_TOP, outside.left, outside.top, outside.right - outside.left,
                 outside.bottom - outside.top, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

// The borderless window over the whole monitor. Allegro places a new mode's window in the
// middle of the work area, which a taskbar makes smaller than the monitor: the window is put
// over the monitor once the mode is set.
bool open_borderless()
{
    RECT monitor = monitor_rect(nullptr, false);
    if (!open_with_any_driver(monitor.right - monitor.left, monitor.bottom - monitor.top))
        return false;
    place_window(win_get_window(), WS_POPUP, monitor);
    covers_monitor = true;
    return true;
}

// The largest whole multiple of the picture whose window, frame included, fits the work area
// of the monitor `window` is on; the picture's own size at least.
screen_rect framed_inside(HWND window)
{
    RECT work = monitor_rect(window, true);
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRect(&frame, FRAMED_STYLE, FALSE);
    int work_w = work.right - work.left, work_h = work.bottom - work.top;
    int frame_w = frame.right - frame.left, frame_h = frame.bottom - frame.top;
    int scale = std::max(1, std::min((work_w - frame_w) / CANVAS_W, (work_h - frame_h) / CANVAS_H));
    int w = CANVAS_W * scale, h = CANVAS_H * scale;
    int left = work.left + std::max(0, (work_w - w - frame_w) / 2) - frame.left;
    int top = work.top + std::max(0, (work_h - h - frame_h) / 2) - frame.top;
    return {left, top, w, h};
}

// A framed window of the picture's size, from a new window: the one the borderless attempts
// used may still be resized by the window manager after their changes (seen under Wine with
// openbox), and every windowed driver then finds its inside other than it asked for.
bool open_framed()
{
    next_style = FRAMED_STYLE;
    win_set_window(nullptr);
    screen_rect inside = framed_inside(nullptr);
    if (!open_with_any_driver(inside.w, inside.h))
        return false;
    framed = {0, 0, inside.w, inside.h};
    return true;
}

}  // namespace

bool open_system_screen()
{
    dress_window();
    bool opened = open_borderless() || open_framed();
    // A new window takes the title afresh.
    set_window_title(WINDOW_TITLE);
    return opened;
}

// Every window Allegro makes from now on, the first one in allegro_init among them, is the
// game's own: borderless at first, with the executable's icon.
void use_game_icon()
{
    win_set_wnd_create_proc(make_window);
}

screen_rect visible_area()
{
    if (framed.w > 0)
        return framed;
    return {0, 0, SCREEN_W, SCREEN_H};
}

// The screen keeps its mode: only the window around it changes, so nothing of the game's
// state is lost. A screen that had to open in a framed window stays in it.
bool switch_full_screen()
{
    if (!covers_monitor)
        return false;
    HWND window = win_get_window();
    if (framed.w > 0) {
        framed = {0, 0, 0, 0};
        place_window(window, WS_POPUP, monitor_rect(window, false));
    } else {
        screen_rect inside = framed_inside(window);
        RECT outside = {inside.x, inside.y, inside.x + inside.w, inside.y + inside.h};
        AdjustWindowRect(&outside, FRAMED_STYLE, FALSE);
        place_window(window, FRAMED_STYLE, outside);
        framed = {0, 0, inside.w, inside.h};
    }
    screen_rect shown = visible_area();
    // The pointer counts as over the game only inside what is shown of it.
    set_mouse_range(0, 0, shown.w - 1, shown.h - 1);
    return true;
}
