#include "platform/i_keyboard.h"

#ifdef _WIN32
#include <windows.h>

// The key a US layout calls Y, as the keyboard's set-1 scancode.
static const UINT US_Y_SCANCODE = 0x15;

bool layout_is_qwertz()
{
    // Each thread has its own layout; the one in front is the one the player types into.
    HWND front = GetForegroundWindow();
    HKL layout = GetKeyboardLayout(front ? GetWindowThreadProcessId(front, nullptr) : 0);
    return MapVirtualKeyExA(US_Y_SCANCODE, MAPVK_VSC_TO_VK, layout) == 'Z';
}

#else
#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <cstring>

namespace {

// A connection of our own: Allegro's belongs to its input thread.
Display *display = nullptr;
bool display_tried = false;
// The key symbols of every key and group, fetched again whenever the server says they changed.
XkbDescPtr keymap = nullptr;
// The key a US layout calls Y: XKB names it by its place on the keyboard.
KeyCode us_y_key = 0;

void load_keymap()
{
    if (keymap)
        XkbFreeKeyboard(keymap, 0, True);
    us_y_key = 0;
    keymap = XkbGetMap(display, XkbKeySymsMask, XkbUseCoreKbd);
    if (!keymap || XkbGetNames(display, XkbKeyNamesMask, keymap) != Success || !keymap->names)
        return;
    for (int code = keymap->min_key_code; code <= keymap->max_key_code; code++)
        if (std::strncmp(keymap->names->keys[code].name, "AD06", XkbKeyNameLength) == 0)
            us_y_key = static_cast<KeyCode>(code);
}

bool open_keyboard()
{
    int major = XkbMajorVersion, minor = XkbMinorVersion, reason = 0;
    display = XkbOpenDisplay(nullptr, nullptr, nullptr, &major, &minor, &reason);
    if (!display)
        return false;
    const unsigned long changes = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
    XkbSelectEvents(display, XkbUseCoreKbd, changes, changes);
    load_keymap();
    return true;
}

// Reads the notices of a changed keymap that arrived since the last call, without waiting.
void follow_keymap_changes()
{
    bool changed = false;
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        changed = true;
    }
    if (changed)
        load_keymap();
}

KeySym symbol_of(KeyCode code, int group)
{
    int groups = XkbKeyNumGroups(keymap, code);
    if (groups == 0)
        return NoSymbol;
    // A key with fewer groups than the active one wraps round, as the server does by default.
    return XkbKeySymEntry(keymap, code, 0, group % groups);
}

}  // namespace

bool layout_is_qwertz()
{
    if (!display_tried) {
        display_tried = true;
        open_keyboard();
    }
    if (!display)
        return false;
    follow_keymap_changes();
    XkbStateRec state;
    if (!us_y_key || XkbGetState(display, XkbUseCoreKbd, &state) != Success)
        return false;
    KeySym symbol = symbol_of(us_y_key, state.group);
    return symbol == XK_z || symbol == XK_Z;
}
#endif
