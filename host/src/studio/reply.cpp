#include "studio/reply.hpp"

#include "io/json_input.hpp"

namespace diekit::studio {

namespace {

// Text as one line: the parser's messages quote the input, which may hold line breaks.
std::string one_line(std::string text) {
    for (char &c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

}  // namespace

Reply json_reply(const nlohmann::ordered_json &body, int status) {
    Reply reply;
    reply.status = status;
    reply.body = body.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    return reply;
}

Reply error_reply(int status, const std::string &text) {
    return json_reply({{"error", one_line(text)}}, status);
}

nlohmann::ordered_json parse_body(const std::string &text) {
    if (text.empty()) throw ApiError(400, "the request needs a JSON body");
    try {
        return io::parse_json(text);  // the session reader's limits: UTF-8, nesting, numbers
    } catch (const io::JsonInputError &e) {
        throw ApiError(400, std::string("the body is not valid JSON: ") + e.what());
    }
}

}  // namespace diekit::studio
