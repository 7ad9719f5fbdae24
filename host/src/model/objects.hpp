// The objects of the work part, referred to by tags.
#pragma once

#include "kernel/kernel.hpp"

#include <nlohmann/json.hpp>

#include <uf_defs.h>

#include <cstdint>
#include <string>
#include <vector>

namespace diekit::model {

enum class Kind { Part, Body, Face, Edge, Curve, Feature, Group, Matrix, Csys, Expression };

const char *kind_name(Kind kind);

struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    tag_t tag = NULL_TAG;
    Kind kind;
    std::string name;
};

struct Part : Object {
    Part() : Object(Kind::Part) {}
};

// A non-uniform scale applied to a body after it was made; regeneration applies it again.
struct ScaleStep {
    kernel::Frame about;
    double factors[3] = {1, 1, 1};
};

struct Body : Object {
    Body() : Object(Kind::Body) {}
    std::vector<ScaleStep> scales;
    kernel::Shape shape;
    int color = 87;
    bool blanked = false;
    bool parametric = false;   // has feature history
    std::uint64_t revision = 0;  // changes whenever the shape changes; face and edge tags follow it
    tag_t group = NULL_TAG;      // imported group it belongs to
};

// A face or edge of a body, valid while the body keeps the revision it had when the tag was given.
struct SubShape : Object {
    explicit SubShape(Kind k) : Object(k) {}
    tag_t body = NULL_TAG;
    std::uint64_t revision = 0;
    kernel::Shape shape;
};

struct Curve : Object {
    Curve() : Object(Kind::Curve) {}
    kernel::Shape shape;
    int color = 1;
};

struct Feature : Object {
    Feature() : Object(Kind::Feature) {}
    std::string type;            // "BLOCK", "CYLINDER", "CHAMFER", "INTERSECT", ...
    tag_t body = NULL_TAG;       // body the feature made or changed
    kernel::Shape own_shape;     // the feature's own solid (a block's box), for its edges later on
    std::uint64_t body_revision = 0;  // body revision right after the feature
};

// An imported standard part: its members in file order and what regenerates them.
struct Group : Object {
    Group() : Object(Kind::Group) {}
    std::vector<tag_t> members;
    std::string file;                   // path below the library's STANDARD folder
    std::string path;                   // the part file on disk
    nlohmann::json recipes;             // one body recipe per member
    std::vector<std::string> locals;    // the file's expression names, in file order
    int suffix = 0;                     // the N of the suffixed names "name'N"
    kernel::Frame frame;                // placement
    double scale = 1;
    std::vector<double> built_values;   // values of the suffixed expressions at the last build
    std::vector<std::uint64_t> built_revisions;  // each member's revision when the library last shaped it
};

struct Matrix : Object {
    Matrix() : Object(Kind::Matrix) {}
    double values[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
};

struct Csys : Object {
    Csys() : Object(Kind::Csys) {}
    kernel::Frame frame;
    tag_t matrix = NULL_TAG;
    bool temporary = false;
};

struct Expression : Object {
    Expression() : Object(Kind::Expression) {}
    std::string formula;
    double value = 0;
};

}  // namespace diekit::model
