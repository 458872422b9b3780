// The program's entry: start-up, the main menu and shutdown.
#include <allegro.h>
#include <cstdio>
#include <cstdlib>

#include "audio/game_sounds.h"
#include "audio/jukebox.h"
#include "audio/sound.h"
#include "extras/credits.h"
#include "game/key_translation.h"
#include "game/typing_game.h"
#include "jpeg/jpeg.h"
#include "shell/catalogue.h"
#include "platform/i_message.h"
#include "platform/i_screen.h"
#include "platform/i_signals.h"
#include "shell/menu_areas.h"
#include "shell/picture.h"
#include "shell/waiting.h"

// The switch's background without its state word, to erase the word before redrawing it.
static BITMAP *toggle_strip = nullptr;

// True while the left button is down with the pointer in the area.
static bool area_pressed(const screen_area &a)
{
    int x = pointer_x(), y = pointer_y();
    return (mouse_b & 1) && x > a.x0 && x <= a.x1 && y > a.y0 && y <= a.y1;
}

static void present_switch()
{
    present(SWITCH_BOX_X, SWITCH_BOX_Y, SWITCH_BOX_W, SWITCH_BOX_H);
}

static void draw_music_word()
{
    text_mode(-1);
    textout(canvas, small_font, music_enabled ? "ON" : "OFF", SWITCH_WORD_X, SWITCH_TEXT_Y,
            0xFFFFFF);
    present_switch();
}

static void draw_music_switch()
{
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    set_trans_blender(0, 0, 0, 50);
    rectfill(canvas, SWITCH_BOX_X, SWITCH_BOX_Y, SWITCH_BOX_X + SWITCH_BOX_W,
             SWITCH_BOX_Y + SWITCH_BOX_H, 0xFFFFFF);
    set_trans_blender(0, 0, 0, 255);
    drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);
    text_mode(-1);
    textout(canvas, small_font, "Hudba: ", SWITCH_LABEL_X, SWITCH_TEXT_Y, 0xFFFFFF);
    toggle_strip = create_bitmap(SWITCH_BOX_W, SWITCH_BOX_H);
    if (toggle_strip)
        blit(canvas, toggle_strip, SWITCH_BOX_X, SWITCH_BOX_Y, 0, 0, SWITCH_BOX_W, SWITCH_BOX_H);
    draw_music_word();
}

static void restore_strip()
{
    if (toggle_strip)
        blit(toggle_strip, canvas, 0, 0, SWITCH_BOX_X, SWITCH_BOX_Y, SWITCH_BOX_W, SWITCH_BOX_H);
}

static void restore_menu()
{
    show_picture(MENU_PAGE);
    restore_strip();
    draw_music_word();
    show_pointer();
}

static void toggle_music()
{
    // Seen as released until the library reports the next mouse event: one toggle per press.
    mouse_b &= ~1;
    restore_strip();
    bool turning_on = !music_enabled;
    textout(canvas, small_font, turning_on ? "ON" : "OFF", SWITCH_WORD_X, SWITCH_TEXT_Y,
            0xFFFFFF);
    present_switch();
    music_enabled = turning_on;
    if (turning_on)
        play_random_song();
    else
        stop_current_song();
}

// Polls the mouse until Quit is pressed, resting between passes; each test reads the mouse
// state anew.
static void run_menu()
{
    for (;;) {
        if (area_pressed(QUIT_AREA))
            return;
        if (area_pressed(START_AREA)) {
            hide_pointer();
            run_letter_game();
            restore_menu();
        }
        if (area_pressed(SECOND_AREA)) {
            hide_pointer();
            show_picture(SECOND_PAGE);
            clear_keybuf();
            wait_for_keypress();
            restore_menu();
        }
        if (area_pressed(MUSIC_AREA))
            toggle_music();
        rest_between_polls();
    }
}

// The player's choice of how typed keys are taken. A value the game does not know is reported,
// and the keyboard layout decides as when nothing is set.
static void choose_key_rule()
{
    const char *value = getenv("VELMORA_KEYS");
    if (!parse_key_rule(value, &keys_rule))
        fprintf(stderr,
                "velmora: VELMORA_KEYS=%s is not as-typed, czech-on-us or auto; "
                "following the keyboard layout\n",
                value);
}

static int fail(const char *what, const char *why)
{
    char text[512];
    snprintf(text, sizeof text, "velmora: %s: %s", what, why);
    show_start_failure(text);
    return EXIT_FAILURE;
}

int main()
{
    choose_key_rule();
    use_game_icon();
    // Without a display Allegro finds no system driver and leaves its error text empty.
    if (allegro_init() != 0)
        return fail("cannot start Allegro", allegro_error[0] ? allegro_error
                                                              : "no X display could be opened");
    // Replaces Allegro's own handlers, which shut the library down inside the handler and
    // then leave the process running when the signal was ignored on entry.
    end_on_stop_signals(allegro_exit);
    set_color_depth(32);
    if (!open_game_screen())
        return fail("no 32-bit screen, full screen or windowed", allegro_error);
    install_timer();
    install_keyboard();
    ignore_shortcut_keys();
    watch_screen_keys();
    follow_game_focus();
    if (install_mouse() == -1)
        return fail("no mouse", "the menu is played with the mouse, and none was found");
    register_bitmap_file_type("jpg", load_jpg, nullptr);
    FSOUND_Init(44100, 32, 0);
    if (const char *problem = load_resources("velmora.dat")) {
        FSOUND_Close();
        return fail("velmora.dat", problem);
    }
    type_sample = FSOUND_Sample_Load(FSOUND_FREE, TYPE_SAMPLE_FILE, 1, 0);
    bell_sample = FSOUND_Sample_Load(FSOUND_FREE, BELL_SAMPLE_FILE, 1, 0);
    install_int_ex(play_random_song, SECS_TO_TIMER(5));
    show_picture(SPLASH_PAGE);
    rest(1000);
    show_picture(MENU_PAGE);
    music_enabled = true;
    draw_music_switch();
    show_pointer();

    run_menu();

    hide_pointer();
    run_credits();
    unload_datafile(resources);
    resources = nullptr;
    FSOUND_Sample_Free(type_sample);
    FSOUND_Sample_Free(bell_sample);
    // A jukebox tick must not reach the sound layer once it is closed.
    remove_int(play_random_song);
    FSOUND_Close();
    allegro_exit();
    return 0;
}
END_OF_MAIN()
