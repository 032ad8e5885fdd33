// Scoped access to the host's function suites for one command. A handler
// opens a HostSuites on entry; each suite is acquired the first time it is
// used, kept for the rest of the handler, and every acquired suite is given
// back when the scope ends, also while an exception unwinds it.
#pragma once

#include <array>
#include <cstddef>

#include "pf_sdk.h"

namespace zonara {

// A suite the command cannot do without is missing: throws
// PF_Err_BAD_CALLBACK_PARAM as a PF_Err (32-bit integer), which the entry
// point turns into the command's result.
[[noreturn]] void ThrowMissingSuite();

class HostSuites {
public:
    // Throws (ThrowMissingSuite) when the host gave no basic suite.
    explicit HostSuites(const SPBasicSuite *basic);
    ~HostSuites();

    HostSuites(const HostSuites &) = delete;
    HostSuites &operator=(const HostSuites &) = delete;
    HostSuites(HostSuites &&) = delete;
    HostSuites &operator=(HostSuites &&) = delete;

    // Each returns the suite's function table, never null; a suite the host
    // refuses throws (ThrowMissingSuite).
    const PF_ANSICallbacksSuite1 *AnsiSuite();
    const PF_Iterate8Suite1 *Iterate8Suite();
    const PF_iterate16Suite1 *Iterate16Suite();
    // For work the command can also do without the suite: null, and nothing
    // thrown, when the host refuses it.
    const PF_Iterate8Suite1 *Iterate8SuiteIfOffered();
    const PF_EffectCustomUISuite1 *CustomUISuite();
    const PF_EffectCustomUIOverlayThemeSuite1 *OverlayThemeSuite();
    const DRAWBOT_DrawbotSuite1 *DrawSuite();

private:
    // Positions in the catalogue, which is also the release order.
    enum CatalogueEntry : std::size_t { ANSI, ITERATE8, ITERATE16, CUSTOM_UI, OVERLAY_THEME, DRAW, CATALOGUE_SIZE };

    const void *Acquire(CatalogueEntry entry);
    const void *AcquireIfOffered(CatalogueEntry entry);

    const SPBasicSuite *basic_;
    std::array<const void *, CATALOGUE_SIZE> cached_{};
};

}  // namespace zonara
