#include "game/results.h"

#include <allegro.h>
#include <cstdio>

#include "game/highscore.h"
#include "platform/i_screen.h"
#include "shell/catalogue.h"
#include "shell/waiting.h"

int32_t total_seconds;
int32_t mistake_count;

static const int WHITE = 0xFFFFFF;
static const int RED = 0xFF0000;

// The heading of a new record: where it stands with no earlier record, and below the
// statistics when an earlier one was beaten.
static const int FIRST_RECORD_Y = 300;
static const int BEATEN_RECORD_Y = 500;
// The line under the heading when the record could not be saved, below the large font.
static const int UNSAVED_NOTE_OFFSET = 45;

static void centred(FONT *face, const char *text, int y, int colour)
{
    textout_centre(canvas, face, text, 400, y, colour);
}

// The time at `y` and the mistakes 20 pixels below, as "Cas 996 sek." and "12 chyb".
static void draw_score(const highscore &score, int y)
{
    char line[64];
    snprintf(line, sizeof line, "%s%i %s", "Cas ", static_cast<int>(score.seconds), "sek.");
    centred(small_font, line, y, WHITE);
    snprintf(line, sizeof line, "%i%s", static_cast<int>(score.mistakes), " chyb");
    centred(small_font, line, y + 20, WHITE);
}

static void draw_statistics(const highscore &game)
{
    clear_to_color(canvas, 0);
    centred(large_font, "Blahopreji", 5, WHITE);
    centred(small_font, "ziskals divku svych snu", 100, WHITE);
    centred(small_font, "Statistika:", 200, WHITE);
    draw_score(game, 220);
}

// A failed save keeps the heading and says under it that the record was not kept; the old
// record stays on the disk as it was.
static void announce_record(const highscore &game, int y)
{
    centred(large_font, "NOVE HIGHSCORE!", y, RED);
    if (!write_highscore(highscore_file_name, game))
        centred(small_font, "Rekord se nepodarilo ulozit", y + UNSAVED_NOTE_OFFSET, WHITE);
}

// Keys pressed while the last letter was finished do not count; the key that ends the
// screen stays in the buffer for whoever reads next.
static void wait_for_new_key()
{
    clear_keybuf();
    while (!keypressed())
        rest_between_polls();
}

void show_results()
{
    const highscore game = {total_seconds, mistake_count};
    draw_statistics(game);
    highscore record;
    if (!read_highscore(highscore_file_name, &record)) {
        announce_record(game, FIRST_RECORD_Y);
    } else if (beats_highscore(game, record)) {
        announce_record(game, BEATEN_RECORD_Y);
    } else {
        centred(small_font, "Highscore:", 300, WHITE);
        draw_score(record, 320);
    }
    present_canvas();
    wait_for_new_key();
}
