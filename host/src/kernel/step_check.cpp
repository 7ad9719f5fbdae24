#include "kernel/step_check.hpp"

#include "kernel/kernel.hpp"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unordered_map>
#include <vector>

namespace diekit::kernel {

namespace {

[[noreturn]] void refuse(const std::string &why) { throw KernelError("read STEP: " + why); }

std::string entity(std::uint64_t id) {
    std::string text(1, '#');
    return text += std::to_string(id);
}

struct Reference {
    std::uint32_t from;  // index of the referring entity
    std::uint64_t to;    // the id it names
};

// The entities and their references, gathered in one pass over the text.
struct Scan {
    std::unordered_map<std::uint64_t, std::uint32_t> index;  // id -> position in ids
    std::vector<std::uint64_t> ids;
    std::vector<Reference> references;
};

bool at_word(const std::string &text, std::size_t at, const char *word) {
    const std::size_t n = std::char_traits<char>::length(word);
    return text.compare(at, n, word) == 0;
}

Scan scan(const std::string &text, const StepLimits &limits) {
    Scan result;
    int depth = 0;
    bool statement_start = true;  // the next token begins a statement
    bool in_entity = false;       // inside "#id = ...;"
    std::uint32_t current = 0;
    std::size_t i = 0;
    const std::size_t size = text.size();
    while (i < size) {
        const char c = text[i];
        if (c == '\'') {  // a string; '' is a quote inside it
            for (++i;; ++i) {
                if (i >= size) refuse("a text is not closed");
                if (text[i] == '\'') {
                    if (i + 1 < size && text[i + 1] == '\'') ++i;
                    else break;
                }
            }
            ++i;
            statement_start = false;
            continue;
        }
        if (c == '/' && i + 1 < size && text[i + 1] == '*') {
            const auto end = text.find("*/", i + 2);
            if (end == std::string::npos) refuse("a comment is not closed");
            i = end + 2;
            continue;
        }
        if (c == '#') {
            std::size_t j = i + 1;
            while (j < size && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
            if (j == i + 1) refuse("'#' without an entity number at byte " + std::to_string(i + 1));
            if (j - i - 1 > 18) refuse("an entity number of more than 18 digits at byte " + std::to_string(i + 1));
            const std::uint64_t id = std::stoull(text.substr(i + 1, j - i - 1));
            if (statement_start && depth == 0) {
                std::size_t k = j;
                while (k < size && std::isspace(static_cast<unsigned char>(text[k]))) ++k;
                if (k >= size || text[k] != '=') refuse(entity(id) + " is not followed by '='");
                auto [it, fresh] = result.index.emplace(id, static_cast<std::uint32_t>(result.ids.size()));
                if (!fresh) refuse(entity(id) + " is defined twice");
                current = it->second;
                result.ids.push_back(id);
                in_entity = true;
                i = k + 1;
            } else {
                if (in_entity) {
                    if (id == result.ids[current]) refuse(entity(id) + " refers to itself");
                    result.references.push_back({current, id});
                }
                i = j;
            }
            statement_start = false;
            continue;
        }
        if (c == '(') {
            if (++depth > limits.max_list_depth)
                refuse("lists nested deeper than " + std::to_string(limits.max_list_depth) + " levels" +
                                 (in_entity ? " in " + entity(result.ids[current]) : std::string()));
        } else if (c == ')') {
            if (--depth < 0) refuse("a ')' without its '(' at byte " + std::to_string(i + 1));
        } else if (c == ';') {
            if (depth != 0) refuse("a statement ends inside a list at byte " + std::to_string(i + 1));
            statement_start = true;
            in_entity = false;
            ++i;
            continue;
        }
        if (!std::isspace(static_cast<unsigned char>(c))) statement_start = false;
        ++i;
    }
    if (depth != 0) refuse("the file ends inside a list");
    return result;
}

// The longest chain of references, found without recursion; references that close a cycle do not
// lengthen it.
void check_reference_depth(const Scan &scan, const StepLimits &limits) {
    const std::size_t n = scan.ids.size();
    std::vector<std::uint32_t> start(n + 1, 0), targets(scan.references.size());
    for (const Reference &r : scan.references) ++start[r.from + 1];
    for (std::size_t v = 0; v < n; ++v) start[v + 1] += start[v];
    std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
    for (const Reference &r : scan.references) {
        auto it = scan.index.find(r.to);
        if (it == scan.index.end())
            refuse(entity(scan.ids[r.from]) + " refers to " + entity(r.to) + ", which the file does not define");
        targets[fill[r.from]++] = it->second;
    }
    enum : std::uint8_t { kNew, kOpen, kDone };
    std::vector<std::uint8_t> state(n, kNew);
    std::vector<std::uint32_t> depth(n, 1);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> stack;  // (entity, next reference to follow)
    for (std::uint32_t root = 0; root < n; ++root) {
        if (state[root] != kNew) continue;
        stack.push_back({root, start[root]});
        state[root] = kOpen;
        while (!stack.empty()) {
            auto &[v, next] = stack.back();
            if (next < start[v + 1]) {
                const std::uint32_t w = targets[next++];
                if (state[w] == kNew) {
                    state[w] = kOpen;
                    stack.push_back({w, start[w]});
                }
                continue;
            }
            for (std::uint32_t e = start[v]; e < start[v + 1]; ++e)
                if (state[targets[e]] == kDone) depth[v] = std::max(depth[v], depth[targets[e]] + 1);
            if (depth[v] > static_cast<std::uint32_t>(limits.max_reference_depth))
                refuse("references nested deeper than " + std::to_string(limits.max_reference_depth) +
                                 " levels below " + entity(scan.ids[v]));
            state[v] = kDone;
            stack.pop_back();
        }
    }
}

}  // namespace

void check_step_text(const std::string &text, const StepLimits &limits) {
    std::size_t first = 0;
    if (at_word(text, 0, "\xEF\xBB\xBF")) first = 3;  // a byte-order mark
    while (first < text.size() && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    if (!at_word(text, first, "ISO-10303-21;")) refuse("not a STEP file (it does not begin with ISO-10303-21;)");
    std::size_t last = text.find_last_not_of(" \t\r\n\x1A");
    const std::string end = "END-ISO-10303-21;";
    if (last == std::string::npos || last + 1 < end.size() || text.compare(last + 1 - end.size(), end.size(), end) != 0)
        refuse("the file is cut short (it does not end with END-ISO-10303-21;)");
    const Scan found = scan(text, limits);
    if (found.ids.empty()) refuse("the file holds no entities");
    check_reference_depth(found, limits);
}

void check_step_file(const std::string &path, const StepLimits &limits) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) refuse("not a file");
    const auto bytes = std::filesystem::file_size(path, error);
    if (error) refuse("cannot read it (" + error.message() + ")");
    if (bytes > limits.max_bytes)
        refuse("larger than " + std::to_string(limits.max_bytes >> 20) + " MiB");
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) refuse("cannot read it");
    check_step_text(text.str(), limits);
}

}  // namespace diekit::kernel
