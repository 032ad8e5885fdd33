// Writing one correction as an ASC CDL file: a .cc holds it alone, a .ccc
// holds it in a collection, a .cdl in a decision list. Numbers are written
// so that they read back as exactly the single-precision values the effect
// renders with.
#pragma once

#include <string>

#include "tools/params/cdl_correction.h"

namespace zonara_tool {

// The document's text, UTF-8 with an XML declaration.
std::string FormatCdlDocument(const CdlCorrection &correction, CdlFileKind kind);

// The shortest text that reads back as the same single-precision value (as
// a double it may differ in the digits beyond). A value that is not a single
// is written with every digit of its double.
std::string FormatCdlNumber(double value);

// Writes the file whose extension picks the kind; it appears complete or
// not at all. Throws ToolError (usage) for another extension or a file that
// cannot be written.
void WriteCdlFile(const std::string &path, const CdlCorrection &correction);

}  // namespace zonara_tool
