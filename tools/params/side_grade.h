// One side's colour grade (inside or outside the window) and its ASC CDL
// form. Exporting folds the master controls into the per-channel values the
// way the render does; importing sets the per-channel values from the
// correction and the master controls to neutral, in the "CDL compliant"
// model, whose formula the CDL's is.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "params/grade_params.h"
#include "testhost/core/param_store.h"
#include "tools/params/cdl_correction.h"
#include "tools/params/param_values.h"

namespace zonara_tool {

// The effect's own side enum.
using GradeSide = zonara::GradeSide;

// "inside" or "outside".
std::string SideName(GradeSide side);
std::optional<GradeSide> ParseGradeSide(std::string_view text);

// The side's grade as the pixel stage applies it, in single precision.
struct FoldedGrade {
    std::array<float, CDL_CHANNELS> offset;
    std::array<float, CDL_CHANNELS> inv_gamma;
    std::array<float, CDL_CHANNELS> gain;
    float saturation;
};
FoldedGrade FoldSideGrade(const testhost::ParamStore &params, GradeSide side);

// The side's grade as a correction (slope = gain, offset, power = the
// reciprocal gamma). Throws ToolError (usage) for a grade the CDL cannot
// express: the "Legacy" model with a gamma other than 1. `warnings`
// receives what the user should know (a saturation other than 1).
CdlCorrection CorrectionFromGrade(const testhost::ParamStore &params, GradeSide side,
                                  std::vector<std::string> &warnings);

// Holds an exported correction to what reading it back takes: throws
// ToolError (usage) naming the side's controls whose folding gives a slope,
// offset or power the import refuses, and adds to `warnings` each power that
// no single gamma reaches (a master and a channel gamma together), which
// reads back one rounding away.
void CheckReadsBack(const CdlCorrection &correction, GradeSide side, const ParamCatalog &catalog,
                    std::vector<std::string> &warnings);

// The parameter values that give the side this correction. Throws ToolError
// (usage) naming `origin`, the element, the channel and the valid range for
// a value the effect does not take.
std::vector<ParamValue> GradeFromCorrection(const CdlCorrection &correction, GradeSide side,
                                            const ParamCatalog &catalog, const std::string &origin,
                                            std::vector<std::string> &warnings);

// The gamma slider value whose reciprocal, as the render takes it, is
// nearest the power (exactly it whenever a single-precision gamma reaches
// it). Zero when the power is too large for any gamma.
double GammaForPower(double power);

}  // namespace zonara_tool
