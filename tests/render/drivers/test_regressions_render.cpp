// Faults found by fuzzing the render command, kept from coming back.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/drivers/iterate_float_rows.h"

namespace {

// A buffer described to the loop exactly as a host would, over storage that
// ends where the pixels end, so that any read past them is an
// AddressSanitizer report and any misaligned float read a UBSan one.
struct RawBuffer {
    std::vector<std::uint32_t> storage;  // 4-byte aligned backing
    PF_LayerDef def{};

    RawBuffer(int width, int height, A_long rowbytes, std::size_t byte_offset = 0) {
        const std::size_t bytes = static_cast<std::size_t>(height) * static_cast<std::size_t>(rowbytes) + byte_offset;
        storage.resize((bytes + 3) / 4);
        def.width = width;
        def.height = height;
        def.rowbytes = rowbytes;
        def.data = reinterpret_cast<PF_PixelPtr>(reinterpret_cast<std::uint8_t *>(storage.data()) + byte_offset);
        def.extent_hint = {0, 0, width, height};
    }
};

constexpr A_long FLOAT_PIXEL = sizeof(PF_PixelBGRA32f);

PF_Err TouchBoth(void *refcon, A_long, A_long, PF_PixelBGRA32f *in, PF_PixelBGRA32f *out) {
    ++*static_cast<int *>(refcon);
    *out = *in;
    return PF_Err_NONE;
}

// A source that is not in the output's float format (a host that sent
// another format, or lied about it): at most the pixels its rows can hold
// are read, and nothing at all from memory floats may not lie in.
TEST(RegressionIterateFloatRows, SourceOfAnotherFormatIsNeverOverreadNorMisread) {
    struct Case {
        const char *name;
        int src_width, src_height;
        A_long src_rowbytes;
        std::size_t src_offset;
        int expect_visits;
    } cases[] = {
        // 8 bytes a pixel, one row: its 16 pixels hold 8 float pixels.
        {"16-bit row read as float", 16, 1, 16 * 8, 0, 8},
        // 4 bytes a pixel: 10 pixels hold 2 whole float pixels.
        {"8-bit row read as float", 10, 1, 10 * 4, 0, 2},
        {"rows padded to an odd length", 4, 3, 4 * 16 + 2, 0, 0},
        {"pixels starting off float alignment", 4, 2, 4 * 16, 2, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RawBuffer source(c.src_width, c.src_height, c.src_rowbytes, c.src_offset);
        RawBuffer output(16, c.src_height, 16 * FLOAT_PIXEL);
        int visits = 0;
        EXPECT_EQ(zonara::IterateFloatRows(0, c.src_height, &source.def, &visits, TouchBoth, &output.def), PF_Err_NONE);
        EXPECT_EQ(visits, c.expect_visits);
    }
}

TEST(RegressionIterateFloatRows, MisalignedOutputIsLeftAlone) {
    RawBuffer source(4, 2, 4 * FLOAT_PIXEL);
    RawBuffer output(4, 2, 4 * FLOAT_PIXEL + 1);
    int visits = 0;
    EXPECT_EQ(zonara::IterateFloatRows(0, 2, &source.def, &visits, TouchBoth, &output.def), PF_Err_NONE);
    EXPECT_EQ(visits, 0);
}

}  // namespace
