// ASC CDL files through the built tool: a side's grade exported and read
// back renders bit for bit as before; the shapes of file in circulation are
// read; and damaged or hostile files are refused with status 2, a message
// naming the file and what is wrong, and nothing written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/tool_runner.h"
#include "tools/base/message_text.h"
#include "tools/params/cdl_file_writer.h"
#include "tools/params/side_grade.h"

namespace {

using OIIO::TypeDesc;
using tool_test::RunTool;
using tool_test::ScratchDir;
using zonara_tool::QuotedForMessage;

using zonara_test::WriteText;

using tool_test::Join;

// --- round trip ---------------------------------------------------------

struct RoundTrip {
    const char *name;
    const char *extension;  // of the CDL files
    const char *image;
    TypeDesc stored;
    std::vector<std::string> grade;  // --set of both sides' grades
};

// The window, kept on both renders; the grades go through the files.
const std::vector<std::string> WINDOW = {"--set",     "width=30", "--set",    "height=20", "--set",
                                         "feather=8", "--set",    "angle=15", "--set",     "clamp_out_black=off"};

bool SameSamples(const OIIO::ImageBuf &a, const OIIO::ImageBuf &b) {
    const auto &la = tool_test::LayoutOf(a);
    const std::size_t samples = static_cast<std::size_t>(la.width) * la.height * la.nchannels;
    const std::size_t bytes = samples * la.format.size();
    return la.width == tool_test::LayoutOf(b).width && std::memcmp(a.localpixels(), b.localpixels(), bytes) == 0;
}

class CdlRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(CdlRoundTrip, RenderIsBitIdenticalThroughTheFiles) {
    const RoundTrip &c = GetParam();
    ScratchDir dir;
    const std::string image = std::string("in.") + c.image;
    tool_test::WriteFile(tool_test::MakePattern(40, 28, 3, c.stored), dir / image, c.stored);
    const std::string inside = std::string("inside.") + c.extension;
    const std::string outside = std::string("outside.") + c.extension;
    for (const auto &[side, file] : {std::pair{"inside", inside}, std::pair{"outside", outside}}) {
        const auto exported = RunTool(dir, Join({"cdl", "export", "--side", side, "-o", file}, c.grade));
        ASSERT_EQ(exported.exit_status, 0) << exported.err;
    }
    const std::string out = std::string("out.") + c.image;
    const auto direct =
        RunTool(dir, Join(Join({"render", image, "-o", "direct." + std::string(c.image)}, WINDOW), c.grade));
    ASSERT_EQ(direct.exit_status, 0) << direct.err;
    const auto through =
        RunTool(dir, Join({"render", image, "-o", out, "--cdl-inside", inside, "--cdl-outside", outside}, WINDOW));
    ASSERT_EQ(through.exit_status, 0) << through.err;
    EXPECT_TRUE(SameSamples(tool_test::ReadFile(dir / ("direct." + std::string(c.image)), c.stored),
                            tool_test::ReadFile(dir / out, c.stored)));
}

// clang-format off
const std::vector<std::string> GRADE_A = {
    "--set", "in_red_gain=1.37",   "--set", "in_green_gain=0.81", "--set", "in_blue_gain=1.05",
    "--set", "in_gain=1.1",        "--set", "in_red_offset=0.07", "--set", "in_offset=-0.031",
    "--set", "in_red_gamma=1.3",   "--set", "in_blue_gamma=0.77", "--set", "out_gain=0.6",
    "--set", "out_green_offset=0.11", "--set", "out_green_gamma=2.2", "--set", "out_saturation=0.35"};
const std::vector<std::string> GRADE_B = {"--set", "in_saturation=1.6", "--set", "in_gamma=1",
                                          "--set", "in_green_gamma=0.41", "--set", "out_offset=0.2",
                                          "--set", "out_red_gain=3.3"};
// A master gamma: the powers written are products of two reciprocals.
const std::vector<std::string> GRADE_C = {"--set", "in_gamma=1.25", "--set", "in_red_gamma=0.9", "--set",
                                          "out_gamma=0.7", "--set", "out_blue_gamma=1.9", "--set", "out_gain=1.2"};

INSTANTIATE_TEST_SUITE_P(
    Kinds, CdlRoundTrip,
    ::testing::Values(RoundTrip{"cc_float", "cc", "exr", TypeDesc::FLOAT, GRADE_A},
                      RoundTrip{"ccc_8bit", "ccc", "png", TypeDesc::UINT8, GRADE_A},
                      RoundTrip{"cdl_16bit", "cdl", "tif", TypeDesc::UINT16, GRADE_B},
                      RoundTrip{"cc_float_saturation", "cc", "exr", TypeDesc::FLOAT, GRADE_B},
                      RoundTrip{"ccc_float_master_gamma", "ccc", "exr", TypeDesc::FLOAT, GRADE_C}),
    [](const ::testing::TestParamInfo<RoundTrip> &info) { return std::string(info.param.name); });

// Every single-precision value the export may write reads back as itself,
// and every power a gamma slider can reach is found exactly.
TEST(CdlNumbers, TextAndGammaComeBackExact) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> spread(-5.0f, 10.0f);
    std::uniform_real_distribution<float> gammas(0.1f, 10.0f);
    for (int i = 0; i < 200000; ++i) {
        const float value = spread(random);
        const std::string text = zonara_tool::FormatCdlNumber(value);
        ASSERT_EQ(static_cast<float>(std::stod(text)), value) << text;
        // A power the render can produce with neutral masters.
        const float gamma = gammas(random);
        const float power = static_cast<float>(1.0 / static_cast<double>(gamma));
        const float back = static_cast<float>(1.0 / static_cast<double>(static_cast<float>(
                                                  zonara_tool::GammaForPower(power))));
        ASSERT_EQ(back, power) << "gamma " << gamma;
    }
}
// clang-format on

