#include "shell/waiting.h"

#include <allegro.h>

void rest_between_polls()
{
    rest(POLL_REST_MS);
}

int wait_for_keypress()
{
    while (!keypressed())
        rest_between_polls();
    return readkey();
}
