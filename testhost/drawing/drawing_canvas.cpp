// The only file that talks to the rasteriser (cairo).
#include "testhost/drawing/drawing_canvas.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#if __has_include(<cairo.h>)
#include <cairo.h>
#define ZONARA_HAVE_CAIRO 1
#else
#define ZONARA_HAVE_CAIRO 0
#endif

namespace testhost {
namespace {

constexpr double DEGREES_TO_RADIANS = 3.14159265358979323846 / 180.0;

void CheckSize(int width, int height) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width <= 0 || height <= 0 || width > MAX_CANVAS_SIDE || height > MAX_CANVAS_SIDE) {
        throw std::invalid_argument("picture size " + size + " is outside 1.." + std::to_string(MAX_CANVAS_SIDE) +
                                    " per side");
    }
    if (static_cast<long long>(width) * height > MAX_CANVAS_PIXELS) {
        throw std::invalid_argument("picture size " + size + " is more than " + std::to_string(MAX_CANVAS_PIXELS) +
                                    " pixels in all");
    }
}

}  // namespace

#if ZONARA_HAVE_CAIRO

struct Canvas::Impl {
    cairo_surface_t *surface = nullptr;
    cairo_t *cr = nullptr;
    int width = 0;
    int height = 0;

    Impl(int w, int h) : width(w), height(h) {
        surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(surface);
            throw std::runtime_error("cannot allocate the picture");
        }
        cr = cairo_create(surface);
        if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
            cairo_destroy(cr);
            cairo_surface_destroy(surface);
            throw std::runtime_error("cannot draw into the picture");
        }
    }
    ~Impl() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    Impl(const Impl &) = delete;
    Impl &operator=(const Impl &) = delete;
};

Canvas::Canvas(int width, int height, Rgba background) {
    CheckSize(width, height);
    impl_ = std::make_unique<Impl>(width, height);
    cairo_set_source_rgba(impl_->cr, background.red, background.green, background.blue, background.alpha);
    cairo_set_operator(impl_->cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(impl_->cr);
    cairo_set_operator(impl_->cr, CAIRO_OPERATOR_OVER);
}

void Canvas::PaintLayer(const RgbaImage &layer, const LayerToFrameMap &map) {
    if (layer.width <= 0 || layer.height <= 0 ||
        layer.pixels.size() != static_cast<std::size_t>(layer.width) * layer.height * 4) {
        throw std::invalid_argument("layer picture has no pixels or the wrong size");
    }
    cairo_surface_t *source = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, layer.width, layer.height);
    if (cairo_surface_status(source) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(source);
        throw std::runtime_error("cannot allocate the layer picture");
    }
    cairo_surface_flush(source);
    unsigned char *data = cairo_image_surface_get_data(source);
    const int stride = cairo_image_surface_get_stride(source);
    for (int y = 0; y < layer.height; ++y) {
        auto *row = reinterpret_cast<std::uint32_t *>(data + static_cast<std::ptrdiff_t>(y) * stride);
        const std::uint8_t *in = &layer.pixels[static_cast<std::size_t>(y) * layer.width * 4];
        for (int x = 0; x < layer.width; ++x, in += 4) {
            // cairo keeps premultiplied ARGB in native-endian 32-bit words.
            const std::uint32_t a = in[3];
            const auto pre = [a](std::uint32_t c) { return (c * a + 127) / 255; };
            row[x] = (a << 24) | (pre(in[0]) << 16) | (pre(in[1]) << 8) | pre(in[2]);
        }
    }
    cairo_surface_mark_dirty(source);

    // Layer coordinates name pixel centres, as frame coordinates do; cairo's
    // name pixel corners. Layer pixel i (cairo i + 0.5) must land on frame
    // pixel i x scale + offset (cairo that + 0.5).
    cairo_t *cr = impl_->cr;
    cairo_save(cr);
    cairo_translate(cr, map.offset_x + 0.5 - 0.5 * map.scale, map.offset_y + 0.5 - 0.5 * map.scale);
    cairo_scale(cr, map.scale, map.scale);
    cairo_set_source_surface(cr, source, 0.0, 0.0);
    // Whole pixels when enlarging (as a host's zoomed view shows them),
    // smoothing when reducing.
    cairo_pattern_set_filter(cairo_get_source(cr), map.scale >= 1.0 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    cairo_rectangle(cr, 0.0, 0.0, layer.width, layer.height);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_surface_destroy(source);
}

namespace {

void AddPath(cairo_t *cr, const PathGeometry &path) {
    cairo_new_path(cr);
    for (const PathSegment &s : path) {
        switch (s.kind) {
        case PathSegment::Kind::kMoveTo:
            cairo_move_to(cr, s.x, s.y);
            break;
        case PathSegment::Kind::kLineTo:
            cairo_line_to(cr, s.x, s.y);
            break;
        case PathSegment::Kind::kArc: {
            // An arc is a figure of its own: no line joins it to what the
            // path held before.
            cairo_new_sub_path(cr);
            const double start = s.start_degrees * DEGREES_TO_RADIANS;
            const double end = (static_cast<double>(s.start_degrees) + s.sweep_degrees) * DEGREES_TO_RADIANS;
            if (s.sweep_degrees >= 0.0f) {
                cairo_arc(cr, s.x, s.y, std::fabs(s.radius), start, end);
            } else {
                cairo_arc_negative(cr, s.x, s.y, std::fabs(s.radius), start, end);
            }
            break;
        }
        case PathSegment::Kind::kClose:
            cairo_close_path(cr);
            break;
        }
    }
}

bool IsFinite(const PathSegment &s) {
    return std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.radius) && std::isfinite(s.start_degrees) &&
           std::isfinite(s.sweep_degrees);
}

}  // namespace

