// The tool's compress2/compress/uncompress (libdeflate, handing the rest to
// zlib) held to zlib's own functions case by case: the same result codes,
// the same expanded bytes, and streams zlib's own uncompress reads back.
#include <dlfcn.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<Bytef>;

struct OwnZlib {
    int (*compress2)(Bytef *, uLongf *, const Bytef *, uLong, int) = nullptr;
    int (*uncompress)(Bytef *, uLongf *, const Bytef *, uLong) = nullptr;
};

// zlib's own functions; in this program the names resolve to the tool's.
const OwnZlib &Zlib() {
    static const OwnZlib own = [] {
        OwnZlib found;
        void *zlib = ::dlopen("libz.so.1", RTLD_NOW | RTLD_LOCAL);
        if (zlib != nullptr) {
            found.compress2 = reinterpret_cast<decltype(found.compress2)>(::dlsym(zlib, "compress2"));
            found.uncompress = reinterpret_cast<decltype(found.uncompress)>(::dlsym(zlib, "uncompress"));
        }
        return found;
    }();
    return own;
}

// Noise over a repeating ramp: some of it compresses, some does not.
Bytes Samples(size_t size) {
    Bytes bytes(size);
    std::mt19937 random(7);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<Bytef>(i % 4 == 0 ? random() : i / 7);
    }
    return bytes;
}

Bytes OwnCompressed(const Bytes &source, int level) {
    Bytes out(compressBound(source.size()));
    uLongf size = out.size();
    EXPECT_EQ(Zlib().compress2(out.data(), &size, source.data(), source.size(), level), Z_OK);
    out.resize(size);
    return out;
}

struct CompressCase {
    const char *name;
    size_t size;
    int level;
    int room;  // output room over the exact compressed size; negative: too small
};

class CompressLikeZlib : public testing::TestWithParam<CompressCase> {};

TEST_P(CompressLikeZlib, SameCodeAndAStreamZlibReads) {
    ASSERT_NE(Zlib().compress2, nullptr);
    const CompressCase &c = GetParam();
    const Bytes source = Samples(c.size);
    const size_t room =
        c.room < 0 ? OwnCompressed(source, c.level).size() / 2 : compressBound(c.size) + static_cast<size_t>(c.room);

    // An empty input still at a real address: a null one is zlib's to answer.
    static const Bytef NOTHING = 0;
    const Bytef *input = source.empty() ? &NOTHING : source.data();
    Bytes ours(room, 0xee);
    Bytes theirs(room, 0xee);
    uLongf ours_size = room;
    uLongf theirs_size = room;
    const int code = c.level == Z_DEFAULT_COMPRESSION
                         ? compress(ours.data(), &ours_size, input, source.size())
                         : compress2(ours.data(), &ours_size, input, source.size(), c.level);
    ASSERT_EQ(code, Zlib().compress2(theirs.data(), &theirs_size, input, source.size(), c.level));
    if (code != Z_OK) {
        // zlib's answer whole: what it wrote and the size it left.
        EXPECT_EQ(ours_size, theirs_size);
        EXPECT_EQ(ours, theirs);
        return;
    }
    Bytes back(c.size + 1);
    uLongf back_size = back.size();
    ASSERT_EQ(Zlib().uncompress(back.data(), &back_size, ours.data(), ours_size), Z_OK);
    back.resize(back_size);
    EXPECT_EQ(back, source);
}

INSTANTIATE_TEST_SUITE_P(Levels, CompressLikeZlib,
                         testing::Values(CompressCase{"default_level", 100000, Z_DEFAULT_COMPRESSION, 0},
                                         CompressCase{"fastest", 100000, 1, 0},
                                         CompressCase{"best", 100000, 9, 0},
                                         CompressCase{"stored_by_zlib", 5000, 0, 0},
                                         CompressCase{"level_out_of_range", 5000, 12, 0},
                                         CompressCase{"empty", 0, 1, 0},
                                         CompressCase{"output_too_small", 100000, 1, -1}),
                         [](const auto &info) { return std::string(info.param.name); });

