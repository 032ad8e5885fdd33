// Replays fuzz inputs without libFuzzer: every file named on the command
// line, or every file in a folder named there, through the same harness as
// the fuzzer. Built for Windows, where run-tests runs it under Wine at each
// instruction-set level over the seed corpus: a fault there (a vector spilled
// to a misaligned stack slot, say) shows nowhere else.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

int Replay(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.good() && !in.eof()) {
        std::fprintf(stderr, "zonara replay: cannot read %s\n", file.string().c_str());
        return 1;
    }
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    int failures = 0;
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path)) {
            for (const auto &entry : std::filesystem::directory_iterator(path)) {
                if (!entry.is_regular_file()) continue;
                failures += Replay(entry.path());
                ++replayed;
            }
        } else {
            failures += Replay(path);
            ++replayed;
        }
    }
    std::printf("zonara replay: %zu inputs, %d unreadable\n", replayed, failures);
    return failures == 0 && replayed > 0 ? 0 : 1;
}
