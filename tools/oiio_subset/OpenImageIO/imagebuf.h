// A buffer of local pixels with OpenImageIO's ImageSpec and ImageBuf
// interface, for the tool built without that library (see typedesc.h).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "OpenImageIO/typedesc.h"

namespace OIIO {

// Pixels [xbegin, xend) x [ybegin, yend), channels [chbegin, chend).
struct ROI {
    int xbegin = 0, xend = 0, ybegin = 0, yend = 0, zbegin = 0, zend = 1, chbegin = 0, chend = 0;
    ROI() = default;
    ROI(int xb, int xe, int yb, int ye, int zb, int ze, int cb, int ce)
        : xbegin(xb), xend(xe), ybegin(yb), yend(ye), zbegin(zb), zend(ze), chbegin(cb), chend(ce) {}
};

struct ImageSpec {
    int width = 0;
    int height = 0;
    int depth = 1;
    int nchannels = 0;
    TypeDesc format = TypeDesc::UINT8;
    std::vector<std::string> channelnames;
    int alpha_channel = -1;

    ImageSpec() = default;
    ImageSpec(int w, int h, int channels, TypeDesc type) : width(w), height(h), nchannels(channels), format(type) {
        static const char *const NAMES[] = {"R", "G", "B", "A"};
        for (int c = 0; c < channels; ++c) {
            channelnames.push_back(c < 4 ? NAMES[c] : "channel" + std::to_string(c));
        }
        alpha_channel = channels == 4 ? 3 : -1;
    }
    std::size_t pixel_bytes() const { return static_cast<std::size_t>(nchannels) * format.size(); }
    std::size_t image_bytes() const {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * pixel_bytes();
    }
};

enum class InitializePixels { No, Yes };

class ImageBuf {
public:
    void reset(const ImageSpec &layout, InitializePixels = InitializePixels::Yes) {
        spec_ = layout;
        pixels_.assign(layout.image_bytes(), 0);
    }
    // OpenImageIO names this accessor differently; tools/image_layout.h
    // reads either through LayoutOf.
    const ImageSpec &layout() const { return spec_; }
    // Changes to the layout's names and alpha only; the size stays.
    ImageSpec &specmod() { return spec_; }
    void *localpixels() { return pixels_.data(); }
    const void *localpixels() const { return pixels_.data(); }
    std::string geterror() const { return error_; }
    void error(const std::string &message) const { error_ = message; }

    // Samples of `roi` converted to `type` as OpenImageIO converts them:
    // integers scaled to 0..1 and back, rounded to nearest and clamped.
    bool get_pixels(const ROI &roi, TypeDesc type, void *out) const {
        if (!Inside(roi)) {
            error_ = "get_pixels: region outside the image";
            return false;
        }
        std::size_t index = 0;
        ForEach(roi, [&](std::size_t offset) { Store(type, out, index++, Load(spec_.format, pixels_.data(), offset)); });
        return true;
    }
    bool set_pixels(const ROI &roi, TypeDesc type, const void *in) {
        if (!Inside(roi)) {
            error_ = "set_pixels: region outside the image";
            return false;
        }
        std::size_t index = 0;
        ForEach(roi, [&](std::size_t offset) { Store(spec_.format, pixels_.data(), offset, Load(type, in, index++)); });
        return true;
    }

private:
    bool Inside(const ROI &roi) const {
        return roi.xbegin >= 0 && roi.xbegin <= roi.xend && roi.xend <= spec_.width && roi.ybegin >= 0 &&
               roi.ybegin <= roi.yend && roi.yend <= spec_.height && roi.chbegin >= 0 && roi.chbegin <= roi.chend &&
               roi.chend <= spec_.nchannels;
    }
    template <class Visit>
    void ForEach(const ROI &roi, Visit visit) const {
        for (int y = roi.ybegin; y < roi.yend; ++y) {
            for (int x = roi.xbegin; x < roi.xend; ++x) {
                const std::size_t pixel = (static_cast<std::size_t>(y) * spec_.width + x) * spec_.nchannels;
                for (int c = roi.chbegin; c < roi.chend; ++c) {
                    visit(pixel + c);
                }
            }
        }
    }
    // Sample `index` of a buffer of `type`, as 0..1 for integer types.
    static float Load(TypeDesc type, const void *data, std::size_t index) {
        switch (type.basetype) {
        case TypeDesc::UINT8:
            return static_cast<const unsigned char *>(data)[index] / 255.0f;
        case TypeDesc::UINT16: {
            std::uint16_t v;
            std::memcpy(&v, static_cast<const unsigned char *>(data) + index * 2, 2);
            return v / 65535.0f;
        }
        case TypeDesc::FLOAT: {
            float v;
            std::memcpy(&v, static_cast<const unsigned char *>(data) + index * 4, 4);
            return v;
        }
        case TypeDesc::UNKNOWN:
            break;
        }
        return 0.0f;
    }
    static void Store(TypeDesc type, void *data, std::size_t index, float value) {
        auto quantise = [value](float scale) {
            const float v = std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
            return std::floor(v * scale + 0.5f);
        };
        switch (type.basetype) {
        case TypeDesc::UINT8:
            static_cast<unsigned char *>(data)[index] = static_cast<unsigned char>(quantise(255.0f));
            return;
        case TypeDesc::UINT16: {
            const std::uint16_t v = static_cast<std::uint16_t>(quantise(65535.0f));
            std::memcpy(static_cast<unsigned char *>(data) + index * 2, &v, 2);
            return;
        }
        case TypeDesc::FLOAT:
            std::memcpy(static_cast<unsigned char *>(data) + index * 4, &value, 4);
            return;
        case TypeDesc::UNKNOWN:
            break;
        }
    }

    ImageSpec spec_;
    std::vector<unsigned char> pixels_;
    mutable std::string error_;
};

}  // namespace OIIO
