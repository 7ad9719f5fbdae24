#include "io/pdf.hpp"

#include "model/errors.hpp"

#include <cairo-pdf.h>
#include <cairo.h>
#include <librsvg/rsvg.h>

#include <memory>

namespace diekit::io {

namespace {

struct Handle {
    RsvgHandle *handle = nullptr;
    ~Handle() {
        if (handle) g_object_unref(handle);
    }
};

// The sheet read by librsvg, with its size in millimetres (its width and height attributes).
void load(const std::string &sheet, Handle &h, double &width_mm, double &height_mm, const std::string &what) {
    GError *error = nullptr;
    h.handle = rsvg_handle_new_from_data(reinterpret_cast<const guint8 *>(sheet.data()), sheet.size(), &error);
    if (!h.handle) {
        const std::string why = error ? error->message : "unknown error";
        if (error) g_error_free(error);
        throw SessionError("cannot read " + what + ": " + why);
    }
    gdouble w = 0, h_px = 0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(h.handle, &w, &h_px)) throw SessionError(what + " has no size");
    // librsvg gives pixels at 96 per inch.
    width_mm = w * 25.4 / 96, height_mm = h_px * 25.4 / 96;
}

void render(RsvgHandle *handle, cairo_t *cr, double width, double height, const std::string &what) {
    RsvgRectangle viewport{0, 0, width, height};
    GError *error = nullptr;
    if (!rsvg_handle_render_document(handle, cr, &viewport, &error)) {
        const std::string why = error ? error->message : "unknown error";
        if (error) g_error_free(error);
        throw SessionError("cannot render " + what + ": " + why);
    }
}

}  // namespace

void write_pdf(const std::vector<std::string> &sheets, const std::string &path) {
    constexpr double kPoints = 72 / 25.4;
    cairo_surface_t *surface = cairo_pdf_surface_create(path.c_str(), 595, 842);
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t *)> owned(surface, cairo_surface_destroy);
    cairo_t *cr = cairo_create(surface);
    std::unique_ptr<cairo_t, void (*)(cairo_t *)> owned_cr(cr, cairo_destroy);
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const std::string what = "sheet " + std::to_string(i + 1) + " for '" + path + "'";
        Handle h;
        double w = 0, hh = 0;
        load(sheets[i], h, w, hh, what);
        cairo_pdf_surface_set_size(surface, w * kPoints, hh * kPoints);
        render(h.handle, cr, w * kPoints, hh * kPoints, what);
        cairo_show_page(cr);
    }
    owned_cr.reset();
    cairo_surface_finish(surface);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS)
        throw SessionError("cannot write '" + path + "': " + cairo_status_to_string(cairo_surface_status(surface)));
}

void write_png(const std::string &sheet, const std::string &path, int width_px) {
    Handle h;
    double w = 0, hh = 0;
    load(sheet, h, w, hh, "the sheet for '" + path + "'");
    const int height_px = static_cast<int>(width_px * hh / w + 0.5);
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_px, height_px);
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t *)> owned(surface, cairo_surface_destroy);
    cairo_t *cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    render(h.handle, cr, width_px, height_px, "the sheet for '" + path + "'");
    cairo_destroy(cr);
    if (cairo_surface_write_to_png(surface, path.c_str()) != CAIRO_STATUS_SUCCESS)
        throw SessionError("cannot write '" + path + "'");
}

}  // namespace diekit::io
