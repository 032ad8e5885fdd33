// Where the Windows build lies and how its programs run: the cross-built
// module and zonara.exe (./zonara build-windows), run under Wine through
// scripts/windows-run.sh, next to the native tool of this build.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/scratch_dir.h"

namespace windows_test {

// Writes the bytes as the file's whole content.
inline void WriteFile(const std::filesystem::path &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::filesystem::path WindowsBuildDir() {
    const char *dir = std::getenv("ZONARA_WINDOWS_BUILD_DIR");
    return dir != nullptr && *dir != '\0' ? std::filesystem::path(dir)
                                          : std::filesystem::path(ZONARA_SOURCE_DIR) / "build" / "windows";
}
inline std::filesystem::path WindowsModule() { return WindowsBuildDir() / "Quorv_Zonara.aex"; }
inline std::filesystem::path WindowsTool() { return WindowsBuildDir() / "zonara.exe"; }

// Empty when the checks can run; otherwise why not.
inline std::string WhyWindowsChecksCannotRun() {
    if (const char *skip = std::getenv("ZONARA_SKIP_WINDOWS"); skip != nullptr && std::string(skip) == "1") {
        return "ZONARA_SKIP_WINDOWS=1";
    }
    if (!std::filesystem::exists(WindowsModule()) || !std::filesystem::exists(WindowsTool())) {
        return "no Windows build in " + WindowsBuildDir().string() + " (./zonara build-windows makes it)";
    }
    return "";
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path &path) {
    const std::string bytes = zonara_test::FileBytes(path);
    return {bytes.begin(), bytes.end()};
}

// Windows programs end text lines with CR LF; the native tool with LF.
inline std::string WithoutCarriageReturnsBeforeNewlines(const std::string &text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            out += text[i];
        }
    }
    return out;
}

using zonara_test::Quote;

// Folders named "zonara-windows-...".
class ScratchDir : public zonara_test::ScratchDir {
public:
    explicit ScratchDir(const std::string &tag) : zonara_test::ScratchDir("windows-" + tag) {}
};

struct Run {
    int exit_status = -1;
    std::string out;
    std::string err;
};

// Runs `program ARGS...` in `dir` (files named relative to it, so that both
// systems see the same names), capturing both streams.
inline Run RunIn(const std::filesystem::path &dir, const std::vector<std::string> &program,
                 const std::vector<std::string> &args, const std::string &tag) {
    std::string command = "cd " + Quote(dir.string()) + " &&";
    for (const std::string &part : program) {
        command += " " + Quote(part);
    }
    for (const std::string &arg : args) {
        command += " " + Quote(arg);
    }
    const std::filesystem::path out = dir / (".stdout-" + tag);
    const std::filesystem::path err = dir / (".stderr-" + tag);
    command += " >" + Quote(out.string()) + " 2>" + Quote(err.string()) + " </dev/null";
    const int status = std::system(command.c_str());
    Run run;
    run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const auto text = [](const std::filesystem::path &path) {
        const std::vector<std::uint8_t> bytes = ReadBytes(path);
        return std::string(bytes.begin(), bytes.end());
    };
    run.out = text(out);
    run.err = text(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

inline Run RunNative(const std::filesystem::path &dir, const std::vector<std::string> &args) {
    return RunIn(dir, {ZONARA_TOOL_PATH}, args, "native");
}

// The script that runs a Windows program under Wine.
inline std::string WineRunner() {
    return (std::filesystem::path(ZONARA_SOURCE_DIR) / "scripts" / "windows-run.sh").string();
}

// RunIn for a command that starts a program under Wine. On a loaded machine
// Wine's client can lose its link to Wine's server ("wine client error:0:
// recvmsg: Connection reset by peer"), ending the program with status 1: a
// fault of the machine's Wine, not of the program, and one a second run does
// not meet. Such a run is made again, at most twice; any other outcome
// stands.
inline Run RunInWine(const std::filesystem::path &dir, const std::vector<std::string> &command,
                     const std::vector<std::string> &args, const std::string &tag) {
    constexpr int MAX_RUNS = 3;
    Run run;
    for (int attempt = 0; attempt < MAX_RUNS; ++attempt) {
        run = RunIn(dir, command, args, tag);
        if (run.err.find("wine client error") == std::string::npos) break;
    }
    return run;
}

// zonara.exe finds the module beside itself, as when both are shipped.
inline Run RunUnderWine(const std::filesystem::path &dir, const std::vector<std::string> &args) {
    Run run = RunInWine(dir, {WineRunner(), WindowsTool().string()}, args, "wine");
    run.out = WithoutCarriageReturnsBeforeNewlines(run.out);
    return run;
}

}  // namespace windows_test
