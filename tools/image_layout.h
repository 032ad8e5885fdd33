// The size, channels and sample type of an image buffer or of an opened file,
// read through one function so that the tool's code never names the
// library's accessor for them. The tool built without OpenImageIO holds
// pixels in the small stand-ins of tools/oiio_subset, whose accessor is
// layout(); LayoutOf reads either.
#pragma once

#include <OpenImageIO/imagebuf.h>

namespace zonara_tool {

// `source` is an OIIO::ImageBuf, or an OIIO::ImageInput opened on a file.
template <class Source>
const OIIO::ImageSpec &LayoutOf(const Source &source) {
#if ZONARA_HAVE_OIIO
    return source.spec();
#else
    return source.layout();
#endif
}

}  // namespace zonara_tool
