#pragma once

// A private X server for the tests and benchmarks that need a real one: Xvfb on a display it
// picks itself, so that runs side by side never meet.
#include <poll.h>
#include <spawn.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace ocuvis::xserver {

// Starts a program found on the PATH; its process id, or -1.
inline pid_t Spawn(std::vector<std::string> arguments,
                   posix_spawn_file_actions_t* actions = nullptr) {
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    return posix_spawnp(&pid, argv[0], actions, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

// Starts Xvfb with one screen of the geometry given ("1024x768x24"): ":N" once it accepts
// connections, else empty, with pid -1 when Xvfb could not be run at all. Xvfb writes the
// display's number once it is ready.
inline std::string StartXvfb(const std::string& screen, pid_t& pid) {
    pid = -1;
    int ready[2];
    if (pipe(ready) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, ready[0]);
    pid = Spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", screen,
                 "-nolisten", "tcp", "-noreset"},
                &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(ready[1]);
    std::string number;
    pollfd wait{ready[0], POLLIN, 0};
    char c = 0;
    while (poll(&wait, 1, 20000) == 1 && read(ready[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(ready[0]);
    return number.empty() ? std::string() : ":" + number;
}

}  // namespace ocuvis::xserver
