// STEP AP214 exchange with names and colours through an XCAF document.
#include "kernel/occ.hpp"

#include <BRepBuilderAPI_Transform.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <Interface_Static.hxx>
#include <Quantity_Color.hxx>
#include <STEPCAFControl_Reader.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <TDF_Label.hxx>
#include <TDF_LabelSequence.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopLoc_Location.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS_Iterator.hxx>
#include <TopoDS_Shell.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include <BRepTools.hxx>
#include <BRep_Builder.hxx>

#include "kernel/child_process.hpp"
#include "kernel/step_check.hpp"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>

namespace diekit::kernel {

using namespace detail;

namespace {

// An XCAF document that is closed (and freed by the application) when it goes out of scope.
class Document {
public:
    explicit Document(const char *op) : m_app(XCAFApp_Application::GetApplication()) {
        m_app->NewDocument("MDTV-XCAF", m_doc);
        if (m_doc.IsNull()) fail(op, "could not create an exchange document");
    }
    ~Document() {
        if (!m_doc.IsNull() && m_app->CanClose(m_doc) == CDM_CCS_OK) m_app->Close(m_doc);
    }
    Document(const Document &) = delete;
    Document &operator=(const Document &) = delete;

    Handle(TDocStd_Document) &handle() { return m_doc; }
    Handle(XCAFDoc_ShapeTool) shapes() const { return XCAFDoc_DocumentTool::ShapeTool(m_doc->Main()); }
    Handle(XCAFDoc_ColorTool) colors() const { return XCAFDoc_DocumentTool::ColorTool(m_doc->Main()); }

private:
    Handle(XCAFApp_Application) m_app;
    Handle(TDocStd_Document) m_doc;
};

// OCCT's writer gives a product without a name its own ("Open CASCADE STEP translator 7.6 3"); read
// back, such a body has no name, as it had none when written.
bool default_product_name(const std::string &name) {
    static const std::string prefix = "Open CASCADE STEP translator ";
    if (name.compare(0, prefix.size(), prefix) != 0) return false;
    // "<version> <number>": digits and dots, one space, digits.
    const std::string rest = name.substr(prefix.size());
    const auto space = rest.find(' ');
    if (space == std::string::npos || space == 0 || space + 1 == rest.size()) return false;
    return rest.find_first_not_of("0123456789.") == space &&
           rest.find_first_not_of("0123456789", space + 1) == std::string::npos;
}

std::optional<std::string> name_of(const TDF_Label &label) {
    Handle(TDataStd_Name) name;
    if (label.IsNull() || !label.FindAttribute(TDataStd_Name::GetID(), name)) return std::nullopt;
    std::string text = TCollection_AsciiString(name->Get()).ToCString();
    if (default_product_name(text)) return std::string();
    return text;
}

std::optional<Rgb> color_of(const Handle(XCAFDoc_ColorTool) &colors, const TDF_Label &label) {
    Quantity_Color color;
    if (label.IsNull()) return std::nullopt;
    if (!colors->GetColor(label, XCAFDoc_ColorSurf, color) && !colors->GetColor(label, XCAFDoc_ColorGen, color))
        return std::nullopt;
    double r = 0, g = 0, b = 0;
    color.Values(r, g, b, Quantity_TOC_sRGB);
    return Rgb{r, g, b};
}

// Walks a shape label: assemblies through their components (locations composed, the nearest name
// and colour winning), simple shapes solid by solid.
void collect(const Document &doc, const TDF_Label &label, const TopLoc_Location &location,
             const std::string &name, const Rgb &color, std::vector<NamedShape> &out) {
    const Handle(XCAFDoc_ShapeTool) shapes = doc.shapes();
    const Handle(XCAFDoc_ColorTool) colors = doc.colors();
    const std::string own_name = name_of(label).value_or(name);
    const Rgb own_color = color_of(colors, label).value_or(color);

    if (XCAFDoc_ShapeTool::IsAssembly(label)) {
        TDF_LabelSequence components;
        XCAFDoc_ShapeTool::GetComponents(label, components);
        for (int i = 1; i <= components.Length(); ++i) {
            const TDF_Label &component = components.Value(i);
            TDF_Label referred;
            if (!XCAFDoc_ShapeTool::GetReferredShape(component, referred)) continue;
            const std::string component_name = name_of(component).value_or(own_name);
            const Rgb component_color = color_of(colors, component).value_or(own_color);
            collect(doc, referred, location * XCAFDoc_ShapeTool::GetLocation(component), component_name,
                    component_color, out);
        }
        return;
    }

    const TopoDS_Shape shape = XCAFDoc_ShapeTool::GetShape(label);
    if (shape.IsNull()) return;
    TopTools_IndexedMapOfShape solids;
    TopExp::MapShapes(shape, TopAbs_SOLID, solids);
    for (int i = 1; i <= solids.Extent(); ++i) {
        TDF_Label sub;
        const bool has_sub = !solids(i).IsSame(shape) && shapes->FindSubShape(label, solids(i), sub);
        NamedShape item;
        item.shape = Shape(solids(i).Moved(location));
        item.name = has_sub ? name_of(sub).value_or(own_name) : own_name;
        item.color = has_sub ? color_of(colors, sub).value_or(own_color) : own_color;
        out.push_back(std::move(item));
    }
}

// The writer translates an edge at the first face it meets that holds it, at a cost that grows with
// that face's edge count: on a plate top with hundreds of pockets every edge would cost the whole
// face. Shells that hold such a face are written with their faces in order of edge count (the pocket
// walls first), the same faces with the same orientations; other shapes are written as they are.

int edge_count(const TopoDS_Shape &face) {
    int count = 0;
    for (TopExp_Explorer edge(face, TopAbs_EDGE); edge.More(); edge.Next()) ++count;
    return count;
}

TopoDS_Shape faces_by_edge_count(const TopoDS_Shape &shell) {
    std::vector<std::pair<int, TopoDS_Shape>> faces;
    for (TopoDS_Iterator face(shell); face.More(); face.Next()) faces.emplace_back(edge_count(face.Value()), face.Value());
    if (std::none_of(faces.begin(), faces.end(), [](const auto &face) { return face.first >= kManyFaceEdges; }))
        return shell;
    std::stable_sort(faces.begin(), faces.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    TopoDS_Shell ordered;
    BRep_Builder builder;
    builder.MakeShell(ordered);
    for (const auto &face : faces) builder.Add(ordered, face.second);
    ordered.Closed(shell.Closed());
    return ordered;
}

TopoDS_Shape in_write_order(const TopoDS_Shape &shape) {
    if (shape.ShapeType() == TopAbs_SHELL) return faces_by_edge_count(shape);
    if (shape.ShapeType() != TopAbs_SOLID && shape.ShapeType() != TopAbs_COMPOUND) return shape;
    std::vector<TopoDS_Shape> children;
    bool reordered = false;
    for (TopoDS_Iterator child(shape); child.More(); child.Next()) {
        children.push_back(in_write_order(child.Value()));
        reordered = reordered || !children.back().IsEqual(child.Value());
    }
    if (!reordered) return shape;
    TopoDS_Shape rebuilt = shape.EmptyCopied();
    rebuilt.Location(TopLoc_Location());
    rebuilt.Orientation(TopAbs_FORWARD);
    BRep_Builder builder;
    for (const TopoDS_Shape &child : children) builder.Add(rebuilt, child);
    return rebuilt;
}

}  // namespace

void write_step(const std::string &path, const std::vector<NamedShape> &shapes) {
    constexpr const char *op = "write STEP";
    guarded(op, [&] {
        if (path.empty()) fail(op, "no file name given");
        Document doc(op);
        const Handle(XCAFDoc_ShapeTool) shape_tool = doc.shapes();
        const Handle(XCAFDoc_ColorTool) color_tool = doc.colors();
        int written = 0;
        for (const NamedShape &item : shapes) {
            const TopoDS_Shape &shape = require(op, item.shape, ("shape '" + item.name + "'").c_str());
            // A body emptied by a cut has no geometry to exchange.
            if (!TopExp_Explorer(shape, TopAbs_VERTEX).More()) continue;
            // A placed shape would go out as an assembly of one around a prototype that its copies
            // share and that has no name ("SOLID" in other systems, and read back so): each body is
            // written as a part of its own, in place, under its name.
            const TopoDS_Shape part =
                shape.Location().IsIdentity()
                    ? shape
                    : BRepBuilderAPI_Transform(shape.Located(TopLoc_Location()), shape.Location().Transformation(), true).Shape();
            const TDF_Label label = shape_tool->AddShape(in_write_order(part), false);
            TDataStd_Name::Set(label, TCollection_ExtendedString(item.name.c_str(), true));
            // Rgb holds display (sRGB) values, which is what STEP files carry; Quantity_Color is linear.
            const Quantity_Color color(item.color.r, item.color.g, item.color.b, Quantity_TOC_sRGB);
            color_tool->SetColor(label, color, XCAFDoc_ColorGen);
            color_tool->SetColor(label, color, XCAFDoc_ColorSurf);
            ++written;
        }
        if (written == 0) fail(op, "there is nothing to write");

        STEPCAFControl_Writer writer;
        writer.SetNameMode(true);
        writer.SetColorMode(true);
        Interface_Static::SetCVal("write.step.schema", "AP214IS");
        if (!writer.Transfer(doc.handle(), STEPControl_AsIs)) fail(op, "the shapes could not be translated");
        if (writer.Write(path.c_str()) != IFSelect_RetDone) fail(op, "could not write '" + path + "'");
    });
}

namespace {

// Reads the file in this process: what the child of read_step runs.
std::vector<NamedShape> read_here(const std::string &path) {
    constexpr const char *op = "read STEP";
    return guarded(op, [&] {
        STEPCAFControl_Reader reader;
        reader.SetNameMode(true);
        reader.SetColorMode(true);
        if (reader.ReadFile(path.c_str()) != IFSelect_RetDone) fail(op, "could not read '" + path + "'");
        Document doc(op);
        if (!reader.Transfer(doc.handle())) fail(op, "the file's shapes could not be translated");

        std::vector<NamedShape> result;
        TDF_LabelSequence free_shapes;
        doc.shapes()->GetFreeShapes(free_shapes);
        for (int i = 1; i <= free_shapes.Length(); ++i)
            collect(doc, free_shapes.Value(i), TopLoc_Location(), std::string(), Rgb{}, result);
        return result;
    });
}

// The shapes as bytes for the trip from the child: per shape a line "<name bytes> <brep bytes> r g b",
// then the name and the shape in OCCT's BRep text (exact: the same geometry read back).
std::string to_bytes(const std::vector<NamedShape> &shapes) {
    std::ostringstream out;
    out.precision(17);
    for (const NamedShape &item : shapes) {
        std::ostringstream brep;
        BRepTools::Write(item.shape.occ(), brep);
        const std::string text = brep.str();
        out << item.name.size() << ' ' << text.size() << ' ' << item.color.r << ' ' << item.color.g << ' '
            << item.color.b << '\n' << item.name << text;
    }
    return out.str();
}

std::vector<NamedShape> from_bytes(const std::string &bytes) {
    constexpr const char *op = "read STEP";
    return guarded(op, [&] {
        std::vector<NamedShape> shapes;
        std::istringstream in(bytes);
        std::size_t name_size = 0, brep_size = 0;
        NamedShape item;
        while (in >> name_size >> brep_size >> item.color.r >> item.color.g >> item.color.b) {
            if (in.get() != '\n' || name_size > bytes.size() || brep_size > bytes.size())
                fail(op, "the reader's result is damaged");
            item.name.assign(name_size, '\0');
            in.read(item.name.data(), static_cast<std::streamsize>(name_size));
            std::string text(brep_size, '\0');
            in.read(text.data(), static_cast<std::streamsize>(brep_size));
            if (!in) fail(op, "the reader's result is cut short");
            std::istringstream brep(text);
            TopoDS_Shape shape;
            BRep_Builder builder;
            BRepTools::Read(shape, brep, builder);
            if (shape.IsNull()) fail(op, "the reader's result holds a null shape");
            item.shape = Shape(shape);
            shapes.push_back(item);
        }
        if (!in.eof()) fail(op, "the reader's result is damaged");
        return shapes;
    });
}

// Time for the reader: ten seconds and one more per 100 kB, generous for any file a CAD system writes
// and short enough that a file the reader loops on is given up soon.
double reading_seconds(const std::string &path) {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    return 10.0 + (error ? 0.0 : static_cast<double>(bytes) / 100'000.0);
}

constexpr unsigned long long kReaderMemory = 8ull << 30;

}  // namespace

std::vector<NamedShape> read_step(const std::string &path) {
    check_step_file(path);
    // OCCT's reader runs in a child process: a crash, a stack overflow or a loop inside it on a
    // damaged file ends the child, and the caller gets an error. The shapes come back as BRep text.
    const std::string bytes = run_in_child(
        "read STEP", [&path] { return to_bytes(read_here(path)); }, reading_seconds(path), kReaderMemory);
    return from_bytes(bytes);
}

}  // namespace diekit::kernel
