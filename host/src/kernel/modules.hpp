// The host's optional libraries (STEP exchange, PDF sheets, the studio), each loaded on first use from
// beside the library or program that holds the host, so that a run that does not need one neither
// loads nor initialises the libraries it brings in.
#pragma once

#include <mutex>
#include <string>

namespace diekit::kernel {

// What the entry function `entry` (extern "C", no arguments) of the module `file` returns: the
// module's table of functions. The module is loaded once and kept for the rest of the process (what
// it made may hold its code). Returns null and says why in `failure` when the module cannot be
// found, loaded or entered.
const void *module_entry(const char *file, const char *entry, std::string &failure);

// The module's table of functions, loaded on the first call; throws Error (made from a text that
// starts with `what`) on every call when it could not be.
template <class Table, class Error>
const Table &module_table(const char *file, const char *entry, const char *what) {
    static std::once_flag once;
    static const Table *table = nullptr;
    static std::string failure;
    std::call_once(once, [&] { table = static_cast<const Table *>(module_entry(file, entry, failure)); });
    if (!table) throw Error(std::string(what) + ": " + failure);
    return *table;
}

}  // namespace diekit::kernel
