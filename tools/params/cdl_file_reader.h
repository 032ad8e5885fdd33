// Reading ASC CDL files: a single correction (.cc), a collection (.ccc) or a
// decision list (.cdl), told apart by their root element rather than their
// name. Anything damaged or hostile is refused with a message naming the
// file and the element; nothing is guessed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tools/params/cdl_correction.h"

namespace zonara_tool {

// Far above any real decision list, far below what would hurt to read.
constexpr std::size_t MAX_CDL_FILE_BYTES = std::size_t{16} << 20;

// "FILE#ID" split into the file and the correction's id. A name that exists
// as a file as it stands is taken whole, so a '#' inside a file name works;
// otherwise the split is at the first '#' that leaves an existing file
// before it, so an id may hold '#' too (show.ccc#sh010#2). Where no such
// file exists, at the first '#' after a CDL file name (.cc, .ccc, .cdl).
struct CdlReference {
    std::string path;
    std::string id;  // empty: the file's only correction
};
CdlReference ParseCdlReference(const std::string &text);

// Every correction of the document, in file order. `origin` names the file
// in messages. Throws ToolError (usage), also for two corrections with one
// id, which no reference could tell apart.
std::vector<CdlCorrection> ParseCdlDocument(std::string_view text, const std::string &origin);

// The correction with this id, or the only one when `id` is empty. Throws
// ToolError (usage) listing the ids the file does hold.
CdlCorrection SelectCdlCorrection(const std::vector<CdlCorrection> &corrections, const std::string &id,
                                  const std::string &origin);

// Reads "FILE[#ID]": the file (at most MAX_CDL_FILE_BYTES), parsed and the
// correction selected. Throws ToolError (usage).
CdlCorrection ReadCdlCorrection(const std::string &reference);

}  // namespace zonara_tool
