// The line an interrupted run ends with (Ctrl-C, a termination): where it
// stopped, so that a user or a render-farm log can tell which frames are
// whole ("interrupted at frame 4 of 10"), or just "interrupted" outside a
// sequence. Written from the signal handler, so the state it reads is kept
// in lock-free atomics and the line is formatted without allocating.
#pragma once

namespace zonara_tool {

// A sequence of `total_frames` is under way: `frames_done` are finished
// and the next is numbered `next_frame`. `bar_on_line`: a progress bar
// holds the terminal's current line, so the notice starts a line of its own.
void SetInterruptProgress(int frames_done, int total_frames, int next_frame, bool bar_on_line);

// Writes the notice to stderr. Safe in a signal handler.
void WriteInterruptNotice();

}  // namespace zonara_tool
