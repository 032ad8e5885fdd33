#include "tools/commands/progress_meter.h"

#include <cmath>

#if defined(_WIN32)
#include <io.h>  // _isatty
#else
#include <unistd.h>
#endif

namespace zonara_tool {
namespace {

std::string Clock(double seconds) {
    const long total = std::lround(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

}  // namespace

ProgressMeter::ProgressMeter(int total_frames, std::FILE *stream, bool interactive)
    : total_(total_frames), stream_(stream), interactive_(interactive), start_(std::chrono::steady_clock::now()) {}

std::string ProgressMeter::BarText(int done, int total, double seconds_elapsed, int width) {
    const int filled = total > 0 ? done * width / total : width;
    std::string text = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(width - filled), ' ') + "] ";
    text += std::to_string(done) + "/" + std::to_string(total) + " frames";
    if (done > 0 && seconds_elapsed > 0.0) {
        const double rate = done / seconds_elapsed;
        char fps[32];
        std::snprintf(fps, sizeof fps, "  %.1f fps", rate);
        text += fps;
        text += "  " + Clock((total - done) / rate) + " left";
    }
    return text;
}

void ProgressMeter::FrameDone(int frame, bool succeeded, const std::string &note) {
    ++done_;
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    if (interactive_) {
        if (!succeeded) {
            // The failure on its own line, above the bar.
            std::fprintf(stream_, "\r\033[Kframe %d failed: %s\n", frame, note.c_str());
        }
        std::fprintf(stream_, "\r\033[K%s", BarText(done_, total_, elapsed, 30).c_str());
    } else {
        std::fprintf(stream_, "frame %d (%d/%d) %s: %s\n", frame, done_, total_, succeeded ? "done" : "FAILED",
                     note.c_str());
    }
    std::fflush(stream_);
}

void ProgressMeter::Finish() {
    if (interactive_) {
        std::fprintf(stream_, "\n");
        std::fflush(stream_);
    }
}

#if defined(_WIN32)
bool StderrIsTerminal() { return ::_isatty(_fileno(stderr)) != 0; }
#else
bool StderrIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }
#endif

}  // namespace zonara_tool
