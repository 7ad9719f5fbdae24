// A quick look at a STEP file before the kernel's reader sees it: files that no CAD system writes
// (not ISO 10303-21, larger than the host takes, entities that refer to themselves or to nothing,
// lists or reference chains nested implausibly deep) are refused here, in one pass over the text.
#pragma once

#include <cstdint>
#include <string>

namespace diekit::kernel {

struct StepLimits {
    std::uintmax_t max_bytes = 256ull << 20;  // larger files are refused
    int max_list_depth = 32;                  // parentheses inside one entity
    int max_reference_depth = 400;            // longest chain #a -> #b -> ... of references
};

// Throws KernelError ("read STEP: <what is wrong>") when the file is implausible; the caller names
// the file.
void check_step_file(const std::string &path, const StepLimits &limits = {});

// The same for text already read.
void check_step_text(const std::string &text, const StepLimits &limits = {});

}  // namespace diekit::kernel
