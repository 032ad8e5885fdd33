#include "host/host_suites.h"

namespace zonara {
namespace {

struct SuiteName {
    const char *name;
    int32_t version;
};

// Names are matched by the host exactly, letter case included ("PF Iterate8
// Suite" but "PF iterate16 Suite").
constexpr SuiteName CATALOGUE[] = {
    {kPFANSISuite, kPFANSISuiteVersion1},
    {kPFIterate8Suite, kPFIterate8SuiteVersion1},
    {kPFIterate16Suite, kPFIterate16SuiteVersion1},
    {kPFEffectCustomUISuite, kPFEffectCustomUISuiteVersion1},
    {kPFEffectCustomUIOverlayThemeSuite, kPFEffectCustomUIOverlayThemeSuiteVersion1},
    {kDRAWBOT_DrawSuite, kDRAWBOT_DrawSuite_Version1},
};

}  // namespace

void ThrowMissingSuite() { throw static_cast<PF_Err>(PF_Err_BAD_CALLBACK_PARAM); }

HostSuites::HostSuites(const SPBasicSuite *basic) : basic_(basic) {
    static_assert(std::size(CATALOGUE) == CATALOGUE_SIZE);
    if (basic_ == nullptr) {
        ThrowMissingSuite();
    }
}

HostSuites::~HostSuites() {
    // The host's answer is not examined: there is nothing useful to do about
    // a refused release, and a destructor may run during unwinding.
    for (std::size_t i = 0; i < CATALOGUE_SIZE; ++i) {
        if (cached_[i] != nullptr) {
            basic_->ReleaseSuite(CATALOGUE[i].name, CATALOGUE[i].version);
        }
    }
}

const void *HostSuites::Acquire(CatalogueEntry entry) {
    const void *suite = AcquireIfOffered(entry);
    if (suite == nullptr) {
        ThrowMissingSuite();
    }
    return suite;
}

const void *HostSuites::AcquireIfOffered(CatalogueEntry entry) {
    if (cached_[entry] != nullptr) {
        return cached_[entry];
    }
    const void *suite = nullptr;
    const SPErr err = basic_->AcquireSuite(CATALOGUE[entry].name, CATALOGUE[entry].version, &suite);
    if (err != kSPNoError || suite == nullptr) {
        // Not cached, so the destructor does not release what the host
        // says it did not hand out.
        return nullptr;
    }
    cached_[entry] = suite;
    return suite;
}

const PF_ANSICallbacksSuite1 *HostSuites::AnsiSuite() {
    return static_cast<const PF_ANSICallbacksSuite1 *>(Acquire(ANSI));
}

const PF_Iterate8Suite1 *HostSuites::Iterate8Suite() {
    return static_cast<const PF_Iterate8Suite1 *>(Acquire(ITERATE8));
}

const PF_Iterate8Suite1 *HostSuites::Iterate8SuiteIfOffered() {
    return static_cast<const PF_Iterate8Suite1 *>(AcquireIfOffered(ITERATE8));
}

const PF_iterate16Suite1 *HostSuites::Iterate16Suite() {
    return static_cast<const PF_iterate16Suite1 *>(Acquire(ITERATE16));
}

const PF_EffectCustomUISuite1 *HostSuites::CustomUISuite() {
    return static_cast<const PF_EffectCustomUISuite1 *>(Acquire(CUSTOM_UI));
}

const PF_EffectCustomUIOverlayThemeSuite1 *HostSuites::OverlayThemeSuite() {
    return static_cast<const PF_EffectCustomUIOverlayThemeSuite1 *>(Acquire(OVERLAY_THEME));
}

const DRAWBOT_DrawbotSuite1 *HostSuites::DrawSuite() {
    return static_cast<const DRAWBOT_DrawbotSuite1 *>(Acquire(DRAW));
}

}  // namespace zonara
