#include <cstdlib>
#include <iostream>
#include <new>
#include <stdexcept>

#include "tools/base/tool_context.h"

namespace zonara_tool {

std::shared_ptr<const testhost::Module> ToolContext::Module() {
    if (!module_) {
        const std::string path = module_path.empty() ? testhost::DefaultModulePath() : module_path;
        try {
            module_ = testhost::Module::Load(path);
        } catch (const std::runtime_error &error) {
            throw UsageError(error.what());
        }
    }
    return module_;
}

std::unique_ptr<testhost::Host> ToolContext::StartHost(testhost::HostApp app, const testhost::FrameSetup &frame) {
    auto host = std::make_unique<testhost::Host>(Module(), app);
    host->frame() = frame;
    // The floating-point mode the host's threads call the effect in, as a
    // host's threads may be set otherwise (flush-to-zero, say): the output
    // must not change, which the Windows checks compare under Wine.
    if (const char *mode = std::getenv("ZONARA_HOST_FLOAT_MODE"); mode != nullptr && *mode != '\0') {
        const auto parsed = testhost::ThreadFloatModeNamed(mode);
        if (!parsed) {
            throw ToolError(EXIT_USAGE, std::string("ZONARA_HOST_FLOAT_MODE=") + mode +
                                            " is not a mode: standard, daz-ftz, daz, round-up or round-down");
        }
        host->faults().thread_float_mode = *parsed;
    }
    if (const PF_Err err = host->GlobalSetup(); err != PF_Err_NONE) {
        throw ToolError(EXIT_EFFECT_FAILED, "the effect failed global setup with code " + std::to_string(err));
    }
    if (const PF_Err err = host->ParamsSetup(); err != PF_Err_NONE) {
        throw ToolError(EXIT_EFFECT_FAILED, "the effect failed parameter setup with code " + std::to_string(err));
    }
    return host;
}

void ToolContext::Run(const std::function<void()> &body) {
    try {
        body();
    } catch (const ToolError &error) {
        std::cerr << "zonara: " << error.what() << "\n";
        exit_status = error.exit_status();
    } catch (const std::bad_alloc &) {
        // The machine's limit, not a fault of the effect: a smaller input,
        // or the same one on a freer machine, may well succeed.
        std::cerr << "zonara: out of memory\n";
        exit_status = EXIT_SYSTEM;
    } catch (const std::exception &error) {
        std::cerr << "zonara: " << error.what() << "\n";
        exit_status = EXIT_EFFECT_FAILED;
    }
}

}  // namespace zonara_tool
