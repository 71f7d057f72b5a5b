// Starting a program for real on POSIX systems: fork, change into its directory, exec. A close-on-exec pipe
// tells the parent whether the exec succeeded, so "cannot be started" is known at once.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/process.h"

namespace plat {

Process StartProgram(const std::string& path, const std::vector<std::string>& arguments,
                     const std::string& directory) {
    // Everything the child needs is prepared before the fork: after it only chdir, exec,
    // write and _exit run there.
    std::vector<std::string> texts;
    texts.push_back(path);
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return {};
    const pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return {};
    }
    if (child == 0) {
        close(report[0]);
        int error = 0;
        if (chdir(directory.c_str()) == 0) {
            execv(path.c_str(), argv.data());
        }
        error = errno;
        (void)!write(report[1], &error, sizeof error);
        _exit(127);
    }
    close(report[1]);
    int error = 0;
    ssize_t got;
    do {
        got = read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    if (got > 0) {  // the exec failed: the child has ended already
        waitpid(child, nullptr, 0);
        return {};
    }
    return Process{static_cast<int>(child)};
}

bool ProgramRunning(Process& process) {
    if (!process.Valid()) return false;
    const pid_t ended = waitpid(static_cast<pid_t>(process.id), nullptr, WNOHANG);
    if (ended == 0) return true;
    process = Process{};  // ended and reaped (or not our child at all)
    return false;
}

}  // namespace plat
