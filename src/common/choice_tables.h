// The popups' choices, a table per popup and a row per choice. Everything
// else that lists choices takes them from here: the labels the host shows,
// the count each popup declares, how the vector lanes compute a falloff
// curve, and the ranges the tests draw from. A new choice is a new row and
// its formula.
#pragma once

#include <cstddef>

namespace zonara {

// Choice numbers of the popups, counted from 1 as the host counts them, in
// the order of their table's rows.
enum WindowTypeChoice : int { WINDOW_TYPE_ELLIPSE = 1, WINDOW_TYPE_RECTANGLE };
enum FalloffChoice : int {
    FALLOFF_LINEAR = 1,
    FALLOFF_QUADRATIC,
    FALLOFF_CUBIC,
    FALLOFF_GAMMA_2_2,
    FALLOFF_GAUSSIAN,
    FALLOFF_EXPONENTIAL
};
enum ColorModelChoice : int { COLOR_MODEL_LEGACY = 1, COLOR_MODEL_CDL };

// How a falloff curve is computed. Products alone are exact in double in
// vectors as for one pixel; curves that take powers get the vector kernel's
// bounded power, kept only where its rounding is proven.
enum class FalloffForm { PRODUCTS, POWERS };

template <class Choice>
struct ChoiceRow {
    Choice value;
    const char *label;  // as the host shows it and saved projects hold it
};

struct FalloffRow {
    FalloffChoice value;
    const char *label;
    FalloffForm form;
};

// Each file its own copy (constexpr, not inline): the vector kernel's levels
// read the falloff's rows at run time, and a copy shared across the module
// is what their objects must not define.
constexpr ChoiceRow<WindowTypeChoice> WINDOW_TYPE_CHOICES[] = {
    {WINDOW_TYPE_ELLIPSE, "Ellipse"},
    {WINDOW_TYPE_RECTANGLE, "Rectangle"},
};

constexpr FalloffRow FALLOFF_CHOICES[] = {
    {FALLOFF_LINEAR, "Linear", FalloffForm::PRODUCTS},   {FALLOFF_QUADRATIC, "Quadratic", FalloffForm::PRODUCTS},
    {FALLOFF_CUBIC, "Cubic", FalloffForm::PRODUCTS},     {FALLOFF_GAMMA_2_2, "Gamma 2.2", FalloffForm::POWERS},
    {FALLOFF_GAUSSIAN, "Gaussian", FalloffForm::POWERS}, {FALLOFF_EXPONENTIAL, "Exponential", FalloffForm::POWERS},
};

constexpr ChoiceRow<ColorModelChoice> COLOR_MODEL_CHOICES[] = {
    {COLOR_MODEL_LEGACY, "Legacy"},
    {COLOR_MODEL_CDL, "CDL compliant"},
};

template <class Row, std::size_t N>
constexpr int ChoiceCount(const Row (&)[N]) {
    return static_cast<int>(N);
}

// The first number no row has, as a damaged project or a newer version's
// saved value may hand the effect.
template <class Row, std::size_t N>
constexpr int OnePastLastChoice(const Row (&rows)[N]) {
    return static_cast<int>(rows[N - 1].value) + 1;
}

// The host numbers a popup's choices by their place in its list, so each
// row's value must be its place.
template <class Row, std::size_t N>
constexpr bool NumberedByPlace(const Row (&rows)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<std::size_t>(rows[i].value) != i + 1) return false;
    }
    return true;
}

static_assert(NumberedByPlace(WINDOW_TYPE_CHOICES));
static_assert(NumberedByPlace(FALLOFF_CHOICES));
static_assert(NumberedByPlace(COLOR_MODEL_CHOICES));

}  // namespace zonara
