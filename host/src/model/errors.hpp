// Errors inside the host: typed exceptions that carry the platform error code and a readable reason.
// The C functions turn them into return codes; the session runner into one-line messages.
#pragma once

#include <stdexcept>
#include <string>

namespace diekit {

// Error codes returned by the UF_* functions (0 is success).
enum ErrorCode : int {
    kErrNotInitialized = 1001,  // call outside UF_initialize ... UF_terminate
    kErrNullArgument = 1002,    // a required pointer argument is NULL
    kErrNullTag = 1003,         // NULL_TAG where an object is required
    kErrStaleTag = 1004,        // the tag names no live object (deleted, or a face/edge of a changed body)
    kErrWrongKind = 1005,       // the tag names an object of another kind
    kErrBadValue = 1006,        // a text or number argument cannot be used
    kErrGeometry = 1007,        // the geometry kernel refused or failed the operation
    kErrEmptyResult = 1008,     // the operation would leave no solid
    kErrNoTarget = 1009,        // a signed feature found no body to act on
    kErrBadList = 1010,         // the list pointer is not a live list of this host
    kErrNotFound = 1011,        // a file or named object does not exist
    // Profiles of extrusions (UF_MODL_create_extruded).
    kErrOpenProfile = 1021,       // the curves do not form closed loops (a free end or a branch)
    kErrNonPlanarProfile = 1022,  // the curves do not lie in one plane
    kErrInternal = 1099,        // anything else
};

// Readable name of an error code ("null tag", ...), or nullptr for an unknown code.
const char *error_code_text(int code);

class HostError : public std::runtime_error {
public:
    HostError(int code, const std::string &message) : std::runtime_error(message), m_code(code) {}
    int code() const { return m_code; }

private:
    int m_code;
};

// A session that cannot be played: unreadable file, unknown plug-in or block, wrong value kind.
class SessionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace diekit
