#include "plugin_runner.hpp"

#include <dlfcn.h>

#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

namespace runner {

const Plugin &plugin(const std::string &name) {
    static std::map<std::string, Plugin> loaded;
    auto found = loaded.find(name);
    if (found != loaded.end()) return found->second;
    const std::string path = std::string(DIEKIT_FAKE_PLUGIN_DIR) + "/" + name + ".so";
    // Lazy binding: builders that call host functions the fake does not have still load; only the
    // frame and flatinsert are run here.
    void *handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (handle == nullptr) throw std::runtime_error(std::string("dlopen: ") + dlerror());
    Plugin p;
    p.ufusr = reinterpret_cast<void (*)(char *, int *, int)>(dlsym(handle, "ufusr"));
    p.ufusr_ask_unload = reinterpret_cast<int (*)()>(dlsym(handle, "ufusr_ask_unload"));
    p.ufusr_cleanup = reinterpret_cast<void (*)()>(dlsym(handle, "ufusr_cleanup"));
    return loaded[name] = p;
}

bool builds_nothing_yet(const std::string &name) {
    const std::string path = std::string(DIEKIT_SOURCE_DIR) + "/" + name + "/" + name + ".cpp";
    std::ifstream source(path);
    if (!source) throw std::runtime_error("cannot read " + path);
    const std::string text((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
    return text.find("report_nothing_built(") != std::string::npos;
}

void run(const std::string &name, std::vector<fake::Step> script) {
    fake::state().script = std::move(script);
    char param[1] = {0};
    int retcode = 0;
    plugin(name).ufusr(param, &retcode, 0);
}

}  // namespace runner
