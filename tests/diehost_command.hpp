// Runs the built diehost command with the arguments, stdout and stderr together.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

struct CommandOutcome {
    int status = -1;  // exit status, -1 when it did not exit normally
    std::string output;
};

inline CommandOutcome run_diehost(const std::string &arguments) {
    CommandOutcome outcome;
    FILE *pipe = popen((std::string(DIEKIT_DIEHOST) + " " + arguments + " 2>&1").c_str(), "r");
    if (!pipe) return outcome;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe)) outcome.output += buffer;
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}