// --- reading ------------------------------------------------------------

// Values read back through params --values.
nlohmann::json ValuesWith(const ScratchDir &dir, const std::vector<std::string> &cdl_args) {
    const auto result = RunTool(dir, Join({"params", "--values"}, cdl_args));
    EXPECT_EQ(result.exit_status, 0) << result.err;
    return nlohmann::json::parse(result.out);
}

const char *SOP_A = "<SOPNode><Slope>1.5 0.5 2</Slope><Offset>0.1 -0.2 0</Offset><Power>2 1 0.5</Power></SOPNode>";

struct Readable {
    const char *name;
    std::string file;
    std::string text;
    std::string reference;  // FILE[#ID] as given
    std::string side;       // in or out
};

class CdlReadable : public ::testing::TestWithParam<Readable> {};

TEST_P(CdlReadable, GivesTheSideItsValues) {
    const Readable &c = GetParam();
    ScratchDir dir;
    WriteText(dir / c.file, c.text);
    const nlohmann::json values =
        ValuesWith(dir, {"--cdl-" + std::string(c.side == "in" ? "inside" : "outside"), c.reference});
    const std::string s = c.side;
    EXPECT_EQ(values[s + "_red_gain"], 1.5);
    EXPECT_EQ(values[s + "_green_gain"], 0.5);
    EXPECT_EQ(values[s + "_red_offset"], 0.1);
    EXPECT_EQ(values[s + "_green_offset"], -0.2);
    EXPECT_EQ(values[s + "_red_gamma"], 0.5);
    EXPECT_EQ(values[s + "_blue_gamma"], 2.0);
    EXPECT_EQ(values[s + "_green_gamma"], 1.0);
    EXPECT_EQ(values[s + "_gain"], 1.0);
    EXPECT_EQ(values[s + "_offset"], 0.0);
    EXPECT_EQ(values[s + "_gamma"], 1.0);
    EXPECT_EQ(values["color_model"], "CDL compliant");
    EXPECT_EQ(values[s + "_saturation"], 1.0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Shapes, CdlReadable,
    ::testing::Values(
        Readable{"single", "a.cc", std::string("<ColorCorrection id='x'>") + SOP_A + "</ColorCorrection>", "a.cc",
                 "in"},
        Readable{"collection_by_id", "a.ccc",
                 std::string("<ColorCorrectionCollection xmlns='urn:ASC:CDL:v1.2'><ColorCorrection id='other'>"
                             "<SatNode><Saturation>0.5</Saturation></SatNode></ColorCorrection><ColorCorrection "
                             "id='shot_12'>") +
                     SOP_A + "</ColorCorrection></ColorCorrectionCollection>",
                 "a.ccc#shot_12", "out"},
        Readable{"decision_list", "a.cdl",
                 std::string("<?xml version='1.0' encoding='UTF-8'?><ColorDecisionList><ColorDecision>"
                             "<ColorCorrection>") +
                     SOP_A + "<SATNode><Saturation>1</Saturation></SATNode></ColorCorrection></ColorDecision>"
                             "</ColorDecisionList>",
                 "a.cdl", "in"},
        Readable{"prefixed_names", "a.cc",
                 "<cdl:ColorCorrection xmlns:cdl='urn:ASC:CDL:v1.01'><cdl:SOPNode><cdl:Slope> 1.5\n0.5\t2 "
                 "</cdl:Slope><cdl:Offset>0.1 -0.2 0</cdl:Offset><cdl:Power>2 1 0.5</cdl:Power></cdl:SOPNode>"
                 "</cdl:ColorCorrection>",
                 "a.cc", "out"},
        Readable{"hash_in_file_name", "take#2.cc", std::string("<ColorCorrection>") + SOP_A + "</ColorCorrection>",
                 "take#2.cc", "in"},
        Readable{"hash_in_id", "a.ccc",
                 std::string("<ColorCorrectionCollection><ColorCorrection id='sh010#1'><SatNode><Saturation>0.5"
                             "</Saturation></SatNode></ColorCorrection><ColorCorrection id='sh010#2'>") +
                     SOP_A + "</ColorCorrection></ColorCorrectionCollection>",
                 "a.ccc#sh010#2", "out"},
        // Text pieces joined across CDATA, comments and processing
        // instructions, as OpenColorIO joins them.
        Readable{"cdata_comments_pi", "a.cc",
                 "<ColorCorrection><SOPNode><Slope><![CDATA[1.5]]> 0.5 2</Slope><Offset>0.1<!-- c --> -0.2"
                 "<!-- a --> <!-- b -->0</Offset><Power>2 1<?note x?> 0.<![CDATA[5]]></Power></SOPNode>"
                 "</ColorCorrection>",
                 "a.cc", "in"},
        Readable{"by_position_without_id", "a.ccc",
                 std::string("<ColorCorrectionCollection><ColorCorrection id='[2]'><SatNode><Saturation>0.5"
                             "</Saturation></SatNode></ColorCorrection><ColorCorrection>") +
                     SOP_A + "</ColorCorrection></ColorCorrectionCollection>",
                 "a.ccc#[2]", "out"},
        Readable{"hash_in_file_name_and_id", "take#2.ccc",
                 std::string("<ColorCorrectionCollection><ColorCorrection id='a#b'>") + SOP_A +
                     "</ColorCorrection><ColorCorrection id='b'><SatNode><Saturation>0.5</Saturation></SatNode>"
                     "</ColorCorrection></ColorCorrectionCollection>",
                 "take#2.ccc#a#b", "in"}),
    [](const ::testing::TestParamInfo<Readable> &info) { return std::string(info.param.name); });

// --- refusals -------------------------------------------------------------

struct Refused {
    const char *name;
    std::string text;            // the file's content
    std::string reference;       // as given to --cdl-inside; the file is bad.cc
    std::vector<std::string> words;  // each must appear in the message
};
// clang-format on

// Billion laughs: each entity ten of the one before.
std::string EntityBomb() {
    std::string text = "<?xml version='1.0'?><!DOCTYPE lolz [<!ENTITY lol0 'lol'>";
    for (int i = 1; i < 10; ++i) {
        text += "<!ENTITY lol" + std::to_string(i) + " '";
        for (int j = 0; j < 10; ++j) text += "&lol" + std::to_string(i - 1) + ";";
        text += "'>";
    }
    return text +
           "]><ColorCorrection><SOPNode><Slope>&lol9; 1 1</Slope><Offset>0 0 0</Offset>"
           "<Power>1 1 1</Power></SOPNode></ColorCorrection>";
}

std::string Correction(const std::string &sop) { return "<ColorCorrection id='c1'>" + sop + "</ColorCorrection>"; }

// A collection of `count` corrections, ids x0, x1 and on.
std::string ManyCorrections(int count) {
    std::string text = "<ColorCorrectionCollection>";
    for (int i = 0; i < count; ++i) {
        text += "<ColorCorrection id='x" + std::to_string(i) +
                "'><SatNode><Saturation>1</Saturation></SatNode>"
                "</ColorCorrection>";
    }
    return text + "</ColorCorrectionCollection>";
}

class CdlRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(CdlRefused, StatusTwoNamingTheProblemAndNothingWritten) {
    const Refused &c = GetParam();
    ScratchDir dir;
    WriteText(dir / "bad.cc", c.text);
    // The chart to a PAM: no image library is loaded before the refusal.
    for (const auto &command :
         {std::vector<std::string>{"render", "-o", "out.pam"}, std::vector<std::string>{"params", "--values"},
          std::vector<std::string>{"cdl", "export", "--side", "inside", "-o", "out.cc"}}) {
        const auto result = RunTool(dir, Join(command, {"--cdl-inside", c.reference.empty() ? "bad.cc" : c.reference}));
        EXPECT_EQ(result.exit_status, 2) << command[0];
        EXPECT_TRUE(result.out.empty()) << command[0] << ": " << result.out.substr(0, 200);
        for (const std::string &word : c.words) {
            EXPECT_NE(result.err.find(word), std::string::npos) << command[0] << ": " << result.err;
        }
        EXPECT_EQ(dir.Files(), std::vector<std::string>{"bad.cc"}) << command[0];
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Damaged, CdlRefused,
    ::testing::Values(
        Refused{"missing_power", Correction("<SOPNode><Slope>1 1 1</Slope><Offset>0 0 0</Offset></SOPNode>"), "",
                {"bad.cc", "'c1'", "<Power>"}},
        Refused{"two_numbers", Correction("<SOPNode><Slope>1 1</Slope><Offset>0 0 0</Offset><Power>1 1 1</Power></SOPNode>"),
                "", {"bad.cc", "<Slope>", "holds 2 numbers; expected 3"}},
        Refused{"four_numbers", Correction("<SOPNode><Slope>1 1 1</Slope><Offset>0 0 0 0</Offset><Power>1 1 1</Power></SOPNode>"),
                "", {"<Offset>", "more than 3"}},
        Refused{"after_a_comment", Correction("<SOPNode><Slope>1 1 1<!-- note -->9 9 9</Slope><Offset>0 0 0</Offset><Power>1 1 1</Power></SOPNode>"),
                "", {"<Slope>", "more than 3 numbers"}},
        Refused{"element_among_numbers", Correction("<SOPNode><Slope>1 <b/>1 1</Slope><Offset>0 0 0</Offset><Power>1 1 1</Power></SOPNode>"),
                "", {"<Slope> holds an element, <b>,"}},
        Refused{"one_number", Correction("<SOPNode><Slope>1</Slope><Offset>0 0 0</Offset><Power>1 1 1</Power></SOPNode>"),
                "", {"<Slope> holds 1 number; expected 3"}},
        Refused{"text_for_number", Correction("<SOPNode><Slope>1 one 1</Slope><Offset>0 0 0</Offset><Power>1 1 1</Power></SOPNode>"),
                "", {"<Slope>", "'one' is not a number"}},
        Refused{"nan", Correction("<SatNode><Saturation>nan</Saturation></SatNode>"), "",
                {"<Saturation>", "not a number"}},
        Refused{"no_nodes", Correction("<Description>empty</Description>"), "",
                {"neither <SOPNode> nor <SatNode>"}},
        Refused{"sat_without_value", Correction("<SatNode></SatNode>"), "", {"<SatNode> has no <Saturation>"}},
        Refused{"twice", Correction("<SatNode><Saturation>1</Saturation><Saturation>2</Saturation></SatNode>"), "",
                {"more than one <Saturation>"}},
        Refused{"slope_too_large", Correction("<SOPNode><Slope>1 12 1</Slope><Offset>0 0 0</Offset><Power>1 1 1</Power></SOPNode>"),
                "", {"bad.cc", "<Slope> green 12", "in_green_gain", "0 to 10"}},
        Refused{"power_zero", Correction("<SOPNode><Slope>1 1 1</Slope><Offset>0 0 0</Offset><Power>1 1 0</Power></SOPNode>"),
                "", {"bad.cc", "<Power> blue 0", "at least 0.1", "in_blue_gamma"}},
        Refused{"power_too_small", Correction("<SOPNode><Slope>1 1 1</Slope><Offset>0 0 0</Offset><Power>0.05 1 1</Power></SOPNode>"),
                "", {"<Power> red 0.05", "at least 0.1"}},
        Refused{"negative_power", Correction("<SOPNode><Slope>1 1 1</Slope><Offset>0 0 0</Offset><Power>1 -2 1</Power></SOPNode>"),
                "", {"<Power> green -2"}},
        Refused{"offset_too_large", Correction("<SOPNode><Slope>1 1 1</Slope><Offset>0 0 6</Offset><Power>1 1 1</Power></SOPNode>"),
                "", {"<Offset> blue 6", "-5 to 5"}},
        Refused{"saturation_negative", Correction("<SatNode><Saturation>-1</Saturation></SatNode>"), "",
                {"<Saturation>", "in_saturation", "0 to 10"}},
        Refused{"entity_expansion", EntityBomb(), "", {"bad.cc", "DOCTYPE"}},
        Refused{"external_entity",
                "<!DOCTYPE c [<!ENTITY x SYSTEM 'file:///etc/passwd'>]><ColorCorrection><SatNode><Saturation>&x;"
                "</Saturation></SatNode></ColorCorrection>",
                "", {"DOCTYPE"}},
        Refused{"not_xml", "slope 1 1 1\n", "", {"bad.cc", "not well-formed XML"}},
        Refused{"truncated", "<ColorCorrection><SOPNode><Slope>1 1 1</Sl", "", {"not well-formed XML"}},
        Refused{"empty", "", "", {"bad.cc"}},
        Refused{"other_root", "<LUT><Slope>1 1 1</Slope></LUT>", "", {"not an ASC CDL file", "<LUT>"}},
        Refused{"reference_elsewhere",
                "<ColorDecisionList><ColorDecision><ColorCorrectionRef ref='a'/></ColorDecision></ColorDecisionList>",
                "", {"<ColorCorrectionRef>", "'a'"}},
        Refused{"empty_collection", "<ColorCorrectionCollection/>", "", {"holds no <ColorCorrection>"}},
        Refused{"duplicate_ids",
                "<ColorCorrectionCollection>" + Correction("<SatNode><Saturation>1</Saturation></SatNode>") +
                    Correction("<SatNode><Saturation>0.5</Saturation></SatNode>") + "</ColorCorrectionCollection>",
                "bad.cc#c1", {"bad.cc", "more than one correction with id 'c1'"}},
        Refused{"several_without_id",
                "<ColorCorrectionCollection>" + Correction("<SatNode><Saturation>1</Saturation></SatNode>") +
                    "<ColorCorrection id='c2'><SatNode><Saturation>1</Saturation></SatNode></ColorCorrection>"
                    "</ColorCorrectionCollection>",
                "", {"holds 2 corrections", "'c1', 'c2'", "#ID", "bad.cc#[N]"}},
        Refused{"many_listed_short", ManyCorrections(25), "bad.cc#x" + std::string(100, 'y'),
                {"'x0', 'x1',", "'x9' and 15 more", "'xyyy", "(101 bytes)"}},
        Refused{"position_beyond", ManyCorrections(3), "bad.cc#[4]", {"no correction '[4]'", "[1] to [3]"}},
        Refused{"position_zero", ManyCorrections(3), "bad.cc#[0]", {"no correction '[0]'"}},
        Refused{"unknown_id", Correction("<SatNode><Saturation>1</Saturation></SatNode>"), "bad.cc#c9",
                {"no correction with id 'c9'", "'c1'"}},
        Refused{"missing_file", "", "absent.cc", {"absent.cc", "no such file"}}),
    [](const ::testing::TestParamInfo<Refused> &info) { return std::string(info.param.name); });

TEST(CdlRefusedLarge, AFileOfAHundredMegabytesIsNotRead) {
    ScratchDir dir;
    {
        std::ofstream(dir / "huge.ccc", std::ios::binary) << "<ColorCorrectionCollection>";
    }
    std::filesystem::resize_file(dir / "huge.ccc", 100u << 20);  // sparse: costs no disk
    const auto result = RunTool(dir, {"render", "-o", "out.png", "--cdl-outside", "huge.ccc"});
    EXPECT_EQ(result.exit_status, 2);
    EXPECT_NE(result.err.find("huge.ccc"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("MiB"), std::string::npos) << result.err;
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"huge.ccc"});
}
// clang-format on

// --- export refusals and warnings ------------------------------------------

TEST(CdlExport, LegacyGammaIsRefusedAndSaturationWarned) {
    ScratchDir dir;
    const auto legacy = RunTool(dir, {"cdl", "export", "--side", "outside", "--set", "color_model=legacy", "--set",
                                      "out_blue_gamma=1.8", "-o", "x.cc"});
    EXPECT_EQ(legacy.exit_status, 2);
    EXPECT_NE(legacy.err.find("Legacy"), std::string::npos) << legacy.err;
    EXPECT_NE(legacy.err.find("blue gamma is 1.8"), std::string::npos) << legacy.err;
    EXPECT_TRUE(dir.Files().empty());

    // Legacy without a gamma is the same formula, and is written.
    const auto plain = RunTool(dir, {"cdl", "export", "--side", "outside", "--set", "color_model=legacy", "--set",
                                     "in_gamma=3", "-o", "plain.cc"});
    EXPECT_EQ(plain.exit_status, 0) << plain.err;

    const auto saturated = RunTool(
        dir, {"cdl", "export", "--side", "inside", "--set", "in_saturation=0.4", "-o", "s.cdl", "--id", "sh010"});
    EXPECT_EQ(saturated.exit_status, 0) << saturated.err;
    EXPECT_NE(saturated.err.find("warning: saturation 0.4"), std::string::npos) << saturated.err;
    const std::string text = tool_test::ReadText(dir / "s.cdl");
    EXPECT_NE(text.find("<ColorCorrection id=\"sh010\">"), std::string::npos) << text;
    EXPECT_NE(text.find("inside the window"), std::string::npos) << text;

    const auto bad_name = RunTool(dir, {"cdl", "export", "--side", "inside", "-o", "look.xml"});
    EXPECT_EQ(bad_name.exit_status, 2);
    const auto bad_side = RunTool(dir, {"cdl", "export", "--side", "middle", "-o", "look.cc"});
    EXPECT_EQ(bad_side.exit_status, 2);
    EXPECT_EQ(dir.Files(), (std::vector<std::string>{"plain.cc", "s.cdl"}));
}

// An id an XML file cannot hold is refused, and nothing written.
TEST(CdlExport, IdsXmlCannotHoldAreRefused) {
    ScratchDir dir;
    for (const std::string &id : {std::string(), std::string("a\tb"), std::string("a\x01b"), std::string("\x7F"),
                                  std::string("\xC3"), std::string("ok\xFFok"), std::string("\xEF\xBF\xBE")}) {
        const auto result = RunTool(dir, {"cdl", "export", "--side", "inside", "--id", id, "-o", "x.cc"});
        EXPECT_EQ(result.exit_status, 2) << QuotedForMessage(id);
        EXPECT_NE(result.err.find("--id"), std::string::npos) << result.err;
    }
    EXPECT_TRUE(dir.Files().empty());
}

// A side's controls whose folding leaves what the import takes are
// refused by name; a power no single gamma reaches is written with a
// warning. Nothing is written on a refusal.
struct ExportLimit {
    const char *name;
    std::vector<std::string> sets;
    int status;
    std::vector<std::string> words;
};

class CdlExportLimits : public ::testing::TestWithParam<ExportLimit> {};

TEST_P(CdlExportLimits, WritesOnlyWhatReadsBack) {
    const ExportLimit &c = GetParam();
    ScratchDir dir;
    const auto result = RunTool(dir, Join({"cdl", "export", "--side", "inside", "-o", "x.cc"}, c.sets));
    EXPECT_EQ(result.exit_status, c.status) << result.err;
    for (const std::string &word : c.words) {
        EXPECT_NE(result.err.find(word), std::string::npos) << result.err;
    }
    EXPECT_EQ(dir.Files(), c.status == 0 ? std::vector<std::string>{"x.cc"} : std::vector<std::string>{});
    if (c.status == 0) {
        // What was written reads back.
        EXPECT_EQ(RunTool(dir, {"params", "--values", "--cdl-inside", "x.cc"}).exit_status, 0);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Folded, CdlExportLimits,
    ::testing::Values(
        ExportLimit{"slope", {"--set", "in_gain=10", "--set", "in_red_gain=10"}, 2,
                    {"red slope would be 100", "in_gain x in_red_gain", "in_red_gain: 0 to 10"}},
        ExportLimit{"offset", {"--set", "in_offset=5", "--set", "in_blue_offset=5"}, 2,
                    {"blue offset would be 10", "in_offset + in_blue_offset", "-5 to 5"}},
        ExportLimit{"power", {"--set", "in_gamma=10", "--set", "in_green_gamma=10"}, 2,
                    {"green power would be 0.01", "1 / (in_gamma x in_green_gamma)", "at least 0.1"}},
        ExportLimit{"unreached_power", {"--set", "in_gamma=1.1", "--set", "in_red_gamma=1.2"}, 0,
                    {"warning: the inside red power", "reached by no single gamma"}},
        ExportLimit{"at_the_limits", {"--set", "in_gain=2", "--set", "in_red_gain=5", "--set", "in_offset=-2.5",
                                      "--set", "in_red_offset=-2.5", "--set", "in_gamma=5", "--set", "in_red_gamma=2"},
                    0, {}}),
    [](const ::testing::TestParamInfo<ExportLimit> &info) { return std::string(info.param.name); });

// The colour model is shared: a CDL file for one side switches a Legacy
// look's other side to the CDL formula, which the user is told, naming that
// side; nothing is said where the other side renders alike in both models.
struct SharedModel {
    const char *name;
    std::string preset;
    std::vector<std::string> args;
    bool warned;
};
// clang-format on

class CdlSharedModel : public ::testing::TestWithParam<SharedModel> {};

TEST_P(CdlSharedModel, SaysWhenTheOtherSideChanges) {
    const SharedModel &c = GetParam();
    ScratchDir dir;
    WriteText(dir / "look.json", c.preset);
    WriteText(dir / "sop.cc", Correction(SOP_A));
    tool_test::WriteFile(tool_test::MakePattern(8, 4, 3, TypeDesc::UINT8), dir / "in.png", TypeDesc::UINT8);
    for (const auto &command : {std::vector<std::string>{"render", "in.png", "-o", "out.png"},
                                std::vector<std::string>{"handles", "--json"}}) {
        const auto result = RunTool(dir, Join(Join(command, {"--preset", "look.json"}), c.args));
        EXPECT_EQ(result.exit_status, 0) << result.err;
        const bool warned = result.err.find(
                                "the outside grade, made in the Legacy model, now renders by the CDL "
                                "formula") != std::string::npos;
        EXPECT_EQ(warned, c.warned) << command[0] << ": " << result.err;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Looks, CdlSharedModel,
    ::testing::Values(
        SharedModel{"legacy_gamma", R"({"color_model": "Legacy", "out_gamma": 1.6})", {"--cdl-inside", "sop.cc"}, true},
        SharedModel{"legacy_offset", R"({"color_model": "Legacy", "out_green_offset": 0.1})",
                    {"--cdl-inside", "sop.cc"}, true},
        SharedModel{"legacy_gain_only", R"({"color_model": "Legacy", "out_gain": 0.5})", {"--cdl-inside", "sop.cc"},
                    false},
        SharedModel{"cdl_look", R"({"out_gamma": 1.6})", {"--cdl-inside", "sop.cc"}, false},
        SharedModel{"both_sides_files", R"({"color_model": "Legacy", "out_gamma": 1.6})",
                    {"--cdl-inside", "sop.cc", "--cdl-outside", "sop.cc"}, false},
        SharedModel{"model_set_after", R"({"color_model": "Legacy", "out_gamma": 1.6})",
                    {"--cdl-inside", "sop.cc", "--set", "color_model=legacy"}, false}),
    [](const ::testing::TestParamInfo<SharedModel> &info) { return std::string(info.param.name); });

}  // namespace
// clang-format on
