#include "tools/image/channel_storage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace zonara_tool {
namespace {

// The number whose stored bits lie in the slot's low bytes.
template <class Stored>
float ValueOfBits(const unsigned char *slot) {
    Stored stored;
    std::memcpy(&stored, slot, sizeof stored);
    return static_cast<float>(stored);
}

float ValueOfSlot(StoredFormat stored, const unsigned char *slot) {
    switch (stored) {
    case StoredFormat::kUint8:
        return ValueOfBits<std::uint8_t>(slot);
    case StoredFormat::kInt8:
        return ValueOfBits<std::int8_t>(slot);
    case StoredFormat::kUint16:
        return ValueOfBits<std::uint16_t>(slot);
    case StoredFormat::kInt16:
        return ValueOfBits<std::int16_t>(slot);
    case StoredFormat::kUint32:
        return ValueOfBits<std::uint32_t>(slot);
    case StoredFormat::kInt32:
        return ValueOfBits<std::int32_t>(slot);
    default:
        return ValueOfBits<float>(slot);
    }
}

}  // namespace

void HoldVerbatimChannelsAsValues(Image &image) {
    const std::size_t pixels = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    for (std::size_t c = 0; c < image.channel_storage.size(); ++c) {
        ChannelStorage &channel = image.channel_storage[c];
        if (!channel.verbatim) {
            continue;
        }
        unsigned char *slot = image.bytes.data() + c * sizeof(float);
        for (std::size_t p = 0; p < pixels; ++p, slot += image.channels * sizeof(float)) {
            const float value = ValueOfSlot(channel.stored, slot);
            std::memcpy(slot, &value, sizeof value);
        }
        channel = ChannelStorage{StoredFormat::kFloat, false};
    }
}

void TakeNearestVerbatimSamples(const Image &source, Image &resized) {
    if (!HasVerbatimChannels(resized)) {
        return;
    }
    const std::size_t sample_bytes = BytesPerSample(resized.kind);
    const std::size_t channels = static_cast<std::size_t>(resized.channels);
    for (int y = 0; y < resized.height; ++y) {
        // The source pixel whose area holds the resized pixel's centre.
        const int from_y = std::min(source.height - 1, static_cast<int>((y + 0.5) * source.height / resized.height));
        for (int x = 0; x < resized.width; ++x) {
            const int from_x = std::min(source.width - 1, static_cast<int>((x + 0.5) * source.width / resized.width));
            const unsigned char *from = source.bytes.data() + (static_cast<std::size_t>(from_y) * source.width +
                                                               static_cast<std::size_t>(from_x)) *
                                                                  channels * sample_bytes;
            unsigned char *to =
                resized.bytes.data() + (static_cast<std::size_t>(y) * resized.width + x) * channels * sample_bytes;
            for (std::size_t c = 0; c < resized.channel_storage.size(); ++c) {
                if (resized.channel_storage[c].verbatim) {
                    std::memcpy(to + c * sample_bytes, from + c * sample_bytes, sample_bytes);
                }
            }
        }
    }
}

}  // namespace zonara_tool
