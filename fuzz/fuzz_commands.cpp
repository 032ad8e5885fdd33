// The shell's and the parameter set's commands under hostile hosts.
#include <cstring>

#include "fuzz_session.h"
#include "fuzz_values.h"

namespace zonara_fuzz {
namespace {

// PF_OutData as a careless host leaves it between commands.
void ScribbleOutData(FuzzedDataProvider &in, testhost::Host &host) {
    PF_OutData &out = host.out_data();
    out.out_flags = static_cast<PF_OutFlags>(in.ConsumeIntegral<std::uint32_t>());
    std::memset(out.return_msg, in.ConsumeBool() ? 'x' : 0, sizeof(out.return_msg));
    out.return_msg[sizeof(out.return_msg) - 1] = '\0';
}

void CheckMessageTerminated(const testhost::Host &host, const char *command) {
    const PF_OutData &out = host.last_out_data();
    if (std::memchr(out.return_msg, '\0', sizeof(out.return_msg)) == nullptr) {
        Fail(std::string("return_msg left unterminated by ") + command);
    }
}

}  // namespace

void FuzzGlobalSetup(FuzzedDataProvider &in, testhost::Host &host) {
    ScribbleOutData(in, host);
    RefuseSomeSuites(in, host);
    host.faults().no_basic_suite = in.ConsumeIntegralInRange<int>(0, 5) == 0;
    CallEffect(host, PF_Cmd_GLOBAL_SETUP);
    host.faults().no_basic_suite = false;
    CheckCommandEnded(host, "PF_Cmd_GLOBAL_SETUP");
    CheckMessageTerminated(host, "PF_Cmd_GLOBAL_SETUP");
}

void FuzzAbout(FuzzedDataProvider &in, testhost::Host &host) {
    ScribbleOutData(in, host);
    RefuseSomeSuites(in, host);
    host.faults().no_basic_suite = in.ConsumeIntegralInRange<int>(0, 5) == 0;
    CallEffect(host, PF_Cmd_ABOUT);
    host.faults().no_basic_suite = false;
    CheckCommandEnded(host, "PF_Cmd_ABOUT");
    CheckMessageTerminated(host, "PF_Cmd_ABOUT");
}

void FuzzParamsSetupFailure(FuzzedDataProvider &in, testhost::Host &host) {
    host.faults().add_param_fail_on_call = in.ConsumeIntegralInRange<int>(0, 50);
    host.faults().add_param_fail_code = NastyInt32(in);
    host.faults().register_ui_fails = in.ConsumeBool();
    host.faults().register_ui_fail_code = NastyInt32(in);
    DeclareParams(host);
    // A host does not render an effect whose parameters failed to declare;
    // put a complete set back for the commands that follow.
    SetUpParams(host);
}

void FuzzParamValue(FuzzedDataProvider &in, testhost::Host &host) {
    testhost::ParamStore &store = host.params();
    PF_ParamDef &def = store.at(in.ConsumeIntegralInRange<int>(1, store.size() - 1));
    switch (def.param_type) {
    case PF_Param_FLOAT_SLIDER:
        def.u.fs_d.value = NastyDouble(in);
        break;
    case PF_Param_POINT:
        def.u.td.x_value = NastyInt32(in);
        def.u.td.y_value = NastyInt32(in);
        break;
    case PF_Param_ANGLE:
        def.u.ad.value = NastyInt32(in);
        break;
    case PF_Param_POPUP:
        def.u.pd.value = NastyInt32(in);
        break;
    case PF_Param_CHECKBOX:
        def.u.bd.value = NastyInt32(in);
        break;
    default:
        break;  // groups carry no value
    }
}

void FuzzUnknownCommand(FuzzedDataProvider &in, testhost::Host &host) {
    // Every command the effect does not handle, and codes no host sends.
    PF_Cmd cmd = static_cast<PF_Cmd>(in.ConsumeIntegralInRange<int>(2, 40));
    if (cmd == PF_Cmd_RENDER || cmd == PF_Cmd_EVENT || cmd == PF_Cmd_PARAMS_SETUP) {
        cmd = PF_Cmd_DO_DIALOG;
    }
    CallEffect(host, cmd);
    CheckCommandEnded(host, "an unhandled command");
}

}  // namespace zonara_fuzz
