// The host records and tables as a real host lays them out. The compile-time
// checks hold every offset; these tests hold what a reader of the hosts' own
// headers compares first (record sizes, and the slot of every callback the
// effect calls), and that `zonara abi` reports the compiled layout whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>

#include <nlohmann/json.hpp>

#include "pf_sdk.h"
#include "support/tool_runner.h"

namespace {

using nlohmann::json;

struct RecordSize {
    const char *name;
    std::size_t compiled;
    std::size_t published;
};

// The published sizes of the records the effect reads or writes, and of the
// tables it calls through, 64-bit.
TEST(HostLayout, RecordsTheEffectTouchesHaveThePublishedSizes) {
    const RecordSize cases[] = {
        {"PF_InData", sizeof(PF_InData), 408},
        {"PF_OutData", sizeof(PF_OutData), 408},
        {"PF_ParamDef", sizeof(PF_ParamDef), 176},
        {"PF_ParamDefUnion", sizeof(PF_ParamDefUnion), 120},
        {"PF_LayerDef", sizeof(PF_LayerDef), 120},
        {"PF_FloatSliderDef", sizeof(PF_FloatSliderDef), 88},
        {"PF_PointDef", sizeof(PF_PointDef), 20},
        {"PF_AngleDef", sizeof(PF_AngleDef), 16},
        {"PF_CheckBoxDef", sizeof(PF_CheckBoxDef), 16},
        {"PF_PopupDef", sizeof(PF_PopupDef), 16},
        {"PF_CustomUIInfo", sizeof(PF_CustomUIInfo), 44},
        {"PF_EventExtra", sizeof(PF_EventExtra), 208},
        {"PF_EventUnion", sizeof(PF_EventUnion), 64},
        {"PF_DoClickEventInfo", sizeof(PF_DoClickEventInfo), 64},
        {"PF_Context", sizeof(PF_Context), 72},
        {"PF_Pixel", sizeof(PF_Pixel), 4},
        {"PF_Pixel16", sizeof(PF_Pixel16), 8},
        {"PF_PixelFloat", sizeof(PF_PixelFloat), 16},
        {"PF_FixedPoint", sizeof(PF_FixedPoint), 8},
        {"DRAWBOT_ColorRGBA", sizeof(DRAWBOT_ColorRGBA), 16},
        {"DRAWBOT_PointF32", sizeof(DRAWBOT_PointF32), 8},
        {"PF_InteractCallbacks", sizeof(PF_InteractCallbacks), 176},
        {"PF_UtilCallbacks", sizeof(PF_UtilCallbacks), 552},
        {"PF_ANSICallbacksBlock", sizeof(PF_ANSICallbacksBlock), 160},
        {"PF_ANSICallbacksSuite1", sizeof(PF_ANSICallbacksSuite1), 152},
        {"PF_EventCallbacks", sizeof(PF_EventCallbacks), 72},
        {"SPBasicSuite", sizeof(SPBasicSuite), 56},
        {"PF_Iterate8Suite1", sizeof(PF_Iterate8Suite1), 40},
        {"PF_iterate16Suite1", sizeof(PF_iterate16Suite1), 24},
        {"PF_PixelFormatSuite1", sizeof(PF_PixelFormatSuite1), 64},
        {"PF_EffectCustomUISuite1", sizeof(PF_EffectCustomUISuite1), 8},
        {"PF_EffectCustomUIOverlayThemeSuite1", sizeof(PF_EffectCustomUIOverlayThemeSuite1), 64},
        {"DRAWBOT_DrawbotSuite1", sizeof(DRAWBOT_DrawbotSuite1), 16},
        {"DRAWBOT_SupplierSuite1", sizeof(DRAWBOT_SupplierSuite1), 104},
        {"DRAWBOT_SurfaceSuite1", sizeof(DRAWBOT_SurfaceSuite1), 136},
        {"DRAWBOT_PathSuite1", sizeof(DRAWBOT_PathSuite1), 48},
    };
    for (const RecordSize &c : cases) {
        EXPECT_EQ(c.compiled, c.published) << c.name;
    }
}

// Every callback the effect calls, at the slot a host fills.
TEST(HostLayout, EffectCallsEachCallbackThroughItsPublishedSlot) {
    struct Slot {
        const char *table;
        const char *entry;
        int slot;
    };
    const Slot cases[] = {
        {"PF_InteractCallbacks", "add_param", 2},
        {"PF_InteractCallbacks", "register_ui", 5},
        {"PF_UtilCallbacks", "ansi", 26},
        {"PF_ANSICallbacksBlock", "pow", 11},
        {"PF_ANSICallbacksBlock", "sprintf", 15},
        {"PF_ANSICallbacksBlock", "strcpy", 16},
        {"PF_ANSICallbacksSuite1", "sin", 12},
        {"PF_ANSICallbacksSuite1", "cos", 3},
        {"PF_ANSICallbacksSuite1", "fabs", 5},
        {"PF_ANSICallbacksSuite1", "sprintf", 15},
        {"PF_EventCallbacks", "layer_to_comp", 1},
        {"PF_EventCallbacks", "comp_to_layer", 2},
        {"PF_EventCallbacks", "source_to_frame", 5},
        {"PF_EventCallbacks", "frame_to_source", 6},
        {"SPBasicSuite", "AcquireSuite", 0},
        {"SPBasicSuite", "ReleaseSuite", 1},
        {"PF_Iterate8Suite1", "iterate", 0},
        {"PF_iterate16Suite1", "iterate", 0},
        {"PF_PixelFormatSuite1", "AddSupportedPixelFormat", 0},
        {"PF_PixelFormatSuite1", "ClearSupportedPixelFormats", 1},
        {"PF_PixelFormatSuite1", "GetPixelFormat", 4},
        {"PF_EffectCustomUISuite1", "PF_GetDrawingReference", 0},
        {"PF_EffectCustomUIOverlayThemeSuite1", "PF_StrokePath", 5},
        {"DRAWBOT_DrawbotSuite1", "GetSupplier", 0},
        {"DRAWBOT_DrawbotSuite1", "GetSurface", 1},
        {"DRAWBOT_SupplierSuite1", "NewPen", 0},
        {"DRAWBOT_SupplierSuite1", "NewPath", 6},
        {"DRAWBOT_SupplierSuite1", "ReleaseObject", 12},
        {"DRAWBOT_SurfaceSuite1", "StrokePath", 4},
        {"DRAWBOT_PathSuite1", "MoveTo", 0},
        {"DRAWBOT_PathSuite1", "LineTo", 1},
        {"DRAWBOT_PathSuite1", "AddArc", 4},
        {"DRAWBOT_PathSuite1", "Close", 5},
    };
    tool_test::ScratchDir dir;
    const tool_test::ToolResult result = tool_test::RunTool(dir, {"abi", "--json"});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    const json tables = json::parse(result.out).at("function_tables");
    for (const Slot &c : cases) {
        SCOPED_TRACE(std::string(c.table) + "." + c.entry);
        bool found = false;
        for (const json &entry : tables.at(c.table).at("entries")) {
            if (entry.at("name") == c.entry) {
                found = true;
                EXPECT_EQ(entry.at("slot"), c.slot);
                // Slots before `ansi` in the utilities are all pointers.
                if (std::string(c.table) != "PF_UtilCallbacks") {
                    EXPECT_EQ(entry.at("offset"), 8 * c.slot);
                }
            }
        }
        EXPECT_TRUE(found);
    }
}

// What `zonara abi` prints is a whole layout: in every record the members
// follow one another without overlapping, and no gap between them is wider
// than alignment explains, so no member can be missing from the listing.
TEST(HostLayout, AbiCommandListsEveryMemberWithoutGapsOrOverlaps) {
    tool_test::ScratchDir dir;
    const tool_test::ToolResult result = tool_test::RunTool(dir, {"abi", "--json"});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    const json layout = json::parse(result.out);
    EXPECT_EQ(layout.at("records").size(), 41u);
    EXPECT_EQ(layout.at("function_tables").size(), 18u);
    EXPECT_EQ(layout.at("constants").at("PF_Event_ADJUST_CURSOR"), 9);
    EXPECT_EQ(layout.at("constants").at("kPFIterate16Suite"), "PF iterate16 Suite");
    constexpr std::size_t WIDEST_ALIGNMENT = 8;
    for (const auto &[name, record] : layout.at("records").items()) {
        SCOPED_TRACE(name);
        const std::size_t size = record.at("size");
        std::size_t end = 0;
        const bool is_union = record.at("kind") == "union";
        for (const json &member : record.at("members")) {
            const std::size_t offset = member.at("offset");
            const std::size_t member_size = member.at("size");
            EXPECT_LE(offset + member_size, size) << member.at("member");
            if (is_union) {
                EXPECT_EQ(offset, 0u) << member.at("member");
            } else {
                EXPECT_GE(offset, end) << member.at("member") << " overlaps the member before it";
                EXPECT_LT(offset - end, WIDEST_ALIGNMENT) << "a gap before " << member.at("member");
            }
            end = std::max(end, offset + member_size);
        }
        EXPECT_LT(size - end, static_cast<std::size_t>(record.at("align"))) << "a gap at the end";
    }
    for (const auto &[name, table] : layout.at("function_tables").items()) {
        SCOPED_TRACE(name);
        int expected_slot = 0;
        std::size_t end = 0;
        for (const json &entry : table.at("entries")) {
            EXPECT_EQ(entry.at("slot"), expected_slot++);
            EXPECT_EQ(entry.at("offset"), end) << entry.at("name");
            end = entry.at("offset").get<std::size_t>() + entry.at("size").get<std::size_t>();
        }
        EXPECT_LT(table.at("size").get<std::size_t>() - end, WIDEST_ALIGNMENT);
    }
}

}  // namespace
