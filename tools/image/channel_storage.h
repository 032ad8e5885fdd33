// Channels held verbatim (ChannelStorage in image.h) where the bits cannot
// go on as they are: to an output whose format stores every channel in one
// type, and through a resampling, which would filter the bits as floats.
#pragma once

#include <algorithm>

#include "tools/image/image.h"

namespace zonara_tool {

inline bool HasVerbatimChannels(const Image &image) {
    return std::any_of(image.channel_storage.begin(), image.channel_storage.end(),
                       [](const ChannelStorage &channel) { return channel.verbatim; });
}

// Each verbatim channel as the float value of its stored number, unscaled
// (an id 17268480 stays 17268480): a format of one type for all channels
// then stores it as a number, as the file meant it.
void HoldVerbatimChannelsAsValues(Image &image);

// Gives each verbatim channel of `resized` (resampled from `source`) the
// bits of the nearest source pixel: an id or a code averaged with its
// neighbours would name nothing.
void TakeNearestVerbatimSamples(const Image &source, Image &resized);

}  // namespace zonara_tool
