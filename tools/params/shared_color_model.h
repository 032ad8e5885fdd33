// The colour model is one parameter for both sides of the window. A CDL file
// read for one side sets it to "CDL compliant", the file's formula; a look
// whose other side was made in the Legacy model then renders that side by
// the other formula (gain and offset before the gamma). The user is told.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/params/cdl_options.h"
#include "tools/params/param_values.h"

namespace zonara_tool {

// The warning for the side a CDL file changed without being given to it, or
// nothing. `before_files` are the values that apply before the CDL files
// (the preset), `all` every value in the order they apply.
std::optional<std::string> SharedModelWarning(const CdlOptions &cdl, const ParamCatalog &catalog,
                                              const std::vector<ParamValue> &before_files,
                                              const std::vector<ParamValue> &all);

}  // namespace zonara_tool
