// Progress of a sequence render on stderr: a bar redrawn in place (frames
// done, frames per second, time left) on a terminal, one plain line per frame
// otherwise so that logs stay readable.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace zonara_tool {

class ProgressMeter {
public:
    ProgressMeter(int total_frames, std::FILE *stream, bool interactive);

    // One frame finished; `note` is the file written or why it failed.
    void FrameDone(int frame, bool succeeded, const std::string &note);
    // Ends the bar's line on a terminal.
    void Finish();

    // The bar's text, e.g. "[#####     ] 12/24 frames  3.1 fps  0:04 left".
    static std::string BarText(int done, int total, double seconds_elapsed, int width);

private:
    int total_;
    int done_ = 0;
    std::FILE *stream_;
    bool interactive_;
    std::chrono::steady_clock::time_point start_;
};

// Whether stderr is a terminal (a bar is then drawn).
bool StderrIsTerminal();

}  // namespace zonara_tool
