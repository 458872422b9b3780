#include "platform/i_signals.h"

#ifdef _WIN32

#include <windows.h>

// Held by the main thread while a save runs; a stop request takes it before ending.
static SRWLOCK stop_hold = SRWLOCK_INIT;

void end_on_stop_signals(void (*)()) {}

void hold_stop_signals()
{
    AcquireSRWLockExclusive(&stop_hold);
}

void release_stop_signals()
{
    ReleaseSRWLockExclusive(&stop_hold);
}

// Nothing is shut down first: Windows takes back the window, the display mode and the sound
// device of an ended process, and Allegro's own shutdown would need the window thread, which
// may be the thread asking. Ending without running atexit handlers or library detach code
// keeps those from waiting on locks the stopped threads held.
void end_at_players_request()
{
    AcquireSRWLockExclusive(&stop_hold);
    TerminateProcess(GetCurrentProcess(), 0);
}

#else

#include <atomic>
#include <csignal>
#include <ctime>
#include <pthread.h>
#include <semaphore.h>
#include <unistd.h>

namespace {

const int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
// How long the stopped main thread waits for the clean-up before it ends the process anyway.
const int CLEAN_UP_LIMIT_MS = 1000;

void (*clean_up_function)() = nullptr;
pthread_t main_thread;
sem_t clean_up_request;
std::atomic<bool> cleaned_up{false};
// The stop request on its way is the player's own, closing the window: the process ends with
// status 0 rather than as killed.
std::atomic<bool> players_request{false};

sigset_t stop_set()
{
    sigset_t set;
    sigemptyset(&set);
    for (int signal : STOP_SIGNALS)
        sigaddset(&set, signal);
    return set;
}

// Ends the process through the signal's default action, so that the parent sees it killed by
// that signal (a shell reports 128 + n).
[[noreturn]] void end_by(int signal)
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigaction(signal, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    raise(signal);
    _exit(128 + signal);
}

// The clean-up runs here and not in the handler: the main thread may have been stopped inside
// any library call, and the handler must not re-enter one. A lock the main thread holds only
// delays the clean-up until the handler gives up waiting.
void *clean_up_thread(void *)
{
    while (sem_wait(&clean_up_request) != 0) {
    }
    clean_up_function();
    cleaned_up = true;
    return nullptr;
}

// Runs on the main thread, with the stop signals blocked, and never returns there. Another
// thread only passes the signal on, so that the main thread stops before anything is shut
// down under it.
void on_stop_signal(int signal)
{
    if (!pthread_equal(pthread_self(), main_thread)) {
        pthread_kill(main_thread, signal);
        return;
    }
    sem_post(&clean_up_request);
    const timespec step = {0, 10 * 1000 * 1000};
    for (int waited = 0; waited < CLEAN_UP_LIMIT_MS && !cleaned_up; waited += 10)
        nanosleep(&step, nullptr);
    if (players_request)
        _exit(0);
    end_by(signal);
}

}  // namespace

// A disposition of "ignore" inherited from the parent is replaced too: a background job
// started by a script ignores SIGINT, and the player still expects Ctrl+C to end the game.
void end_on_stop_signals(void (*clean_up)())
{
    clean_up_function = clean_up;
    main_thread = pthread_self();
    sem_init(&clean_up_request, 0, 0);
    // Without the thread a stop request still ends the process, once the wait runs out.
    pthread_t thread;
    if (pthread_create(&thread, nullptr, clean_up_thread, nullptr) == 0)
        pthread_detach(thread);
    struct sigaction action = {};
    action.sa_handler = on_stop_signal;
    action.sa_mask = stop_set();
    action.sa_flags = SA_RESTART;
    for (int signal : STOP_SIGNALS)
        sigaction(signal, &action, nullptr);
}

// The request travels as a terminate signal to the main thread, which holds it back while a
// save runs there.
void end_at_players_request()
{
    players_request = true;
    pthread_kill(main_thread, SIGTERM);
}

void hold_stop_signals()
{
    sigset_t set = stop_set();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void release_stop_signals()
{
    sigset_t set = stop_set();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

#endif
