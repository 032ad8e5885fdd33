// The tool's compress2/compress/uncompress (libdeflate, handing the rest to
// zlib) held to zlib's own functions case by case: the same result codes,
// the same expanded bytes, and streams zlib's own uncompress reads back.
#include <dlfcn.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<Bytef>;

// zlib's own functions, looked up in zlib itself: in this program the names
// resolve to the tool's.
template <typename Function>
Function ZlibsOwn(const char *name) {
    static void *const zlib = ::dlopen("libz.so.1", RTLD_NOW | RTLD_LOCAL);
    return zlib != nullptr ? reinterpret_cast<Function>(::dlsym(zlib, name)) : nullptr;
}
struct {
    int (*compress2)(Bytef *, uLongf *, const Bytef *, uLong, int);
    int (*uncompress)(Bytef *, uLongf *, const Bytef *, uLong);
} const ZLIB{ZlibsOwn<decltype(ZLIB.compress2)>("compress2"), ZlibsOwn<decltype(ZLIB.uncompress)>("uncompress")};

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
    EXPECT_EQ(ZLIB.compress2(out.data(), &size, source.data(), source.size(), level), Z_OK);
    out.resize(size);
    return out;
}

TEST(ZlibBufferCalls, CompressLikeZlib) {
    ASSERT_NE(ZLIB.compress2, nullptr);
    const struct {
        const char *name;
        size_t size;
        int level;
        bool room;  // else half of what the stream needs
    } cases[] = {{"default_level", 100000, Z_DEFAULT_COMPRESSION, true},
                 {"fastest", 100000, 1, true},
                 {"best", 100000, 9, true},
                 {"stored_by_zlib", 5000, 0, true},
                 {"level_out_of_range", 5000, 12, true},
                 {"empty", 0, 1, true},
                 {"output_too_small", 100000, 1, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes source = Samples(c.size);
        const size_t room = c.room ? compressBound(c.size) : OwnCompressed(source, c.level).size() / 2;
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
        ASSERT_EQ(code, ZLIB.compress2(theirs.data(), &theirs_size, input, source.size(), c.level));
        if (code != Z_OK) {
            // zlib's answer whole: what it wrote and the size it left.
            EXPECT_EQ(ours_size, theirs_size);
            EXPECT_EQ(ours, theirs);
            continue;
        }
        Bytes back(c.size + 1);
        uLongf back_size = back.size();
        ASSERT_EQ(ZLIB.uncompress(back.data(), &back_size, ours.data(), ours_size), Z_OK);
        back.resize(back_size);
        EXPECT_EQ(back, source);
    }
}

TEST(ZlibBufferCalls, UncompressLikeZlib) {
    ASSERT_NE(ZLIB.uncompress, nullptr);
    const struct {
        const char *name;
        long damaged;  // the byte flipped, from the end when negative; 0: none
        int cut;       // bytes cut from the end of the stream
        int room;      // output room over the source size
    } cases[] = {{"whole", 0, 0, 0},          {"room_to_spare", 0, 0, 100}, {"too_little_room", 0, 0, -1},
                 {"header_damaged", 1, 0, 0}, {"block_damaged", 100, 0, 0}, {"checksum_damaged", -1, 0, 0},
                 {"cut_short", 0, 40, 0}};
    const Bytes source = Samples(70000);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Bytes stream = OwnCompressed(source, 6);
        if (c.damaged != 0) {
            stream[static_cast<size_t>(c.damaged > 0 ? c.damaged : static_cast<long>(stream.size()) + c.damaged)] ^=
                0x5a;
        }
        stream.resize(stream.size() - static_cast<size_t>(c.cut));
        const size_t room = static_cast<size_t>(static_cast<long>(source.size()) + c.room);
        Bytes ours(room, 0xee);
        Bytes theirs(room, 0xee);
        uLongf ours_size = room;
        uLongf theirs_size = room;
        const int code = uncompress(ours.data(), &ours_size, stream.data(), stream.size());
        ASSERT_EQ(code, ZLIB.uncompress(theirs.data(), &theirs_size, stream.data(), stream.size()));
        EXPECT_EQ(ours_size, theirs_size);
        EXPECT_EQ(ours, theirs);
    }
}

// OpenEXR compresses and expands blocks on several threads at once, at one
// level per file: each thread's streams must come back whole.
TEST(ZlibBufferCalls, ThreadsAtDifferentLevelsEachGetTheirOwnStreamsBack) {
    ASSERT_NE(ZLIB.uncompress, nullptr);
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
// to zlib's and every EXR frame would quietly take much longer.
TEST(ZlibBufferCalls, TheToolExportsThem) {
    const std::string command = std::string("test \"$(nm -D --defined-only '") + ZONARA_TOOL_PATH +
                                "' | awk '$3 == \"compress2\" || $3 == \"compress\" || $3 == \"uncompress\"' "
                                "| wc -l)\" -eq 3";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

}  // namespace
