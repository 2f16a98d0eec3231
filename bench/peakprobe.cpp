// Runs a command and prints its peak resident size in KiB as it ends: the
// probe is small, so what the kernel counts for its child (from the fork
// on) is the command's own.
//
//   brevant_peak_probe PROGRAM [ARGUMENTS...]

#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fputs("usage: brevant_peak_probe PROGRAM [ARGUMENTS...]\n", stderr);
        return 2;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) < 0)
        return 2;
    std::printf("peak %ld\n", usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}
