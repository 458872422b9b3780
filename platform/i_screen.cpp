#include "platform/i_screen.h"

#include <atomic>
#include <cstdio>

#include "platform/i_scale.h"
#include "platform/i_signals.h"
#include "platform/i_window.h"

BITMAP *canvas = nullptr;
const char WINDOW_TITLE[] = "Velmora";

namespace {

// The picture as the player sees it: where it lies on Allegro's screen, and the memory it is
// scaled into there (null at scale 1, where the canvas goes to the screen as it is). The
// prescaled picture serves scales that are not whole numbers.
screen_rect picture_place;
BITMAP *scaled = nullptr;
BITMAP *prescaled = nullptr;
bool pointer_shown = false;
// Set on Allegro's input thread by F11 or Alt+Enter, taken by the main thread.
std::atomic<bool> switch_asked{false};

pixel_buffer pixels_of(BITMAP *b)
{
    int stride = b->h > 1 ? static_cast<int>((b->line[1] - b->line[0]) / sizeof(uint32_t)) : b->w;
    return {reinterpret_cast<uint32_t *>(b->line[0]), b->w, b->h, stride};
}

void free_scaling()
{
    if (scaled)
        destroy_bitmap(scaled);
    if (prescaled)
        destroy_bitmap(prescaled);
    scaled = prescaled = nullptr;
}

// `w` x `h` centred in `view`.
screen_rect centred(screen_rect view, int w, int h)
{
    return {view.x + (view.w - w) / 2, view.y + (view.h - h) / 2, w, h};
}

// Fits the picture into what the player sees of the screen, centred, with the memory that the
// scaling needs, and black everywhere else. Without that memory the picture stays unscaled.
void lay_out_picture()
{
    free_scaling();
    screen_rect view = visible_area();
    pixel_rect size = fitted_size(CANVAS_W, CANVAS_H, view.w, view.h);
    picture_place = centred(view, size.w, size.h);
    if (size.w != CANVAS_W || size.h != CANVAS_H) {
        int k = prescale_factor(CANVAS_W, size.w);
        bool whole = size.w == CANVAS_W * k && size.h == CANVAS_H * k;
        scaled = create_bitmap_ex(32, size.w, size.h);
        // A whole-number scale copies the canvas straight into the scaled picture.
        prescaled = create_bitmap_ex(32, whole ? 1 : CANVAS_W * k, whole ? 1 : CANVAS_H * k);
        if (!scaled || !prescaled) {
            free_scaling();
            picture_place = centred(view, CANVAS_W, CANVAS_H);
        }
    }
    clear_to_color(screen, makecol(0, 0, 0));
}

void copy_to_screen(BITMAP *from, pixel_rect r, int at_x, int at_y)
{
    if (pointer_shown)
        scare_mouse_area(at_x, at_y, r.w, r.h);
    blit(from, screen, r.x, r.y, at_x, at_y, r.w, r.h);
    if (pointer_shown)
        unscare_mouse();
}

// Allegro calls it on its own thread (the window's, or X11 input's) when the window is asked to
// close.
void on_close_button()
{
    end_at_players_request();
}

// Runs on Allegro's input thread for every key that goes down or up, with the modifiers held.
void note_screen_key(int scancode)
{
    static int held = 0;
    if (asks_screen_switch(scancode, key_shifts & KB_ALT_FLAG, held))
        switch_asked.store(true);
}
END_OF_FUNCTION(note_screen_key)

}  // namespace

bool set_mode(int card, int w, int h)
{
    return set_gfx_mode(card, w, h, 0, 0) == 0;
}

void dress_window()
{
    set_window_title(WINDOW_TITLE);
    set_close_button_callback(on_close_button);
}

bool open_game_screen()
{
    if (!open_system_screen())
        return false;
    canvas = create_bitmap_ex(32, CANVAS_W, CANVAS_H);
    if (!canvas) {
        snprintf(allegro_error, ALLEGRO_ERROR_SIZE, "no memory for the game's picture");
        return false;
    }
    clear_to_color(canvas, makecol(0, 0, 0));
    lay_out_picture();
    return true;
}

void present(int x, int y, int w, int h)
{
    if (!scaled) {
        pixel_rect r = {x, y, w, h};
        copy_to_screen(canvas, r, picture_place.x + x, picture_place.y + y);
        return;
    }
    pixel_rect r = scale_rect(pixels_of(canvas), pixels_of(prescaled), pixels_of(scaled),
                              {x, y, w, h});
    if (r.w > 0 && r.h > 0)
        copy_to_screen(scaled, r, picture_place.x + r.x, picture_place.y + r.y);
}

void present_canvas()
{
    present(0, 0, CANVAS_W, CANVAS_H);
}

screen_layout current_layout()
{
    return {SCREEN_W, SCREEN_H, picture_place.x, picture_place.y, picture_place.w,
            picture_place.h};
}

void show_pointer()
{
    pointer_shown = true;
    show_mouse(screen);
}

void hide_pointer()
{
    show_mouse(nullptr);
    pointer_shown = false;
}

// A screen pixel's canvas pixel, rounded down also left of and above the picture.
static int to_canvas(int at, int start, int size, int canvas_size)
{
    int64_t offset = static_cast<int64_t>(at - start) * canvas_size;
    return static_cast<int>(offset >= 0 ? offset / size : (offset - size + 1) / size);
}

int pointer_x()
{
    return to_canvas(mouse_x, picture_place.x, picture_place.w, CANVAS_W);
}

int pointer_y()
{
    return to_canvas(mouse_y, picture_place.y, picture_place.h, CANVAS_H);
}

void watch_screen_keys()
{
    LOCK_FUNCTION(note_screen_key);
    LOCK_VARIABLE(switch_asked);
    keyboard_lowlevel_callback = note_screen_key;
}

bool asks_screen_switch(int scancode, bool alt, int &held)
{
    int code = scancode & 0x7F;
    if (scancode & 0x80) {
        if (code == held)
            held = 0;
        return false;
    }
    bool switch_key = code == KEY_F11 || (alt && (code == KEY_ENTER || code == KEY_ENTER_PAD));
    if (!switch_key || code == held)
        return false;
    held = code;
    return true;
}

bool is_screen_key(int scancode)
{
    return scancode == KEY_F11;
}

void serve_screen_keys()
{
    if (!switch_asked.exchange(false) || !switch_full_screen())
        return;
    bool shown = pointer_shown;
    if (shown)
        hide_pointer();
    lay_out_picture();
    present_canvas();
    if (shown)
        show_pointer();
}
