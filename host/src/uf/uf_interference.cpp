// Interference between a target body and tool bodies.
#include "uf/call.hpp"

#include <uf_modl.h>

#include <string>
#include <vector>

using namespace diekit;
using namespace diekit::uf;

extern "C" {

int UF_MODL_check_interference(tag_t target, int num_tools, tag_t *tools, int *results) {
    if (results && num_tools > 0)
        for (int i = 0; i < num_tools; ++i) results[i] = 0;
    return call("UF_MODL_check_interference", [&] {
        if (num_tools < 1) throw HostError(kErrBadValue, "num_tools " + std::to_string(num_tools) + " is not positive");
        require_pointer(tools, "tools");
        require_pointer(results, "results");
        const kernel::Shape &target_shape = store().body(target, "target body").shape;
        // Answers are written only when every tool has been checked: a failure leaves all results 0.
        std::vector<int> answers;
        for (int i = 0; i < num_tools; ++i) store().body(tools[i], "tool body");
        for (int i = 0; i < num_tools; ++i) {
            switch (kernel::interference(target_shape, store().body(tools[i]).shape)) {
            case kernel::Interference::Shared: answers.push_back(1); break;
            case kernel::Interference::Apart: answers.push_back(2); break;
            case kernel::Interference::Touching: answers.push_back(3); break;
            }
        }
        for (int i = 0; i < num_tools; ++i) results[i] = answers[static_cast<std::size_t>(i)];
    });
}

}  // extern "C"