void Canvas::Stroke(const PathGeometry &path, const StrokeStyle &style) {
    // A point the rasteriser cannot place would put cairo in an error state
    // for good; such a path is not drawn.
    if (!std::all_of(path.begin(), path.end(), IsFinite) || !std::isfinite(style.width)) {
        return;
    }
    cairo_t *cr = impl_->cr;
    cairo_save(cr);
    // Frame coordinates name pixel centres.
    cairo_translate(cr, 0.5, 0.5);
    cairo_set_line_width(cr, std::max(style.width, 0.0f));
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
    if (style.shadow) {
        cairo_save(cr);
        cairo_translate(cr, style.shadow_dx, style.shadow_dy);
        AddPath(cr, path);
        const Rgba &c = style.shadow_color;
        cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha);
        cairo_stroke(cr);
        cairo_restore(cr);
    }
    AddPath(cr, path);
    const Rgba &c = style.color;
    cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha);
    cairo_stroke(cr);
    cairo_restore(cr);
}

RgbaImage Canvas::Snapshot() const {
    cairo_surface_flush(impl_->surface);
    const unsigned char *data = cairo_image_surface_get_data(impl_->surface);
    const int stride = cairo_image_surface_get_stride(impl_->surface);
    RgbaImage image;
    image.width = impl_->width;
    image.height = impl_->height;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height * 4);
    std::uint8_t *out = image.pixels.data();
    for (int y = 0; y < image.height; ++y) {
        const auto *row = reinterpret_cast<const std::uint32_t *>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < image.width; ++x, out += 4) {
            const std::uint32_t p = row[x];
            const std::uint32_t a = p >> 24;
            const auto straight = [a](std::uint32_t c) { return a == 0 ? 0u : std::min(255u, (c * 255 + a / 2) / a); };
            out[0] = static_cast<std::uint8_t>(straight((p >> 16) & 0xFF));
            out[1] = static_cast<std::uint8_t>(straight((p >> 8) & 0xFF));
            out[2] = static_cast<std::uint8_t>(straight(p & 0xFF));
            out[3] = static_cast<std::uint8_t>(a);
        }
    }
    return image;
}

bool Canvas::CanRasterise() { return true; }

#else  // no rasteriser: the picture is the background, strokes are ignored

namespace {
std::uint8_t ToByte(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v * 255.0), 0L, 255L)); }
}  // namespace

struct Canvas::Impl {
    int width = 0;
    int height = 0;
    RgbaImage image;
};

Canvas::Canvas(int width, int height, Rgba background) {
    CheckSize(width, height);
    impl_ = std::make_unique<Impl>();
    impl_->width = width;
    impl_->height = height;
    impl_->image.width = width;
    impl_->image.height = height;
    impl_->image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < impl_->image.pixels.size(); i += 4) {
        impl_->image.pixels[i] = ToByte(background.red);
        impl_->image.pixels[i + 1] = ToByte(background.green);
        impl_->image.pixels[i + 2] = ToByte(background.blue);
        impl_->image.pixels[i + 3] = ToByte(background.alpha);
    }
}

void Canvas::PaintLayer(const RgbaImage &, const LayerToFrameMap &) {}
void Canvas::Stroke(const PathGeometry &, const StrokeStyle &) {}
RgbaImage Canvas::Snapshot() const { return impl_->image; }
bool Canvas::CanRasterise() { return false; }

#endif

Canvas::~Canvas() = default;
Canvas::Canvas(Canvas &&) noexcept = default;
Canvas &Canvas::operator=(Canvas &&) noexcept = default;

int Canvas::width() const { return impl_->width; }
int Canvas::height() const { return impl_->height; }

}  // namespace testhost
