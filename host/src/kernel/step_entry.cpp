// The STEP module's entry. The build compiles this file and step_io.cpp with write_step and
// read_step renamed (module_write_step, module_read_step), so that the kernel's own names stay with
// the loader; the addresses taken here are the module's functions.
#include "kernel/step_module.hpp"

extern "C" const diekit::kernel::detail::StepFunctions *diekit_step_functions() {
    static const diekit::kernel::detail::StepFunctions functions{&diekit::kernel::write_step,
                                                                 &diekit::kernel::read_step};
    return &functions;
}
