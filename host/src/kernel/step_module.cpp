// Loads the STEP exchange module on first use and forwards the kernel's STEP calls to it.
#include "kernel/step_module.hpp"

#include <dlfcn.h>

#include <filesystem>
#include <mutex>

namespace diekit::kernel {

namespace {

namespace fs = std::filesystem;

constexpr const char *kModule = "libdiehost_step.so";

// Beside the library (or program) that holds the kernel, or in the lib/ folder beside its bin/.
std::vector<fs::path> module_candidates() {
    std::vector<fs::path> folders;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&module_candidates), &info) && info.dli_fname && *info.dli_fname)
        folders.push_back(fs::absolute(info.dli_fname).parent_path());
    std::error_code ignored;
    const fs::path program = fs::read_symlink("/proc/self/exe", ignored);
    if (!program.empty()) folders.push_back(program.parent_path());
    std::vector<fs::path> candidates;
    for (const fs::path &folder : folders) {
        candidates.push_back(folder / kModule);
        candidates.push_back(folder / ".." / "lib" / kModule);
    }
    return candidates;
}

const detail::StepFunctions &step_functions() {
    static std::once_flag once;
    static const detail::StepFunctions *functions = nullptr;
    static std::string failure;
    std::call_once(once, [] {
        failure = std::string("the STEP module ") + kModule + " was not found";
        for (const fs::path &candidate : module_candidates()) {
            std::error_code ignored;
            if (!fs::exists(candidate, ignored)) continue;
            // Kept loaded for the rest of the process: the shapes it reads hold its code's objects.
            void *handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!handle) {
                const char *why = dlerror();
                failure = "cannot load " + candidate.string() + ": " + (why ? why : "unknown reason");
                continue;
            }
            using Entry = const detail::StepFunctions *(*)();
            auto entry = reinterpret_cast<Entry>(dlsym(handle, "diekit_step_functions"));
            if (entry && (functions = entry())) return;
            failure = candidate.string() + " is not the STEP module";
        }
    });
    if (!functions) throw KernelError("STEP: " + failure);
    return *functions;
}

}  // namespace

void write_step(const std::string &path, const std::vector<NamedShape> &shapes) { step_functions().write(path, shapes); }

std::vector<NamedShape> read_step(const std::string &path) { return step_functions().read(path); }

}  // namespace diekit::kernel
