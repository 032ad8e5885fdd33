#include "tools/base/host_name.h"

#include "tools/base/tool_error.h"

namespace zonara_tool {

const std::vector<std::string> &HostNames() {
    static const std::vector<std::string> NAMES = {"ae", "premiere"};
    return NAMES;
}

testhost::HostApp ParseHostApp(const std::string &name) {
    if (name == "ae") {
        return testhost::HostApp::kAfterEffects;
    }
    if (name == "premiere") {
        return testhost::HostApp::kPremiere;
    }
    throw UsageError("--host '" + name + "': expected ae or premiere");
}

}  // namespace zonara_tool
