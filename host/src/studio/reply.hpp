// What the host thread answers to one request of the studio's page, and the error it throws for a
// request it refuses.
#pragma once

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>

namespace diekit::studio {

struct Reply {
    int status = 200;
    std::string type = "application/json";
    std::string body;
    std::string filename;  // non-empty: sent as an attachment of this name
};

// A JSON answer (one line).
Reply json_reply(const nlohmann::ordered_json &body, int status = 200);
// {"error": text} with the status: 4xx for a request that was wrong, 5xx when the host failed.
Reply error_reply(int status, const std::string &text);

// A request the host refuses: status and a one-line reason naming what was wrong.
class ApiError : public std::runtime_error {
public:
    ApiError(int status, const std::string &reason) : std::runtime_error(reason), m_status(status) {}
    int status() const { return m_status; }

private:
    int m_status;
};

// Parses a request body as JSON (comments allowed), refusing nesting deeper than 64 and anything
// that is not JSON with a 400 naming the fault.
nlohmann::ordered_json parse_body(const std::string &text);

}  // namespace diekit::studio
