#include "plugin_runner.hpp"

#include <dlfcn.h>

#include <map>
#include <stdexcept>

namespace runner {

const Plugin &plugin(const std::string &name) {
    static std::map<std::string, Plugin> loaded;
    auto found = loaded.find(name);
    if (found != loaded.end()) return found->second;
    const std::string path = std::string(DIEKIT_FAKE_PLUGIN_DIR) + "/" + name + ".so";
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) throw std::runtime_error(std::string("dlopen: ") + dlerror());
    Plugin p;
    p.ufusr = reinterpret_cast<void (*)(char *, int *, int)>(dlsym(handle, "ufusr"));
    p.ufusr_ask_unload = reinterpret_cast<int (*)()>(dlsym(handle, "ufusr_ask_unload"));
    p.ufusr_cleanup = reinterpret_cast<void (*)()>(dlsym(handle, "ufusr_cleanup"));
    return loaded[name] = p;
}

void run(const std::string &name, std::vector<fake::Step> script) {
    fake::state().script = std::move(script);
    char param[1] = {0};
    int retcode = 0;
    plugin(name).ufusr(param, &retcode, 0);
}

}  // namespace runner
