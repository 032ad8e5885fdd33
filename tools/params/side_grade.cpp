#include "tools/params/side_grade.h"

#include <array>
#include <cmath>

#include "params/grade_params.h"
#include "params/param_index.h"
#include "render/frame/window_render_params.h"
#include "tools/base/message_text.h"
#include "tools/base/tool_error.h"
#include "tools/params/cdl_file_writer.h"

namespace zonara_tool {
namespace {

using namespace zonara;

constexpr const char *CHANNEL_NAMES[CDL_CHANNELS] = {"red", "green", "blue"};
const ParamCatalog::Entry &EntryFor(const ParamCatalog &catalog, int index) {
    for (const ParamCatalog::Entry &entry : catalog.entries()) {
        if (entry.index == index) {
            return entry;
        }
    }
    throw ToolError(EXIT_EFFECT_FAILED, "the effect declared no parameter at position " + std::to_string(index));
}

bool InRange(const ParamCatalog::Entry &entry, double value) {
    return value >= entry.def.u.fs_d.valid_min && value <= entry.def.u.fs_d.valid_max;
}

std::string SaturationWarning(double saturation) {
    return "saturation " + FormatCdlNumber(saturation) +
           ": CDL saturation keeps each colour's luma, this effect's scales saturation in HSV (keeping the "
           "largest channel), so the two agree only at 1";
}

}  // namespace

std::string SideName(GradeSide side) { return side == SIDE_INSIDE ? "inside" : "outside"; }

std::optional<GradeSide> ParseGradeSide(std::string_view text) {
    if (text == "inside") {
        return SIDE_INSIDE;
    }
    if (text == "outside") {
        return SIDE_OUTSIDE;
    }
    return std::nullopt;
}

FoldedGrade FoldSideGrade(const testhost::ParamStore &params, GradeSide side) {
    // The effect's own fold, over the store's values.
    std::array<const PF_ParamDef *, PARAM_COUNT> defs{};
    for (int i = 0; i < PARAM_COUNT; ++i) defs[static_cast<std::size_t>(i)] = &params.at(i);
    const EffectiveGrade folded = zonara::FoldSideGrade(defs.data(), side);
    FoldedGrade grade{};
    for (int k = 0; k < CDL_CHANNELS; ++k) {
        grade.offset[k] = folded.channel[k].offset;
        grade.inv_gamma[k] = folded.channel[k].inv_gamma;
        grade.gain[k] = folded.channel[k].gain;
    }
    grade.saturation = folded.saturation;
    return grade;
}

CdlCorrection CorrectionFromGrade(const testhost::ParamStore &params, GradeSide side,
                                  std::vector<std::string> &warnings) {
    const FoldedGrade grade = FoldSideGrade(params, side);
    const bool legacy = params.at(PARAM_COLOR_MODEL).u.pd.value == COLOR_MODEL_LEGACY;
    for (int k = 0; k < CDL_CHANNELS; ++k) {
        if (legacy && grade.inv_gamma[k] != 1.0f) {
            throw UsageError("the " + SideName(side) +
                             " grade cannot be written as a CDL: in the Legacy colour "
                             "model gamma comes before gain and offset, where a CDL applies power last (" +
                             std::string(CHANNEL_NAMES[k]) + " gamma is " +
                             FormatCdlNumber(static_cast<float>(1.0 / static_cast<double>(grade.inv_gamma[k]))) +
                             "); use color_model=\"CDL compliant\" or set the side's gammas to 1");
        }
        if (!std::isfinite(grade.inv_gamma[k])) {
            throw UsageError("the " + SideName(side) + " grade cannot be written as a CDL: the " +
                             std::string(CHANNEL_NAMES[k]) + " gamma of 0 is an infinite power");
        }
    }
    CdlCorrection correction;
    correction.id = "zonara_" + SideName(side);
    correction.description = "Zonara: the grade " + SideName(side) + " the window";
    for (int k = 0; k < CDL_CHANNELS; ++k) {
        correction.slope[k] = grade.gain[k];
        correction.offset[k] = grade.offset[k];
        correction.power[k] = grade.inv_gamma[k];
    }
    correction.saturation = grade.saturation;
    if (grade.saturation != 1.0f) {
        warnings.push_back(SaturationWarning(correction.saturation));
    }
    return correction;
}

double GammaForPower(double power) {
    const float target = static_cast<float>(power);
    const float start = static_cast<float>(1.0 / power);
    if (!(start > 0.0f) || !std::isfinite(start)) {
        return 0.0;
    }
    // The reciprocal of a single is not always one again, so the plain
    // reciprocal's neighbours are tried for one that comes back exact.
    float best = start;
    double best_error = INFINITY;
    auto consider = [&](float candidate) {
        if (!(candidate > 0.0f)) {
            return;
        }
        const float back = FoldInverseGamma(candidate, 1.0f);
        const double error = back == target ? -1.0 : std::fabs(static_cast<double>(back) - power);
        if (error < best_error) {
            best = candidate;
            best_error = error;
        }
    };
    consider(start);
    float below = start;
    float above = start;
    for (int step = 0; step < 4 && best_error >= 0.0; ++step) {
        below = std::nextafter(below, 0.0f);
        above = std::nextafter(above, INFINITY);
        consider(below);
        consider(above);
    }
    return static_cast<double>(best);
}

void CheckReadsBack(const CdlCorrection &correction, GradeSide side, const ParamCatalog &catalog,
                    std::vector<std::string> &warnings) {
    const GradeSources &p = GradeSourcesOf(side);
    auto key = [&](int index) { return EntryFor(catalog, index).key; };
    for (int k = 0; k < CDL_CHANNELS; ++k) {
        const std::string channel = CHANNEL_NAMES[k];
        auto refuse = [&](const std::string &element, double value, const std::string &made_of,
                          const std::string &limit) {
            throw UsageError("the " + SideName(side) + " grade cannot be written as a CDL: its " + channel + " " +
                             element + " would be " + FormatCdlNumber(value) + " (" + made_of +
                             "), which reading the file back refuses (" + limit + ")");
        };
        const ParamCatalog::Entry &gain = EntryFor(catalog, p.channel_gain[k]);
        if (!InRange(gain, correction.slope[k])) {
            refuse("slope", correction.slope[k], key(p.master_gain) + " x " + gain.key,
                   gain.key + ": " + DescribeRange(gain));
        }
        const ParamCatalog::Entry &offset = EntryFor(catalog, p.channel_offset[k]);
        if (!InRange(offset, correction.offset[k])) {
            refuse("offset", correction.offset[k], key(p.master_offset) + " + " + offset.key,
                   offset.key + ": " + DescribeRange(offset));
        }
        const ParamCatalog::Entry &gamma = EntryFor(catalog, p.channel_gamma[k]);
        const double power = correction.power[k];
        const std::string power_made_of = "1 / (" + key(p.master_gamma) + " x " + gamma.key + ")";
        const double read_gamma = power > 0.0 ? GammaForPower(power) : 0.0;
        if (!(read_gamma > 0.0) || !InRange(gamma, read_gamma)) {
            refuse("power", power, power_made_of,
                   "a power must be at least " + FormatCdlNumber(1.0 / gamma.def.u.fs_d.valid_max) +
                       ", as gamma = 1/power; " + gamma.key + ": " + DescribeRange(gamma));
        }
        // The import's render takes the reciprocal of the one gamma it sets.
        const float read_power = FoldInverseGamma(static_cast<float>(read_gamma), 1.0f);
        if (read_power != static_cast<float>(power)) {
            warnings.push_back("the " + SideName(side) + " " + channel + " power " + FormatCdlNumber(power) + " (" +
                               power_made_of + ") is reached by no single gamma: the file reads back as power " +
                               FormatCdlNumber(read_power) +
                               ", so a render from it may differ from this one in a value's last bit");
        }
    }
}

std::vector<ParamValue> GradeFromCorrection(const CdlCorrection &correction, GradeSide side,
                                            const ParamCatalog &catalog, const std::string &origin,
                                            std::vector<std::string> &warnings) {
    const GradeSources &p = GradeSourcesOf(side);
    const std::string where =
        origin + ": correction " + (correction.id.empty() ? std::string("(no id)") : QuotedForMessage(correction.id));
    std::vector<ParamValue> values;
    auto take = [&](int index, double number, const std::string &element, int channel, const std::string &why) {
        const ParamCatalog::Entry &entry = EntryFor(catalog, index);
        if (!InRange(entry, number)) {
            throw UsageError(where + " <" + element + ">" +
                             (channel < 0 ? "" : " " + std::string(CHANNEL_NAMES[channel])) + " " + why + " (" +
                             entry.key + ": " + DescribeRange(entry) + ")");
        }
        values.push_back(SliderValue(index, number));
    };
    for (int k = 0; k < CDL_CHANNELS; ++k) {
        const double slope = correction.slope[k];
        take(p.channel_gain[k], slope, "Slope", k, FormatCdlNumber(slope) + " is out of range for a gain");
        const double offset = correction.offset[k];
        take(p.channel_offset[k], offset, "Offset", k, FormatCdlNumber(offset) + " is out of range for an offset");
        const double power = correction.power[k];
        const double gamma = power > 0.0 ? GammaForPower(power) : 0.0;
        const ParamCatalog::Entry &gamma_entry = EntryFor(catalog, p.channel_gamma[k]);
        const std::string power_range = "Power must be at least " +
                                        FormatCdlNumber(1.0 / gamma_entry.def.u.fs_d.valid_max) +
                                        ", as gamma = 1/power";
        if (!(gamma > 0.0)) {
            throw UsageError(where + " <Power> " + CHANNEL_NAMES[k] + " " + FormatCdlNumber(power) + " has no gamma: " +
                             power_range + " (" + gamma_entry.key + ": " + DescribeRange(gamma_entry) + ")");
        }
        take(p.channel_gamma[k], gamma, "Power", k, FormatCdlNumber(power) + " is out of range: " + power_range);
    }
    take(p.saturation, correction.saturation, "Saturation", -1,
         FormatCdlNumber(correction.saturation) + " is out of range for a saturation");
    if (correction.saturation != 1.0) {
        warnings.push_back(origin + ": " + SaturationWarning(correction.saturation));
    }
    values.push_back(SliderValue(p.master_offset, 0.0));
    values.push_back(SliderValue(p.master_gamma, 1.0));
    values.push_back(SliderValue(p.master_gain, 1.0));
    values.push_back(PopupValue(PARAM_COLOR_MODEL, COLOR_MODEL_CDL));
    return values;
}

}  // namespace zonara_tool
