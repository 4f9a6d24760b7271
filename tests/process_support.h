// Child processes for the tests of files shared between processes.
#ifndef TINTVALE_TESTS_PROCESS_SUPPORT_H
#define TINTVALE_TESTS_PROCESS_SUPPORT_H

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

// Runs body in a child process whose exit status is body's result; an alarm kills a child that
// hangs, so that the test fails instead of waiting.
inline pid_t Spawn(const std::function<int()>& body, unsigned seconds = 60)
{
    const pid_t child = fork();
    if (child == 0) {
        alarm(seconds);
        _exit(body());
    }
    return child;
}

// True when the child exited with status 0.
inline bool Succeeded(pid_t child)
{
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

#endif
