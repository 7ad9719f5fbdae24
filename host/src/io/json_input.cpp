#include "io/json_input.hpp"

namespace diekit::io {

std::size_t first_bad_utf8(std::string_view text) {
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned char c = bytes[i];
        std::size_t length = 0;
        std::uint32_t code = 0, least = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) length = 2, code = c & 0x1F, least = 0x80;
        else if (c >= 0xE0 && c <= 0xEF) length = 3, code = c & 0x0F, least = 0x800;
        else if (c >= 0xF0 && c <= 0xF4) length = 4, code = c & 0x07, least = 0x10000;
        else return i;
        if (i + length > size) return i;
        for (std::size_t k = 1; k < length; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) return i;
            code = (code << 6) | (bytes[i + k] & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return i;
        i += length;
    }
    return std::string_view::npos;
}

bool is_utf8(std::string_view text) { return first_bad_utf8(text) == std::string_view::npos; }

std::string without_library_prefix(const std::string &message) {
    if (message.rfind("[json.exception.", 0) == 0) {
        auto end = message.find("] ");
        if (end != std::string::npos) {
            std::string rest = message.substr(end + 2);
            // "parse error at line 1, column 3: ..." reads better as "line 1, column 3: ...".
            const std::string parse = "parse error at ";
            if (rest.rfind(parse, 0) == 0) rest = rest.substr(parse.size());
            return rest;
        }
    }
    return message;
}

nlohmann::ordered_json parse_json(const std::string &text) {
    if (auto bad = first_bad_utf8(text); bad != std::string::npos)
        throw JsonInputError("byte " + std::to_string(bad + 1) + " is not UTF-8 text");
    const nlohmann::ordered_json::parser_callback_t limit = [](int depth, nlohmann::ordered_json::parse_event_t event,
                                                               nlohmann::ordered_json &) {
        using Event = nlohmann::ordered_json::parse_event_t;
        if ((event == Event::object_start || event == Event::array_start) && depth >= kMaxJsonDepth)
            throw JsonInputError("lists and objects nested deeper than " + std::to_string(kMaxJsonDepth) + " levels");
        return true;
    };
    try {
        return nlohmann::ordered_json::parse(text, limit, true, true);
    } catch (const nlohmann::ordered_json::exception &e) {
        throw JsonInputError(without_library_prefix(e.what()));
    }
}

}  // namespace diekit::io
