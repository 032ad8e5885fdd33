#include "tools/params/cdl_file_writer.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#if ZONARA_HAVE_CDL
#include <pugixml.hpp>
#endif

#include "tools/base/pending_output.h"
#include "tools/base/tool_error.h"

namespace zonara_tool {
namespace {

// The namespace most readers, old and new, expect.
constexpr const char *CDL_NAMESPACE = "urn:ASC:CDL:v1.01";

std::string ShortestText(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

}  // namespace

std::string FormatCdlNumber(double value) {
    const float single = static_cast<float>(value);
    if (static_cast<double>(single) != value) {
        return ShortestText(value);
    }
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, single);
    std::string shortest(text, result.ptr);
    // Readers take the text as a double; the shortest float text always
    // rounds back to the float from there, but check rather than trust it.
    if (static_cast<float>(std::strtod(shortest.c_str(), nullptr)) == single) {
        return shortest;
    }
    return ShortestText(value);
}

#if ZONARA_HAVE_CDL
namespace {

std::string Triple(const std::array<double, CDL_CHANNELS> &values) {
    return FormatCdlNumber(values[0]) + " " + FormatCdlNumber(values[1]) + " " + FormatCdlNumber(values[2]);
}

void AddCorrection(pugi::xml_node parent, const CdlCorrection &correction) {
    pugi::xml_node node = parent.append_child("ColorCorrection");
    if (!correction.id.empty()) {
        node.append_attribute("id") = correction.id.c_str();
    }
    if (!correction.description.empty()) {
        node.append_child("Description").text() = correction.description.c_str();
    }
    pugi::xml_node sop = node.append_child("SOPNode");
    sop.append_child("Slope").text() = Triple(correction.slope).c_str();
    sop.append_child("Offset").text() = Triple(correction.offset).c_str();
    sop.append_child("Power").text() = Triple(correction.power).c_str();
    node.append_child("SatNode").append_child("Saturation").text() = FormatCdlNumber(correction.saturation).c_str();
}

}  // namespace

std::string FormatCdlDocument(const CdlCorrection &correction, CdlFileKind kind) {
    pugi::xml_document document;
    switch (kind) {
    case CdlFileKind::kCorrection:
        AddCorrection(document, correction);
        break;
    case CdlFileKind::kCollection: {
        pugi::xml_node collection = document.append_child("ColorCorrectionCollection");
        collection.append_attribute("xmlns") = CDL_NAMESPACE;
        AddCorrection(collection, correction);
        break;
    }
    case CdlFileKind::kDecisionList: {
        pugi::xml_node list = document.append_child("ColorDecisionList");
        list.append_attribute("xmlns") = CDL_NAMESPACE;
        AddCorrection(list.append_child("ColorDecision"), correction);
        break;
    }
    }
    std::ostringstream text;
    document.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
    return text.str();
}

#else

std::string FormatCdlDocument(const CdlCorrection &, CdlFileKind) {
    RequireCdlFiles();
    return {};
}

#endif

void WriteCdlFile(const std::string &path, const CdlCorrection &correction) {
    RequireCdlFiles();
    const std::optional<CdlFileKind> kind = CdlFileKindFor(path);
    if (!kind) {
        throw UsageError(path +
                         ": a CDL file is named .cc (one correction), .ccc (a collection) or .cdl "
                         "(a decision list)");
    }
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
        throw UsageError(path + ": no folder " + folder.string());
    }
    const std::string text = FormatCdlDocument(correction, *kind);
    PendingOutput pending(path);
    pending.Write(text.data(), text.size());
    pending.Commit();
}

}  // namespace zonara_tool
