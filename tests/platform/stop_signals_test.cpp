// Stop requests in a forked child: it ends killed by the signal after the clean-up ran with
// the main thread stopped; a hold defers the request; a clean-up that hangs is not waited for.
#include <atomic>
#include <csignal>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/i_signals.h"

static int report_fd;
static std::atomic<long> main_steps{0};

static void report(char c) { (void)!write(report_fd, &c, 1); }

// Reports 'c' if the main thread made no step while it watched, else 'x'.
static void watch_main()
{
    long before = main_steps;
    usleep(50 * 1000);
    report(main_steps == before ? 'c' : 'x');
}

static void hang()
{
    report('c');
    for (;;)
        pause();
}

// "signal:reports" of a child that runs `start`, then counts steps on its main thread until
// something ends it; one still running after 10 s is killed (signal 9).
static std::string run_child(void (*clean_up)(), void (*start)())
{
    int fds[2];
    if (pipe(fds) != 0)
        return "no pipe";
    pid_t pid = fork();
    if (pid == 0) {
        report_fd = fds[1];
        end_on_stop_signals(clean_up);
        start();
        for (;;)
            main_steps++;
    }
    close(fds[1]);
    int status = 0;
    for (int i = 0; i < 1000 && waitpid(pid, &status, WNOHANG) == 0; i++)
        usleep(10 * 1000);
    if (kill(pid, SIGKILL) == 0)
        waitpid(pid, &status, 0);
    std::string result = std::to_string(WIFSIGNALED(status) ? WTERMSIG(status) : 0) + ":";
    char c;
    while (read(fds[0], &c, 1) == 1)
        result += c;
    close(fds[0]);
    return result;
}

TEST(StopSignals, EndTheProcessByTheSignalAfterTheCleanUp)
{
    // Sent to another thread, the request still stops the main thread first.
    EXPECT_EQ(run_child(watch_main, [] {
                  std::thread([] {
                      raise(SIGTERM);
                      for (;;)
                          pause();
                  }).detach();
              }),
              std::to_string(SIGTERM) + ":c");
    EXPECT_EQ(run_child(watch_main, [] {
                  hold_stop_signals();
                  raise(SIGHUP);
                  report('h');
                  release_stop_signals();
              }),
              std::to_string(SIGHUP) + ":hc");
    EXPECT_EQ(run_child(hang, [] { raise(SIGINT); }), std::to_string(SIGINT) + ":c");
}
