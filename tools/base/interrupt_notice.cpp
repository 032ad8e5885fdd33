#include "tools/base/interrupt_notice.h"

#include <atomic>
#include <cstddef>

#if defined(_WIN32)
#include <io.h>  // _write
#else
#include <unistd.h>
#endif

namespace zonara_tool {
namespace {

std::atomic<int> g_frames_done{0};
std::atomic<int> g_total_frames{0};  // 0: not a sequence
std::atomic<int> g_next_frame{0};
std::atomic<bool> g_bar_on_line{false};

// Appends to a fixed buffer, never past its end.
struct NoticeText {
    char text[160];
    std::size_t length = 0;

    void Add(const char *part) {
        while (*part != '\0' && length < sizeof text) {
            text[length++] = *part++;
        }
    }
    void AddNumber(long long number) {
        char digits[24];
        std::size_t count = 0;
        const bool negative = number < 0;
        unsigned long long rest =
            negative ? 0ULL - static_cast<unsigned long long>(number) : static_cast<unsigned long long>(number);
        do {
            digits[count++] = static_cast<char>('0' + rest % 10);
            rest /= 10;
        } while (rest != 0);
        if (negative) {
            Add("-");
        }
        while (count > 0 && length < sizeof text) {
            text[length++] = digits[--count];
        }
    }
};

void WriteToStderr(const char *text, std::size_t length) {
#if defined(_WIN32)
    [[maybe_unused]] const int written = _write(2, text, static_cast<unsigned>(length));
#else
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text, length);
#endif
}

}  // namespace

void SetInterruptProgress(int frames_done, int total_frames, int next_frame, bool bar_on_line) {
    g_frames_done.store(frames_done);
    g_next_frame.store(next_frame);
    g_bar_on_line.store(bar_on_line);
    g_total_frames.store(total_frames);
}

void WriteInterruptNotice() {
    NoticeText notice;
    if (g_bar_on_line.load()) {
        notice.Add("\n");
    }
    notice.Add("zonara: interrupted");
    const int total = g_total_frames.load();
    if (total > 0) {
        const int position = g_frames_done.load() + 1;
        const int frame = g_next_frame.load();
        notice.Add(" at frame ");
        notice.AddNumber(position);
        notice.Add(" of ");
        notice.AddNumber(total);
        if (frame != position) {
            // The frame's own number, where the sequence is not numbered 1...
            notice.Add(" (number ");
            notice.AddNumber(frame);
            notice.Add(")");
        }
    }
    notice.Add("\n");
    WriteToStderr(notice.text, notice.length);
}

}  // namespace zonara_tool
