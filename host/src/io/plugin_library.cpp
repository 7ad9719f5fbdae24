#include "io/plugin_library.hpp"

#include "model/errors.hpp"

#include <uf.h>

#include <dlfcn.h>

namespace diekit::io {

PluginLibrary::PluginLibrary(const std::string &folder, const std::string &name) {
    std::string path = folder + "/" + name + ".so";
    m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        const char *reason = dlerror();
        throw SessionError("cannot load plug-in '" + name + "' (" + (reason ? reason : path) + ")");
    }
    m_ufusr = reinterpret_cast<void (*)(char *, int *, int)>(dlsym(m_handle, "ufusr"));
    m_ask_unload = reinterpret_cast<int (*)()>(dlsym(m_handle, "ufusr_ask_unload"));
    m_cleanup = reinterpret_cast<void (*)()>(dlsym(m_handle, "ufusr_cleanup"));
    if (!m_ufusr || !m_ask_unload || !m_cleanup) {
        dlclose(m_handle);
        m_handle = nullptr;
        throw SessionError("plug-in '" + name + "' does not export ufusr, ufusr_ask_unload and ufusr_cleanup");
    }
}

PluginLibrary::~PluginLibrary() {
    if (m_handle) dlclose(m_handle);
}

void PluginLibrary::start() {
    char param[1] = {'\0'};
    int retcode = 0;
    m_ufusr(param, &retcode, 0);
    if (m_ask_unload() == UF_UNLOAD_IMMEDIATELY) {
        m_cleanup();
        dlclose(m_handle);
        m_handle = nullptr;
    }
}

}  // namespace diekit::io
