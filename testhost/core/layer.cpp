#include "testhost/core/layer.h"

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>

namespace testhost {
namespace {

// A pattern that changes from byte to byte, so that a stray write of any
// constant value, or a shifted copy of the neighbouring bytes, is noticed.
std::uint8_t GuardByte(std::size_t offset) { return static_cast<std::uint8_t>((offset * 167u + 0x5Au) & 0xFFu); }

}  // namespace

std::size_t BytesPerPixel(PixelFormat format) {
    return static_cast<std::size_t>(zonara::TraitsOf(format).bytes_per_pixel());
}

std::size_t BytesPerChannel(PixelFormat format) {
    return static_cast<std::size_t>(zonara::TraitsOf(format).bytes_per_channel);
}

PrPixelFormat PremierePixelFormat(PixelFormat format) { return zonara::TraitsOf(format).premiere_code; }

Layer::Layer(PixelFormat format, int width, int height, LayerOptions options)
    : format_(format), width_(width), height_(height), options_(options) {
    if (width < 0 || height < 0) {
        throw std::invalid_argument("layer size must not be negative");
    }
    if (options.row_padding_bytes < 0 || options.row_padding_bytes % static_cast<int>(BytesPerChannel(format)) != 0) {
        throw std::invalid_argument("row padding must be a non-negative multiple of the channel size");
    }
    const std::size_t stride = RowStride();
    if (stride > static_cast<std::size_t>(std::numeric_limits<A_long>::max())) {
        throw std::invalid_argument("row too long for rowbytes");
    }
    const std::size_t block = stride * static_cast<std::size_t>(height);
    storage_bytes_ = LAYER_GUARD_BYTES + block + LAYER_GUARD_BYTES;
    storage_.reset(static_cast<std::uint8_t *>(std::calloc(storage_bytes_, 1)));
    if (!storage_) {
        throw std::bad_alloc();
    }
    // The pattern goes where no pixel lies: the guard zones and each row's
    // padding. The pixels stay calloc's zeros.
    auto guard = [this](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            storage_[i] = GuardByte(i);
        }
    };
    const std::size_t pixel_bytes = static_cast<std::size_t>(width) * BytesPerPixel(format);
    guard(0, LAYER_GUARD_BYTES);
    for (int row = 0; row < height; ++row) {
        const std::size_t row_start = LAYER_GUARD_BYTES + stride * static_cast<std::size_t>(row);
        guard(row_start + pixel_bytes, row_start + stride);
    }
    guard(LAYER_GUARD_BYTES + block, storage_bytes_);

    // Bottom-up: the row the effect sees first is stored last, and each
    // following row lies one stride lower in memory.
    pixels_offset_ = LAYER_GUARD_BYTES;
    if (options.bottom_up && height > 0) {
        pixels_offset_ += stride * static_cast<std::size_t>(height - 1);
    }
    def_.world_flags = PF_WorldFlag_WRITEABLE | (format == PixelFormat::ARGB16 ? PF_WorldFlag_DEEP : 0);
    def_.data = reinterpret_cast<PF_PixelPtr>(storage_.get() + pixels_offset_);
    def_.rowbytes = options.bottom_up ? -static_cast<A_long>(stride) : static_cast<A_long>(stride);
    def_.width = width;
    def_.height = height;
    def_.extent_hint = options.has_extent_hint ? options.extent_hint : PF_Rect{0, 0, width, height};
    def_.pix_aspect_ratio = options.pixel_aspect_ratio;
    def_.origin_x = 0;
    def_.origin_y = 0;
}

void Layer::SetOrigin(int left, int top) {
    def_.origin_x = left;
    def_.origin_y = top;
}

Layer::Layer(Layer &&) noexcept = default;
Layer &Layer::operator=(Layer &&) noexcept = default;
Layer::~Layer() = default;

std::size_t Layer::RowStride() const {
    return static_cast<std::size_t>(width_) * BytesPerPixel(format_) +
           static_cast<std::size_t>(options_.row_padding_bytes);
}

void *Layer::PixelAddress(int x, int y) {
    return reinterpret_cast<std::uint8_t *>(def_.data) + static_cast<std::ptrdiff_t>(y) * def_.rowbytes +
           static_cast<std::ptrdiff_t>(x) * static_cast<std::ptrdiff_t>(BytesPerPixel(format_));
}

const void *Layer::PixelAddress(int x, int y) const { return const_cast<Layer *>(this)->PixelAddress(x, y); }

bool Layer::GuardsIntact() const {
    const std::size_t stride = RowStride();
    const std::size_t pixel_bytes = static_cast<std::size_t>(width_) * BytesPerPixel(format_);
    const std::size_t block_end = LAYER_GUARD_BYTES + stride * static_cast<std::size_t>(height_);
    auto intact = [this](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            if (storage_[i] != GuardByte(i)) {
                return false;
            }
        }
        return true;
    };
    if (!intact(0, LAYER_GUARD_BYTES) || !intact(block_end, storage_bytes_)) {
        return false;
    }
    for (int row = 0; row < height_; ++row) {
        const std::size_t row_start = LAYER_GUARD_BYTES + stride * static_cast<std::size_t>(row);
        if (!intact(row_start + pixel_bytes, row_start + stride)) {
            return false;
        }
    }
    return true;
}

PixelValue Layer::GetPixel(int x, int y) const {
    switch (format_) {
    case PixelFormat::ARGB8: {
        const auto &p = At<PF_Pixel>(x, y);
        return {float(p.alpha), float(p.red), float(p.green), float(p.blue)};
    }
    case PixelFormat::ARGB16: {
        const auto &p = At<PF_Pixel16>(x, y);
        return {float(p.alpha), float(p.red), float(p.green), float(p.blue)};
    }
    case PixelFormat::BGRA8: {
        const auto &p = At<PF_PixelBGRA8>(x, y);
        return {float(p.alpha), float(p.red), float(p.green), float(p.blue)};
    }
    case PixelFormat::ARGB32F: {
        const auto &p = At<PF_PixelFloat>(x, y);
        return {p.alpha, p.red, p.green, p.blue};
    }
    case PixelFormat::BGRA32F:
        break;
    }
    const auto &p = At<PF_PixelBGRA32f>(x, y);
    return {p.alpha, p.red, p.green, p.blue};
}

void Layer::PutPixel(int x, int y, const PixelValue &v) {
    switch (format_) {
    case PixelFormat::ARGB8:
        At<PF_Pixel>(x, y) = {A_u_char(v.alpha), A_u_char(v.red), A_u_char(v.green), A_u_char(v.blue)};
        return;
    case PixelFormat::ARGB16:
        At<PF_Pixel16>(x, y) = {A_u_short(v.alpha), A_u_short(v.red), A_u_short(v.green), A_u_short(v.blue)};
        return;
    case PixelFormat::BGRA8:
        At<PF_PixelBGRA8>(x, y) = {A_u_char(v.blue), A_u_char(v.green), A_u_char(v.red), A_u_char(v.alpha)};
        return;
    case PixelFormat::BGRA32F:
        At<PF_PixelBGRA32f>(x, y) = {v.blue, v.green, v.red, v.alpha};
        return;
    case PixelFormat::ARGB32F:
        At<PF_PixelFloat>(x, y) = {v.alpha, v.red, v.green, v.blue};
        return;
    }
}

}  // namespace testhost
