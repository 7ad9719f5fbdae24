// Running a kernel task in a child process, so that whatever the kernel does on hostile input
// (a crash, a stack overflow, an endless loop, memory without bound) ends the child, not the host.
// The child hands its result back as bytes through a pipe. Kernel sources only.
#pragma once

#include <functional>
#include <string>

namespace diekit::kernel::detail {

// Runs task in a forked child and returns the bytes it produced. Throws KernelError naming op when
// the task threw (its message), when the child died of a signal, ran longer than `seconds` (it is
// then killed) or could not be started. The child's memory is limited to `memory_bytes` (address
// space; not applied in sanitizer builds, whose shadow memory needs more). Call only while no other
// thread of the process is inside the kernel: the child holds only the calling thread.
std::string run_in_child(const char *op, const std::function<std::string()> &task, double seconds,
                         unsigned long long memory_bytes);

}  // namespace diekit::kernel::detail
