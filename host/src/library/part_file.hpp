// Standard-part files (.prt): readable JSON with expressions and body recipes.
//
//   {"contract": "what each body is, where the origin lies, which way the axis points",
//    "expressions": {"D": "25", "L": "64"},            // name -> formula, in order
//    "bodies": [{"name": "spring", "recipe": {...}}, ...]}
//
// Recipes: {"block": {"corner": [x,y,z], "size": [dx,dy,dz]}},
//          {"cylinder": {"base": [x,y,z], "axis": [x,y,z], "height": h, "diameter": d}},
//          {"cone": {"base", "axis", "height", "d1", "d2"}},
//          {"prism": {"outline": [[x,y], ...], "z": [z0, z1]}},
//          {"union": [r, ...]}, {"difference": [r, ...]}, {"intersection": [r, ...]}.
// Every number may be a formula text over the file's expressions ("L-2", "D/2").
#pragma once

#include "expr/formula.hpp"
#include "kernel/kernel.hpp"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace diekit::library {

struct PartFile {
    std::string contract;
    std::vector<std::pair<std::string, std::string>> expressions;  // in file order
    nlohmann::json bodies;                                          // [{"name", "recipe"}, ...]
};

// Maps a platform path ("D:\DIELIB\STANDARD\Plug screw\PBB10X35.prt") or a path relative to the
// root onto the library root. HostError when it leaves the root or the file does not exist.
std::filesystem::path resolve(const std::string &platform_path, const std::string &root);

// Reads and checks a part file; HostError naming the file and the fault.
PartFile load(const std::filesystem::path &path);

// Builds one recipe in the part's own frame with the given expression values.
kernel::Shape build(const nlohmann::json &recipe, const expr::Lookup &lookup);

// The same, built once per part for each set of values (the work part's store keeps the solids).
kernel::Shape build_once(const nlohmann::json &recipe, const expr::Lookup &lookup);

}  // namespace diekit::library
