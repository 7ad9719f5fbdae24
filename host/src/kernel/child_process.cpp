#include "kernel/child_process.hpp"

#include "kernel/occ.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace diekit::kernel::detail {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

void write_all(int fd, const char *data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

// The child: runs the task, writes 'o' and the bytes or 'e' and the reason, and ends at once
// (no exit handlers, no flush of the buffers it shares with the host).
[[noreturn]] void child(int fd, const std::function<std::string()> &task, unsigned long long memory_bytes) {
    // A fault ends the child at once: OCCT's handler would turn it into an exception, or print its
    // own report on the terminal the child shares with the host.
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) std::signal(signal, SIG_DFL);
    if (!kSanitized && memory_bytes > 0) {
        const rlimit limit{memory_bytes, memory_bytes};
        ::setrlimit(RLIMIT_AS, &limit);
    }
    std::string reply;
    try {
        reply = "o" + task();
    } catch (const std::bad_alloc &) {
        reply = "eout of memory";
    } catch (const std::exception &e) {
        reply = std::string("e") + e.what();
    } catch (...) {
        reply = "ean unknown failure";
    }
    write_all(fd, reply.data(), reply.size());
    ::close(fd);
    ::_exit(0);
}

std::string signal_text(int signal) {
    const char *name = ::strsignal(signal);
    return "the kernel crashed (" + std::string(name ? name : "signal") + ")";
}

}  // namespace

std::string run_in_child(const char *op, const std::function<std::string()> &task, double seconds,
                         unsigned long long memory_bytes) {
    initialise();  // in the host, so that the child does not install OCCT's signal handlers again
    int fds[2];
    if (::pipe(fds) != 0) throw KernelError(std::string(op) + ": cannot start a reader (" + std::strerror(errno) + ")");
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw KernelError(std::string(op) + ": cannot start a reader (" + std::strerror(errno) + ")");
    }
    if (pid == 0) {
        ::close(fds[0]);
        child(fds[1], task, memory_bytes);
    }
    ::close(fds[1]);

    // Read while the child writes (a full pipe would stop it), until it closes or time runs out.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::string bytes;
    bool timed_out = false;
    char buffer[1 << 16];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timed_out = true;
            break;
        }
        pollfd wait{fds[0], POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    if (timed_out) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }

    if (timed_out)
        throw KernelError(std::string(op) + ": the kernel took longer than " + std::to_string(static_cast<int>(seconds)) +
                          " s and was stopped");
    if (WIFSIGNALED(status)) throw KernelError(std::string(op) + ": " + signal_text(WTERMSIG(status)));
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
        throw KernelError(std::string(op) + ": the kernel stopped with status " + std::to_string(WEXITSTATUS(status)));
    if (bytes.empty()) throw KernelError(std::string(op) + ": the kernel ended without a result");
    if (bytes[0] == 'e') throw KernelError(bytes.substr(1));
    return bytes.substr(1);
}

}  // namespace diekit::kernel::detail
