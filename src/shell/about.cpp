#include "shell/about.h"

#include "common/string_table.h"
#include "host/host_suites.h"
#include "shell/effect_version.h"

namespace zonara {

PF_Err About(const PF_InData *in_data, PF_OutData *out_data) {
    HostSuites suites(in_data->pica_basicP);
    // The host shows a carriage return as the line break of its about box.
    suites.AnsiSuite()->sprintf(out_data->return_msg, "%s v%d.%d\r%s", LookupString(STR_NAME), EFFECT_MAJOR_VERSION,
                                EFFECT_MINOR_VERSION, LookupString(STR_DESCRIPTION));
    return PF_Err_NONE;
}

}  // namespace zonara