struct ExpandCase {
    const char *name;
    bool damaged;
    long at;   // the byte damaged, counted from the end when negative
    int cut;   // bytes cut from the end of the stream
    int room;  // output room over the source size (negative: less)
};

class UncompressLikeZlib : public testing::TestWithParam<ExpandCase> {};

TEST_P(UncompressLikeZlib, SameCodeSameBytes) {
    ASSERT_NE(Zlib().uncompress, nullptr);
    const ExpandCase &c = GetParam();
    const Bytes source = Samples(70000);
    Bytes stream = OwnCompressed(source, 6);
    if (c.damaged) {
        stream[static_cast<size_t>(c.at >= 0 ? c.at : static_cast<long>(stream.size()) + c.at)] ^= 0x5a;
    }
    stream.resize(stream.size() - static_cast<size_t>(c.cut));
    const size_t room = static_cast<size_t>(static_cast<long>(source.size()) + c.room);

    Bytes ours(room, 0xee);
    Bytes theirs(room, 0xee);
    uLongf ours_size = room;
    uLongf theirs_size = room;
    const int code = uncompress(ours.data(), &ours_size, stream.data(), stream.size());
    ASSERT_EQ(code, Zlib().uncompress(theirs.data(), &theirs_size, stream.data(), stream.size()));
    EXPECT_EQ(ours_size, theirs_size);
    EXPECT_EQ(ours, theirs);
}

INSTANTIATE_TEST_SUITE_P(Streams, UncompressLikeZlib,
                         testing::Values(ExpandCase{"whole", false, 0, 0, 0},
                                         ExpandCase{"room_to_spare", false, 0, 0, 100},
                                         ExpandCase{"too_little_room", false, 0, 0, -1},
                                         ExpandCase{"header_damaged", true, 0, 0, 0},
                                         ExpandCase{"block_damaged", true, 100, 0, 0},
                                         ExpandCase{"checksum_damaged", true, -1, 0, 0},
                                         ExpandCase{"cut_short", false, 0, 40, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

// OpenEXR compresses and expands blocks on several threads at once, at one
// level per file: each thread's streams must come back whole.
TEST(ZlibBufferCalls, ThreadsAtDifferentLevelsEachGetTheirOwnStreamsBack) {
    ASSERT_NE(Zlib().uncompress, nullptr);
    constexpr int LEVELS[] = {1, 6, 9, 1};
    std::vector<int> failures(std::size(LEVELS), 0);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < std::size(LEVELS); ++t) {
        threads.emplace_back([t, &LEVELS, &failures] {
            for (int round = 0; round < 20; ++round) {
                const Bytes source = Samples(20000 + 1000 * t + static_cast<size_t>(round));
                Bytes packed(compressBound(source.size()));
                uLongf packed_size = packed.size();
                Bytes back(source.size());
                uLongf back_size = back.size();
                const bool whole =
                    compress2(packed.data(), &packed_size, source.data(), source.size(), LEVELS[t]) == Z_OK &&
                    uncompress(back.data(), &back_size, packed.data(), packed_size) == Z_OK && back == source;
                failures[t] += whole ? 0 : 1;
            }
        });
    }
    for (std::thread &thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures, std::vector<int>(std::size(LEVELS), 0));
}

// The program exports the three, or the image library's OpenEXR would bind
// to zlib's and every EXR frame would quietly take twice as long.
TEST(ZlibBufferCalls, TheToolExportsThem) {
    const std::string command = std::string("nm -D --defined-only '") + ZONARA_TOOL_PATH + "'";
    std::FILE *pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string symbols;
    char buffer[4096];
    while (const size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) {
        symbols.append(buffer, read);
    }
    ASSERT_EQ(::pclose(pipe), 0) << command;
    for (const char *name : {" compress2\n", " compress\n", " uncompress\n"}) {
        EXPECT_NE(symbols.find(name), std::string::npos) << name;
    }
}

}  // namespace
