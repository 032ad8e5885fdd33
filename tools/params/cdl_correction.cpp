#include "tools/params/cdl_correction.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "tools/base/tool_error.h"

namespace zonara_tool {

std::optional<CdlFileKind> CdlFileKindFor(const std::string &path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".cc") {
        return CdlFileKind::kCorrection;
    }
    if (extension == ".ccc") {
        return CdlFileKind::kCollection;
    }
    if (extension == ".cdl") {
        return CdlFileKind::kDecisionList;
    }
    return std::nullopt;
}

bool CdlFilesAvailable() { return ZONARA_HAVE_CDL != 0; }

void RequireCdlFiles() {
    if (!CdlFilesAvailable()) {
        throw UsageError("ASC CDL files (.cc, .cdl, .ccc) are not available in this build");
    }
}

}  // namespace zonara_tool
