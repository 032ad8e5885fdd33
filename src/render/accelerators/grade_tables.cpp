#include "render/accelerators/grade_tables.h"

#include "render/formula/color_grade.h"
#include "render/formula/pixel_codecs.h"

namespace zonara {
namespace {

SideTableKind KindFor(const WindowRenderParams &record, const EffectiveGrade &side) {
    const bool saturation_runs = GradeEnabled(record) && record.mix > 0.0f && side.apply_saturation;
    return saturation_runs ? SideTableKind::GRADED_VALUES : SideTableKind::OUTPUT_CODES;
}

template <class Codec>
void BuildTables(const WindowRenderParams &record, GradeTables &tables) {
    const int count = Codec::MAX_CODE + 1;
    tables.code_count = count;
    const std::size_t side_size = static_cast<std::size_t>(CHANNEL_COUNT) * count;

    std::size_t codes_needed = 0;
    std::size_t values_needed = 0;
    for (int side = 0; side < 2; ++side) {
        tables.kind[side] = KindFor(record, record.side_grade[side]);
        (tables.kind[side] == SideTableKind::OUTPUT_CODES ? codes_needed : values_needed) += side_size;
    }
    tables.decoded_storage.resize(static_cast<std::size_t>(count));
    for (int code = 0; code < count; ++code) {
        tables.decoded_storage[static_cast<std::size_t>(code)] = Codec::Decode(static_cast<unsigned>(code));
    }
    tables.decoded = tables.decoded_storage.data();
    tables.code_storage.assign(codes_needed, 0);
    tables.value_storage.assign(values_needed, 0.0f);

    std::uint16_t *next_codes = tables.code_storage.data();
    float *next_values = tables.value_storage.data();
    for (int side = 0; side < 2; ++side) {
        const float weight = side == SIDE_INSIDE ? 1.0f : 0.0f;
        const EffectiveGrade &grade = record.side_grade[side];
        if (tables.kind[side] == SideTableKind::OUTPUT_CODES) {
            std::uint16_t *codes = next_codes;
            next_codes += side_size;
            tables.output_codes[side] = codes;
            tables.graded_values[side] = nullptr;
            for (int code = 0; code < count; ++code) {
                const float value = Codec::Decode(static_cast<unsigned>(code));
                // Without saturation the channels do not meet, so one grey
                // pixel per code fills all three channels at once.
                const FloatPixel result = GradePixelAtWeight(record, weight, FloatPixel{0.0f, value, value, value});
                codes[0 * count + code] = Codec::Encode(result.red);
                codes[1 * count + code] = Codec::Encode(result.green);
                codes[2 * count + code] = Codec::Encode(result.blue);
            }
            bool unchanged = true;
            for (int k = 0; k < CHANNEL_COUNT; ++k) {
                for (int code = 0; code < count; ++code) {
                    unchanged = unchanged && codes[k * count + code] == code;
                }
            }
            tables.codes_unchanged[side] = unchanged;
        } else {
            float *values = next_values;
            next_values += side_size;
            tables.graded_values[side] = values;
            tables.output_codes[side] = nullptr;
            tables.codes_unchanged[side] = false;
            for (int k = 0; k < CHANNEL_COUNT; ++k) {
                const ChannelGrade &channel = grade.channel[k];
                for (int code = 0; code < count; ++code) {
                    const float value = Codec::Decode(static_cast<unsigned>(code));
                    values[k * count + code] = channel.identity ? value : GradeChannel(record, channel, value);
                }
            }
        }
    }
}

}  // namespace

void BuildGradeTables8(const WindowRenderParams &record, GradeTables &tables) { BuildTables<Codec8>(record, tables); }

void BuildGradeTables16(const WindowRenderParams &record, GradeTables &tables) { BuildTables<Codec16>(record, tables); }

void AttachSaturationMemo(std::size_t pixel_count, GradeTables &tables) {
    const bool saturation_side = tables.kind[SIDE_INSIDE] == SideTableKind::GRADED_VALUES ||
                                 tables.kind[SIDE_OUTSIDE] == SideTableKind::GRADED_VALUES;
    if (tables.code_count != Codec8::MAX_CODE + 1 || !saturation_side) return;
    if (pixel_count < MEMO_WORTH_CLEARING_FROM_PIXELS) return;
    tables.memo.Allocate();
}

bool TablesPayOff(std::size_t pixel_count, int code_count) {
    return pixel_count >= PIXELS_PER_TABLE_ENTRY_WORTH_BUILDING * static_cast<std::size_t>(code_count);
}

}  // namespace zonara
