#include "kernel/modules.hpp"

#include <dlfcn.h>

#include <filesystem>
#include <vector>

namespace diekit::kernel {

namespace {

namespace fs = std::filesystem;

// Beside the library (or program) that holds the host, or in the lib/ folder beside its bin/.
std::vector<fs::path> module_candidates(const char *file) {
    std::vector<fs::path> folders;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&module_candidates), &info) && info.dli_fname && *info.dli_fname)
        folders.push_back(fs::absolute(info.dli_fname).parent_path());
    std::error_code ignored;
    const fs::path program = fs::read_symlink("/proc/self/exe", ignored);
    if (!program.empty()) folders.push_back(program.parent_path());
    std::vector<fs::path> candidates;
    for (const fs::path &folder : folders) {
        candidates.push_back(folder / file);
        candidates.push_back(folder / ".." / "lib" / file);
    }
    return candidates;
}

}  // namespace

const void *module_entry(const char *file, const char *entry, std::string &failure) {
    failure = std::string(file) + " was not found";
    for (const fs::path &candidate : module_candidates(file)) {
        std::error_code ignored;
        if (!fs::exists(candidate, ignored)) continue;
        void *handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char *why = dlerror();
            failure = "cannot load " + candidate.string() + ": " + (why ? why : "unknown reason");
            continue;
        }
        using Entry = const void *(*)();
        auto function = reinterpret_cast<Entry>(dlsym(handle, entry));
        if (const void *table = function ? function() : nullptr) return table;
        failure = candidate.string() + " has no " + entry;
    }
    return nullptr;
}

}  // namespace diekit::kernel
