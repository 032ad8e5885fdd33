// The host's six drawing suites, as C function tables: "PF Effect Custom UI
// Suite", "PF Effect Custom UI Overlay Theme Suite" and the four DRAWBOT
// suites. Each function finds the drawing session of the draw event from the
// reference it is given (the context, the drawing reference, the supplier,
// surface, pen or path), so the tables themselves hold no state and can be
// shared by every host.
#pragma once

#include "testhost/core/suite_registry.h"

namespace testhost {

// Adds the six suites, at version 1, to a host's registry.
void RegisterDrawingSuites(SuiteRegistry &registry);

}  // namespace testhost
