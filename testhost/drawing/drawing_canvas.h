// The picture of a view: the rendered layer placed through the view's
// transform, with every stroke an overlay makes painted over it. Coordinates
// are frame pixels, integer values at pixel centres, so a one-pixel line at a
// whole coordinate covers exactly one row or column.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "testhost/drawing/views.h"

namespace testhost {

struct PathSegment {
    enum class Kind { kMoveTo, kLineTo, kArc, kClose };
    Kind kind = Kind::kMoveTo;
    float x = 0.0f;  // point, or the arc's centre
    float y = 0.0f;
    float radius = 0.0f;
    float start_degrees = 0.0f;
    float sweep_degrees = 0.0f;
};
using PathGeometry = std::vector<PathSegment>;

struct Rgba {
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    float alpha = 1.0f;
};

struct StrokeStyle {
    Rgba color;
    float width = 1.0f;
    bool shadow = false;
    Rgba shadow_color;
    float shadow_dx = 0.0f;
    float shadow_dy = 0.0f;
};

// Straight (not premultiplied) 8-bit RGBA, rows top to bottom, no padding.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// Largest picture the host will allocate, per side and in total.
constexpr int MAX_CANVAS_SIDE = 16384;
constexpr long long MAX_CANVAS_PIXELS = 64LL * 1024 * 1024;

class Canvas {
public:
    // Throws std::invalid_argument for a size that is not positive or beyond
    // the limits above, std::runtime_error when the rasteriser fails.
    Canvas(int width, int height, Rgba background);
    ~Canvas();
    Canvas(Canvas &&) noexcept;
    Canvas &operator=(Canvas &&) noexcept;
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    int width() const;
    int height() const;

    // Paints the layer's pixels where the view shows them: layer pixel (i, j)
    // at frame (i, j) x map.scale + map.offset.
    void PaintLayer(const RgbaImage &layer, const LayerToFrameMap &map);
    void Stroke(const PathGeometry &path, const StrokeStyle &style);

    RgbaImage Snapshot() const;

    // False when this build has no rasteriser: strokes are then only counted.
    static bool CanRasterise();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace testhost
