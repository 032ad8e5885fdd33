// The parameters the linked-in effect declares, as the tool's readers check
// values against them; made once per fuzzing process, since every input
// checks against the same declarations.
#pragma once

#include "fuzz_session.h"
#include "shell/entry_point.h"
#include "tools/params/param_values.h"

namespace zonara_fuzz {

inline const zonara_tool::ParamCatalog &DeclaredCatalog() {
    static const zonara_tool::ParamCatalog catalog = [] {
        testhost::Host host(testhost::EffectFunction(EntryPointFunc), testhost::HostApp::kAfterEffects);
        SetUpParams(host);
        return zonara_tool::ParamCatalog(host.declared_params());
    }();
    return catalog;
}

}  // namespace zonara_fuzz
