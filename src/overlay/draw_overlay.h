// Painting the window's controls over the composition or layer view.
#pragma once

#include "pf_sdk.h"

namespace zonara {

// Draws, in this order: the ellipse outline (elliptical window only), the
// window outline, the four corner squares, the four feather circles, the
// angle line and its circle, the mix slider and its marker. The first
// drawing call that fails ends the drawing; that is not reported to the host.
// Every pen, path and suite taken is given back on every way out.
void DrawOverlay(PF_InData *in_data, PF_OutData *out_data, PF_ParamDef *params[], PF_EventExtra *extra);

}  // namespace zonara
