// Loads the STEP exchange module on first use and forwards the kernel's STEP calls to it.
#include "kernel/step_module.hpp"

#include "kernel/modules.hpp"

namespace diekit::kernel {

namespace {

const detail::StepFunctions &step_functions() {
    return module_table<detail::StepFunctions, KernelError>("libdiehost_step.so", "diekit_step_functions",
                                                            "STEP: the STEP module");
}

}  // namespace

void write_step(const std::string &path, const std::vector<NamedShape> &shapes) { step_functions().write(path, shapes); }

std::vector<NamedShape> read_step(const std::string &path) { return step_functions().read(path); }

}  // namespace diekit::kernel
