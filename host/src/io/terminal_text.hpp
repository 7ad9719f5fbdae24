// Text for one line on a terminal: what the host says about a failure may quote the input (a name,
// a formula, a block id), and the input may hold line breaks, control characters or a megabyte.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace diekit::io {

// The text with every control character written as an escape ("\n", "\x1b") and cut after `limit`
// bytes at a character boundary ("..." marks the cut): always exactly one line.
inline std::string one_line(const std::string &text, std::size_t limit = 400) {
    std::string out;
    for (std::size_t i = 0; i < text.size() && out.size() < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            out += escape;
        } else out += text[i];
    }
    if (out.size() >= limit && out.size() < text.size()) {
        while (!out.empty() && (static_cast<unsigned char>(out.back()) & 0xC0) == 0x80) out.pop_back();
        if (!out.empty() && (static_cast<unsigned char>(out.back()) & 0xC0) == 0xC0) out.pop_back();
        out += "...";
    }
    return out;
}

}  // namespace diekit::io
