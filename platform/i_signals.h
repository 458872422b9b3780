// Requests from outside to stop the program: an interrupt (Ctrl+C), terminate or hangup.
#ifndef VELMORA_I_SIGNALS_H
#define VELMORA_I_SIGNALS_H

// From here on a stop request ends the process as killed by that signal, whatever screen is
// up: the main thread stops where it is, `clean_up` runs once on a thread of its own, and the
// process ends when it returns, or after a second if it cannot finish. Call this on the main
// thread after the libraries that install handlers of their own for these signals (Allegro).
// Where the host has no such signals it does nothing.
void end_on_stop_signals(void (*clean_up)());

// While the main thread holds them a stop request waits, for work there that must not be cut
// off halfway; release lets a waiting request end the process at once.
void hold_stop_signals();
void release_stop_signals();

// The player closed the game's window: the process ends at once with status 0, after a save
// that the main thread holds (above) is finished. Callable from any thread. On POSIX hosts it
// goes the way of a stop request, clean-up included, once end_on_stop_signals has been called.
void end_at_players_request();

#endif
