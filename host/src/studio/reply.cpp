#include "studio/reply.hpp"

namespace diekit::studio {

namespace {

constexpr int kDeepest = 64;

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
    auto limit = [](int depth, nlohmann::ordered_json::parse_event_t, nlohmann::ordered_json &) {
        if (depth > kDeepest)
            throw ApiError(400, "the JSON body nests deeper than " + std::to_string(kDeepest) + " levels");
        return true;
    };
    try {
        return nlohmann::ordered_json::parse(text, limit, true, true);
    } catch (const nlohmann::json::exception &e) {  // also numbers beyond a double (out_of_range)
        throw ApiError(400, std::string("the body is not valid JSON: ") + e.what());
    }
}

}  // namespace diekit::studio
