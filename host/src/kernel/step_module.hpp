// The STEP exchange module (step_io.cpp built as a library of its own, with step_entry.cpp) and its
// loader (step_module.cpp): the exchange and document libraries are loaded, and initialised, only
// when a run first reads or writes STEP. Kernel sources only.
#pragma once

#include "kernel/kernel.hpp"

#include <string>
#include <vector>

namespace diekit::kernel::detail {

// What the module hands the loader: its STEP writer and reader, as kernel.hpp declares them.
struct StepFunctions {
    void (*write)(const std::string &path, const std::vector<NamedShape> &shapes);
    std::vector<NamedShape> (*read)(const std::string &path);
};

}  // namespace diekit::kernel::detail

// The module's one exported entry.
extern "C" const diekit::kernel::detail::StepFunctions *diekit_step_functions();
