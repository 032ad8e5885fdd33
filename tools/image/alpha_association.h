// Moving an image between straight and premultiplied alpha, for writing it
// to a format that holds only the other one.
#pragma once

#include "tools/image/image.h"

namespace zonara_tool {

// Converts the image's colour samples to `to` and records it. Straight from
// premultiplied divides by alpha (colour where alpha is 0 stays as it is:
// nothing can be recovered there); premultiplied from straight multiplies.
// Integer samples round to nearest and stay within full scale. Channels
// after the alpha, and images without alpha, are left as they are.
void ConvertAlphaAssociation(Image &image, AlphaAssociation to);

// Straight colour made ready for a writer that takes every image as
// premultiplied in gamma-encoded light and undoes it (colour raised to
// `gamma`, divided by alpha, raised back): each colour sample multiplied by
// alpha^(1/gamma), which that writer turns back into the straight colour.
// The image's association is left marked straight, as the file holds it.
void PremultiplyForGammaWriter(Image &image, double gamma);

}  // namespace zonara_tool
