// The effect's clamps are on by default (Clamp input black, Clamp output
// black), so a render at otherwise default settings is not a copy of a
// float picture: its negative samples come out as 0. Said once a run, with
// the count, rather than left for the user to find in the pixels.
#pragma once

#include <cstdint>
#include <string>

#include "testhost/core/param_store.h"
#include "tools/image/image.h"
#include "tools/params/param_values.h"

namespace zonara_tool {

class ClampCount {
public:
    // Finds the grade's controls and the clamps among the declared
    // parameters; without the clamps (another effect) nothing is counted.
    explicit ClampCount(const ParamCatalog &catalog);

    // Adds the colour samples of `source` (as handed to the effect) that the
    // clamps set in `values` change while every grade control is at its
    // default: below 0 with a black clamp on, above 1 with the white clamp
    // on. Exact there, as an identity grade passes every other sample
    // unchanged; nothing is counted under any other grade, whose result
    // differs from its source anyway, nor at a mix of 0.
    void Add(const Image &source, const testhost::ParamStore &values);

    std::uint64_t changed() const { return changed_; }
    // "the clamps changed N samples outside 0..1; set ... to keep them";
    // empty when none were changed.
    std::string Notice() const;

private:
    bool GradeIsIdentity(const testhost::ParamStore &values) const;
    bool On(const testhost::ParamStore &values, int index) const;

    std::vector<int> grade_sliders_;  // positions of every in_/out_ control
    int mix_ = 0;
    int clamp_in_black_ = 0;  // 0: not declared
    int clamp_out_black_ = 0;
    int clamp_out_white_ = 0;
    std::uint64_t changed_ = 0;
    bool changed_low_ = false;
    bool changed_high_ = false;
};

}  // namespace zonara_tool
