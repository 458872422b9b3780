#include "platform/i_message.h"

#include <allegro.h>

#include "platform/i_screen.h"
#include "platform/i_window.h"

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <winalleg.h>
#endif

namespace {

// Characters on a line of the built-in font (8 pixels each) with a margin either side.
const size_t LINE_LENGTH = 90;
const int LINE_HEIGHT = 12;

// `text` broken at spaces into lines of at most LINE_LENGTH characters; a longer word is cut.
std::vector<std::string> wrap(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start + LINE_LENGTH;
        if (end >= text.size()) {
            end = text.size();
        } else {
            size_t space = text.rfind(' ', end);
            if (space != std::string::npos && space > start)
                end = space;
        }
        lines.push_back(text.substr(start, end - start));
        start = text.find_first_not_of(' ', end);
        if (start == std::string::npos)
            break;
    }
    return lines;
}

void wait_for_key_or_click()
{
    // Input may not be installed yet when the failure came early; a second install is a no-op.
    install_timer();
    install_keyboard();
    install_mouse();
    clear_keybuf();
    // A button held since before the message does not count as the click.
    while (mouse_b & 1)
        rest(10);
    while (!keypressed() && !(mouse_b & 1))
        rest(10);
}

void show_on_screen(const char *text)
{
    std::vector<std::string> lines = wrap(text);
    int white = makecol(255, 255, 255);
    int y = CANVAS_H / 2 - LINE_HEIGHT * static_cast<int>(lines.size() + 2) / 2;
    hide_pointer();
    clear_to_color(canvas, makecol(0, 0, 0));
    for (const std::string &line : lines) {
        textout_centre_ex(canvas, font, line.c_str(), CANVAS_W / 2, y, white, -1);
        y += LINE_HEIGHT;
    }
    textout_centre_ex(canvas, font, "Press a key or click to quit.", CANVAS_W / 2,
                      y + LINE_HEIGHT, white, -1);
    present_canvas();
    wait_for_key_or_click();
}

}  // namespace

void show_start_failure(const char *text)
{
    std::fprintf(stderr, "%s\n", text);
    if (canvas) {
        show_on_screen(text);
        return;
    }
#ifdef _WIN32
    MessageBoxA(nullptr, text, WINDOW_TITLE, MB_OK | MB_ICONERROR);
#endif
}
