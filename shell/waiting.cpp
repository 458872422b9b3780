#include "shell/waiting.h"

#include <allegro.h>

#include "platform/i_screen.h"

void rest_between_polls()
{
    serve_screen_keys();
    rest(POLL_REST_MS);
}

int wait_for_keypress()
{
    while (!keypressed())
        rest_between_polls();
    return readkey();
}
