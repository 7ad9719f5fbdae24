// The C boundary: every UF_* function runs its body through call(), which turns host and kernel
// exceptions into error codes and records the reason in the session log. No exception leaves.
#pragma once

#include "kernel/kernel.hpp"
#include "model/model_range.hpp"
#include "model/store.hpp"

#include <uf_defs.h>

#include <string>
#include <vector>

namespace diekit::uf {

model::Store &store();

// Runs body; 0 on success, else the error code (reason logged as "<function>: <reason>").
template <class Body>
int call(const char *function, Body &&body);

int fail(const char *function, int code, const std::string &reason);

// Checks that a UF_initialize bracket is open.
void require_session(const char *function);
void require_pointer(const void *pointer, const char *what);

// A direction or other vector: finite components.
kernel::Vec3 to_vec(const double values[3]);
// A position: finite and within the model range (|x| <= 1e5 mm); HostError naming `what` otherwise.
kernel::Vec3 to_point(const double values[3], const char *what);
void from_vec(const kernel::Vec3 &v, double out[3]);
// Value of a length text (a number or a formula over the part's expressions).
double length_value(const char *text, const char *what);
// The same, refused (HostError) unless it is a length of a solid in the model range (1e-6 to 2e5 mm).
double solid_length(const char *text, const char *what);

std::vector<tag_t> list_tags(uf_list_p_t list, const char *what);
// A new list (owned by the caller) holding the tags.
uf_list_p_t make_list(const std::vector<tag_t> &tags);

template <class Body>
int call(const char *function, Body &&body) {
    try {
        body();
        return 0;
    } catch (const HostError &e) {
        return fail(function, e.code(), e.what());
    } catch (const kernel::KernelError &e) {
        return fail(function, kErrGeometry, e.what());
    } catch (const std::exception &e) {
        return fail(function, kErrInternal, e.what());
    } catch (...) {
        return fail(function, kErrInternal, "unknown failure");
    }
}

}  // namespace diekit::uf
