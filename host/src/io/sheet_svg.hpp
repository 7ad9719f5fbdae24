// Drawing sheets as SVG: the primitives every sheet shares (lines, paths, text, dimensions, centre
// marks, tables), the first-angle projection symbol and the title block. Sheet millimetres, y down.
#pragma once

#include "kernel/drawing.hpp"

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace diekit::io {

std::string escape(std::string_view text);
// "%.2f" without a negative zero: the coordinates of the sheet.
std::string number(double v);

// One row of a title block: its caption (small, above) and its value.
struct TitleField {
    std::string caption;
    std::string value;
    std::string id;  // the value's element id ("title", "scale", ...), "" for none
};

class SheetSvg {
public:
    // Starts an A-size sheet of width × height mm with its frame (10 mm in) and the shared styles.
    // Cut faces are hatched with the pattern `hatch` (45°); `hatch-1` to `hatch-3` tell neighbouring
    // parts of a section apart (135°, and both angles at a wider pitch).
    SheetSvg(double width, double height, const std::string &title);

    std::ostringstream &raw() { return m_out; }
    void open_group(const std::string &id, const std::string &cls = "");
    void close_group();

    void line(double x1, double y1, double x2, double y2, const char *cls);
    void rect(double x, double y, double w, double h, const char *cls);
    // Polylines as one path ("M ... L ..."); closed ones end with Z.
    void path(const std::vector<kernel::Polyline2> &lines, const char *cls, const std::string &extra = "",
              bool closed = false);
    // text-anchor start, middle or end.
    void text(double x, double y, double size, const std::string &content, const char *anchor = "start",
              const std::string &attributes = "");
    // A dimension between two points on the sheet, its line `offset` away (positive: to the left of the
    // direction from a to b), with arrows, extension lines and the value's text.
    void dimension(double ax, double ay, double bx, double by, double offset, const std::string &value);
    // Centre lines through a round hole of sheet radius r.
    void centre_mark(double x, double y, double r);
    // A leader from (x, y) on a part (a dot there) to a label at (tx, ty); `attributes` go on its line.
    void leader(double x, double y, double tx, double ty, const std::string &attributes = "");
    // An item number in a circle of radius r centred at (x, y); `attributes` go on its group.
    void balloon(double x, double y, double r, const std::string &number, const std::string &attributes = "");
    // The cutting plane of a section along y from x0 to x1, its ends marked by arrows pointing up the
    // sheet (the way the section is seen) and the section's letter.
    void cutting_plane(double x0, double x1, double y, const std::string &letter);
    // The first-angle symbol (ISO 5456-2) with its lower left corner at (x, y + h).
    void first_angle_symbol(double x, double y, double height);
    // A table with its top edge at y: column widths, header cells and rows; returns its height. Cells
    // may be left empty. `upward`: the header is the bottom row and the first row sits just above it
    // (a parts list above a title block).
    double table(double x, double y, const std::vector<double> &widths, const std::vector<std::string> &header,
                 const std::vector<std::vector<std::string>> &rows, double row_height, const std::string &id,
                 bool upward = false);
    // The title block in the bottom right corner inside the frame: rows of fields, two per row.
    // Returns its top edge.
    double title_block(const std::vector<TitleField> &fields, double width);

    double width() const { return m_width; }
    double height() const { return m_height; }
    static constexpr double kFrame = 10;

    std::string finish();

private:
    std::ostringstream m_out;
    double m_width, m_height;
};

// Today's date (UTC) as 2024-05-31, or that of SOURCE_DATE_EPOCH when set (reproducible outputs).
std::string drawing_date();

}  // namespace diekit::io
