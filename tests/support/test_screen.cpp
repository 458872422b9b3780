#include "test_screen.h"

#include <allegro.h>

#include "platform/i_screen.h"

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

static pid_t xvfb_pid = -1;
static int display_pipe = -1;  // kept open while the server runs, so its writes never fail

// Xvfb picks a free display itself and writes its number to the descriptor -displayfd names.
static bool start_xvfb()
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    xvfb_pid = fork();
    if (xvfb_pid == 0) {
        close(fds[0]);
        // Xvfb may write the display number in pieces; once the test has read it and closed
        // its end, a later write must not kill the server with SIGPIPE.
        signal(SIGPIPE, SIG_IGN);
        std::string fd = std::to_string(fds[1]);
        const char *size = getenv("VELMORA_TEST_SCREEN");
        std::string screen = std::string(size && *size ? size : "800x600") + "x24";
        // Xvfb's messages are not the test's; should /dev/null not open, they reach its log.
        FILE *quiet = freopen("/dev/null", "w", stderr);
        (void)quiet;
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", (char *)nullptr);
        _exit(127);
    }
    close(fds[1]);
    char number[16] = {0};
    ssize_t got = xvfb_pid > 0 ? read(fds[0], number, sizeof number - 1) : -1;
    display_pipe = fds[0];
    if (got <= 0) {
        fprintf(stderr, "test screen: Xvfb did not start\n");
        return false;
    }
    std::string display = ":" + std::string(number, number + got);
    while (!display.empty() && (display.back() == '\n' || display.back() == ' '))
        display.pop_back();
    setenv("DISPLAY", display.c_str(), 1);
    return true;
}

static void stop_xvfb()
{
    if (xvfb_pid > 0) {
        kill(xvfb_pid, SIGTERM);
        waitpid(xvfb_pid, nullptr, 0);
        xvfb_pid = -1;
    }
    if (display_pipe >= 0) {
        close(display_pipe);
        display_pipe = -1;
    }
}

bool open_test_screen()
{
    stop_xvfb();
    if (!start_xvfb())
        return false;
    if (allegro_init() != 0 || install_timer() != 0 || install_keyboard() != 0) {
        fprintf(stderr, "test screen: Allegro did not start: %s\n", allegro_error);
        return false;
    }
    set_color_depth(32);
    if (!open_game_screen()) {
        fprintf(stderr, "test screen: no game screen: %s\n", allegro_error);
        return false;
    }
    return true;
}

// The server stays up until the program ends: a connection of the game's own (the keyboard
// layout's) lives as long as the program, and a server gone under it ends the program as a
// lost display would.
void close_test_screen()
{
    allegro_exit();
    static bool stop_registered = false;
    if (!stop_registered)
        stop_registered = atexit(stop_xvfb) == 0;
}

int screen_pixel(int x, int y)
{
    int c = getpixel(canvas, x, y);
    return (getr32(c) << 16) | (getg32(c) << 8) | getb32(c);
}

int screen_pixel_unlocked(int x, int y)
{
    if (x < 0 || y < 0 || x >= CANVAS_W || y >= CANVAS_H)
        return -1;
    int c = static_cast<int>(reinterpret_cast<const volatile uint32_t *>(canvas->line[y])[x]);
    return (getr32(c) << 16) | (getg32(c) << 8) | getb32(c);
}

int shown_pixel_unlocked(int x, int y)
{
    if (x < 0 || y < 0 || x >= SCREEN_W || y >= SCREEN_H)
        return -1;
    int c = static_cast<int>(reinterpret_cast<const volatile uint32_t *>(screen->line[y])[x]);
    return (getr32(c) << 16) | (getg32(c) << 8) | getb32(c);
}
