// Stop requests, in a forked child: the process ends as killed by the signal, after the
// clean-up has run with the main thread stopped; a hold defers the request; a clean-up that
// never ends does not keep the process alive.
#include <atomic>
#include <csignal>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "shell/i_signals.h"

static int report_fd;
static std::atomic<long> main_steps{0};

static void report(char c) { (void)!write(report_fd, &c, 1); }

// 'c' when the main thread made no step while the clean-up watched it, else 'x'.
static void clean_up_watching_main()
{
    long before = main_steps;
    usleep(50 * 1000);
    report(main_steps == before ? 'c' : 'x');
}

static void clean_up_never_ending()
{
    report('c');
    for (;;)
        pause();
}

struct outcome {
    int signal;  // 0 unless the child was killed by a signal
    std::string reports;
};

// Forks a child that takes over the stop signals, runs `start` and then counts steps on its
// main thread until something ends it; a child still alive after 10 s is killed and reported
// as killed by SIGKILL.
static outcome run_child(void (*clean_up)(), void (*start)())
{
    int fds[2];
    if (pipe(fds) != 0)
        return {0, "no pipe"};
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        report_fd = fds[1];
        end_on_stop_signals(clean_up);
        start();
        for (;;)
            main_steps++;
    }
    close(fds[1]);
    int status = 0;
    bool ended = false;
    for (int i = 0; i < 1000 && !ended; i++) {
        ended = waitpid(pid, &status, WNOHANG) == pid;
        if (!ended)
            usleep(10 * 1000);
    }
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    outcome result = {WIFSIGNALED(status) ? WTERMSIG(status) : 0, ""};
    char c;
    while (read(fds[0], &c, 1) == 1)
        result.reports += c;
    close(fds[0]);
    return result;
}

TEST(StopSignals, EndTheProcessByTheSignalAfterTheCleanUp)
{
    // Sent to another thread, the request still stops the main thread first.
    outcome other_thread = run_child(clean_up_watching_main, [] {
        std::thread([] {
            raise(SIGTERM);
            for (;;)
                pause();
        }).detach();
    });
    EXPECT_EQ(other_thread.signal, SIGTERM);
    EXPECT_EQ(other_thread.reports, "c");

    outcome held = run_child(clean_up_watching_main, [] {
        hold_stop_signals();
        raise(SIGHUP);
        report('h');
        release_stop_signals();
    });
    EXPECT_EQ(held.signal, SIGHUP);
    EXPECT_EQ(held.reports, "hc");

    outcome stuck = run_child(clean_up_never_ending, [] { raise(SIGINT); });
    EXPECT_EQ(stuck.signal, SIGINT);
    EXPECT_EQ(stuck.reports, "c");
}
