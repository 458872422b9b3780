#include "platform/i_message.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

void show_start_failure(const char *text)
{
    std::fprintf(stderr, "%s\n", text);
#ifdef _WIN32
    MessageBoxA(nullptr, text, "Velmora", MB_OK | MB_ICONERROR);
#endif
}
