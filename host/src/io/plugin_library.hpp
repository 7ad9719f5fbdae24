// A plug-in library opened with dlopen and closed when it asks to be unloaded at once.
#pragma once

#include <string>

namespace diekit::io {

class PluginLibrary {
public:
    // Opens "<folder>/<name>.so"; throws SessionError naming the library when it cannot be loaded or
    // lacks the entry points.
    PluginLibrary(const std::string &folder, const std::string &name);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary &) = delete;
    PluginLibrary &operator=(const PluginLibrary &) = delete;

    // Calls ufusr; then unloads the library when ufusr_ask_unload answers "at once".
    void start();

private:
    void *m_handle = nullptr;
    void (*m_ufusr)(char *, int *, int) = nullptr;
    int (*m_ask_unload)() = nullptr;
    void (*m_cleanup)() = nullptr;
};

}  // namespace diekit::io
