// One ASC colour decision as the interchange files (.cc, .cdl, .ccc) hold
// it: slope, offset and power for red, green and blue, and one saturation.
// The formula it stands for is out = (in x slope + offset) ^ power.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace zonara_tool {

constexpr int CDL_CHANNELS = 3;  // red, green, blue

struct CdlCorrection {
    std::string id;  // empty when the file gave none
    std::string description;
    std::array<double, CDL_CHANNELS> slope{1.0, 1.0, 1.0};
    std::array<double, CDL_CHANNELS> offset{0.0, 0.0, 0.0};
    std::array<double, CDL_CHANNELS> power{1.0, 1.0, 1.0};
    double saturation = 1.0;
};

// The three shapes of file: one correction (.cc), a collection of them
// (.ccc) and a decision list (.cdl).
enum class CdlFileKind { kCorrection, kCollection, kDecisionList };

// By the file name's extension, in any letter case; nullopt for any other.
std::optional<CdlFileKind> CdlFileKindFor(const std::string &path);

// Whether this build reads and writes CDL files at all; the Windows tool is
// built without an XML library.
bool CdlFilesAvailable();

// Throws ToolError (usage) saying CDL files are not available in this build,
// when they are not.
void RequireCdlFiles();

}  // namespace zonara_tool
