// Reading JSON that a person wrote (session files, part files): limits and checks shared by every
// reader, so that no input reaches the rest of the host deeper, larger or more loosely typed than it
// can take, and no library exception text reaches the user.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace diekit::io {

// Objects and lists nested deeper than this are refused when parsing: no reader needs more, and
// everything that walks a tree afterwards (copies, dumps, recipes) can then recurse safely.
constexpr int kMaxJsonDepth = 64;

// A text that is not acceptable JSON; what() is one line without the library's exception prefix
// ("line 3, column 7: syntax error ...", "objects nested deeper than 64 levels", ...).
class JsonInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses JSON with comments allowed, refusing text that is not UTF-8 and nesting beyond
// kMaxJsonDepth. Throws JsonInputError.
nlohmann::ordered_json parse_json(const std::string &text);

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool is_utf8(std::string_view text);

// The byte offset of the first ill-formed UTF-8 sequence, or npos.
std::size_t first_bad_utf8(std::string_view text);

// The value as a whole number when it is one that fits 64 bits signed; nullopt for any other
// value (fractions, texts, numbers beyond 2^63 - 1). Never wraps.
template <class Json>
std::optional<std::int64_t> whole_number(const Json &value) {
    if (value.is_number_unsigned()) {
        const auto n = value.template get<std::uint64_t>();
        if (n > static_cast<std::uint64_t>(INT64_MAX)) return std::nullopt;
        return static_cast<std::int64_t>(n);
    }
    if (value.is_number_integer()) return value.template get<std::int64_t>();
    return std::nullopt;
}

// The value as a whole number within [low, high]; nullopt otherwise.
template <class Json>
std::optional<std::int64_t> whole_number(const Json &value, std::int64_t low, std::int64_t high) {
    auto n = whole_number(value);
    if (!n || *n < low || *n > high) return std::nullopt;
    return n;
}

// A finite number (JSON's numbers past the double range read as infinite); nullopt otherwise.
template <class Json>
std::optional<double> finite_number(const Json &value) {
    if (!value.is_number()) return std::nullopt;
    const double d = value.template get<double>();
    if (!(d - d == 0)) return std::nullopt;  // infinite or NaN
    return d;
}

// The value as JSON text for a message, cut after about `limit` characters ("..." marks the cut, which
// never splits a UTF-8 character): a refusal stays one readable line whatever the value holds.
template <class Json>
std::string brief(const Json &value, std::size_t limit = 60) {
    std::string text = value.dump(-1, ' ', false, Json::error_handler_t::replace);
    if (text.size() <= limit) return text;
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "...";
}

// The message of a library exception without its "[json.exception.type.N] " prefix.
std::string without_library_prefix(const std::string &message);

}  // namespace diekit::io
