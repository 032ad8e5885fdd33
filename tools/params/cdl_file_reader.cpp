#include "tools/params/cdl_file_reader.h"

#include <cerrno>
#include <cmath>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#if ZONARA_HAVE_CDL
#include <pugixml.hpp>
#endif

#include "tools/base/tool_error.h"
#include "tools/params/value_text.h"

namespace zonara_tool {

namespace {

bool EndsWithCdlExtension(std::string_view path) {
    for (const std::string_view extension : {".cc", ".ccc", ".cdl"}) {
        if (path.size() >= extension.size() && path.substr(path.size() - extension.size()) == extension) {
            return true;
        }
    }
    return false;
}

}  // namespace

CdlReference ParseCdlReference(const std::string &text) {
    std::error_code error;
    if (std::filesystem::exists(text, error)) {
        return {text, ""};
    }
    for (std::size_t hash = text.find('#'); hash != std::string::npos; hash = text.find('#', hash + 1)) {
        if (std::filesystem::exists(text.substr(0, hash), error)) {
            return {text.substr(0, hash), text.substr(hash + 1)};
        }
    }
    for (std::size_t hash = text.find('#'); hash != std::string::npos; hash = text.find('#', hash + 1)) {
        if (EndsWithCdlExtension(std::string_view(text).substr(0, hash))) {
            return {text.substr(0, hash), text.substr(hash + 1)};
        }
    }
    return {text, ""};
}

CdlCorrection SelectCdlCorrection(const std::vector<CdlCorrection> &corrections, const std::string &id,
                                  const std::string &origin) {
    std::string ids;
    for (const CdlCorrection &correction : corrections) {
        if (!id.empty() && correction.id == id) {
            return correction;
        }
        ids += (ids.empty() ? "" : ", ") + (correction.id.empty() ? std::string("(no id)") : "'" + correction.id + "'");
    }
    if (id.empty() && corrections.size() == 1) {
        return corrections.front();
    }
    if (id.empty()) {
        throw UsageError(origin + ": holds " + std::to_string(corrections.size()) + " corrections (" + ids +
                         "); name one as " + origin + "#ID");
    }
    throw UsageError(origin + ": no correction with id '" + id + "' (the file holds " + ids + ")");
}

#if ZONARA_HAVE_CDL
namespace {

// Elements may carry a namespace prefix (cdl:Slope); only the local name
// says what they are.
std::string_view LocalName(const pugi::xml_node &node) {
    std::string_view name = node.name();
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The single child element of this local name (either spelling), null when
// there is none; more than one is ambiguous and refused.
pugi::xml_node OnlyChild(const pugi::xml_node &parent, std::string_view name, std::string_view other_spelling,
                         const std::string &where) {
    pugi::xml_node found;
    for (const pugi::xml_node &child : parent.children()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        const std::string_view local = LocalName(child);
        if (local != name && (other_spelling.empty() || local != other_spelling)) {
            continue;
        }
        if (found) {
            throw UsageError(where + " has more than one <" + std::string(name) + ">");
        }
        found = child;
    }
    return found;
}

// Exactly `count` finite numbers separated by white space.
std::vector<double> ParseNumbers(const pugi::xml_node &element, std::size_t count, const std::string &where) {
    const std::string_view text = element.child_value();
    std::vector<double> numbers;
    std::size_t at = 0;
    while (at < text.size()) {
        if (IsXmlSpace(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !IsXmlSpace(text[end])) {
            ++end;
        }
        const std::string_view word = text.substr(at, end - at);
        double value = 0.0;
        if (!ParseNumber(word, value)) {
            const std::string shown = word.size() > 40 ? std::string(word.substr(0, 40)) + "..." : std::string(word);
            throw UsageError(where + ": '" + shown + "' is not a number");
        }
        numbers.push_back(value);
        if (numbers.size() > count) {
            break;
        }
        at = end;
    }
    if (numbers.size() != count) {
        const std::string given = numbers.size() > count ? "more than " + std::to_string(count)
                                                         : std::to_string(numbers.size());
        throw UsageError(where + " holds " + given + " numbers; expected " + std::to_string(count) +
                         (count == CDL_CHANNELS ? " (red, green, blue)" : ""));
    }
    return numbers;
}

void ReadTriple(const pugi::xml_node &sop, std::string_view name, const std::string &where,
                std::array<double, CDL_CHANNELS> &into) {
    const std::string element_where = where + " <" + std::string(name) + ">";
    const pugi::xml_node element = OnlyChild(sop, name, {}, where + " <SOPNode>");
    if (!element) {
        throw UsageError(where + " <SOPNode> has no <" + std::string(name) + ">");
    }
    const std::vector<double> numbers = ParseNumbers(element, CDL_CHANNELS, element_where);
    std::copy(numbers.begin(), numbers.end(), into.begin());
}

CdlCorrection ReadCorrection(const pugi::xml_node &node, std::size_t position, const std::string &origin) {
    CdlCorrection correction;
    correction.id = node.attribute("id").value();
    const std::string where = origin + ": correction " +
                              (correction.id.empty() ? std::to_string(position) + " (no id)" : "'" + correction.id + "'");
    if (const pugi::xml_node description = node.child("Description")) {
        correction.description = description.child_value();
    }
    const pugi::xml_node sop = OnlyChild(node, "SOPNode", {}, where);
    // Both spellings occur in files in circulation.
    const pugi::xml_node sat = OnlyChild(node, "SatNode", "SATNode", where);
    if (!sop && !sat) {
        throw UsageError(where + " holds neither <SOPNode> nor <SatNode>");
    }
    if (sop) {
        ReadTriple(sop, "Slope", where, correction.slope);
        ReadTriple(sop, "Offset", where, correction.offset);
        ReadTriple(sop, "Power", where, correction.power);
    }
    if (sat) {
        const pugi::xml_node saturation = OnlyChild(sat, "Saturation", {}, where + " <SatNode>");
        if (!saturation) {
            throw UsageError(where + " <SatNode> has no <Saturation>");
        }
        correction.saturation = ParseNumbers(saturation, 1, where + " <Saturation>").front();
    }
    return correction;
}

void CollectCorrections(const pugi::xml_node &parent, const std::string &origin, std::vector<CdlCorrection> &into) {
    for (const pugi::xml_node &child : parent.children()) {
        if (child.type() == pugi::node_element && LocalName(child) == "ColorCorrection") {
            into.push_back(ReadCorrection(child, into.size() + 1, origin));
        }
    }
}

}  // namespace

std::vector<CdlCorrection> ParseCdlDocument(std::string_view text, const std::string &origin) {
    if (text.size() > MAX_CDL_FILE_BYTES) {
        throw UsageError(origin + ": larger than " + std::to_string(MAX_CDL_FILE_BYTES >> 20) +
                         " MiB, far beyond any colour decision list");
    }
    pugi::xml_document document;
    // Document type declarations are parsed only to be refused: a CDL needs
    // none, and refusing them rules out every entity trick at once.
    const pugi::xml_parse_result parsed =
        document.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_doctype);
    if (!parsed) {
        throw UsageError(origin + ": not well-formed XML (" + parsed.description() + " at byte " +
                         std::to_string(parsed.offset) + ")");
    }
    for (const pugi::xml_node &node : document.children()) {
        if (node.type() == pugi::node_doctype) {
            throw UsageError(origin + ": has a document type declaration (<!DOCTYPE>), which CDL files do not use");
        }
    }
    const pugi::xml_node root = document.document_element();
    const std::string_view kind = root ? LocalName(root) : std::string_view{};
    std::vector<CdlCorrection> corrections;
    if (kind == "ColorCorrection") {
        corrections.push_back(ReadCorrection(root, 1, origin));
    } else if (kind == "ColorCorrectionCollection") {
        CollectCorrections(root, origin, corrections);
    } else if (kind == "ColorDecisionList") {
        for (const pugi::xml_node &decision : root.children()) {
            if (decision.type() != pugi::node_element || LocalName(decision) != "ColorDecision") {
                continue;
            }
            for (const pugi::xml_node &child : decision.children()) {
                if (child.type() == pugi::node_element && LocalName(child) == "ColorCorrectionRef") {
                    throw UsageError(origin + ": a <ColorCorrectionRef> points to a correction in another file ('" +
                                     std::string(child.attribute("ref").value()) +
                                     "'); give that file (FILE.ccc#ID) instead");
                }
            }
            CollectCorrections(decision, origin, corrections);
        }
    } else {
        throw UsageError(origin + ": not an ASC CDL file (the root element is <" + std::string(kind) +
                         ">, expected <ColorCorrection>, <ColorCorrectionCollection> or <ColorDecisionList>)");
    }
    if (corrections.empty()) {
        throw UsageError(origin + ": holds no <ColorCorrection>");
    }
    std::set<std::string_view> ids;
    for (const CdlCorrection &correction : corrections) {
        if (!correction.id.empty() && !ids.insert(correction.id).second) {
            throw UsageError(origin + ": holds more than one correction with id '" + correction.id +
                             "', so #" + correction.id + " cannot say which");
        }
    }
    return corrections;
}

#else

std::vector<CdlCorrection> ParseCdlDocument(std::string_view, const std::string &) {
    RequireCdlFiles();
    return {};
}

#endif

CdlCorrection ReadCdlCorrection(const std::string &reference) {
    RequireCdlFiles();
    const CdlReference where = ParseCdlReference(reference);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(where.path, error);
    if (std::filesystem::is_directory(status)) {
        throw UsageError(where.path + ": is a folder, not a CDL file");
    }
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        throw UsageError(where.path + ": not a regular file (a device, pipe or socket is no CDL file)");
    }
    if (!std::filesystem::exists(status)) {
        throw UsageError(where.path + ": no such file");
    }
    const auto size = std::filesystem::file_size(where.path, error);
    if (!error && size > MAX_CDL_FILE_BYTES) {
        throw UsageError(where.path + ": " + std::to_string(size) + " bytes, larger than " +
                         std::to_string(MAX_CDL_FILE_BYTES >> 20) + " MiB, far beyond any colour decision list");
    }
    std::ifstream file(where.path, std::ios::binary);
    if (!file) {
        const int reason = errno;
        throw UsageError(where.path + ": cannot open (" + std::strerror(reason) + ")");
    }
    // Read no more than one byte past the limit, whatever the size claimed.
    std::string text(MAX_CDL_FILE_BYTES + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad()) {
        throw UsageError("cannot read " + where.path);
    }
    text.resize(static_cast<std::size_t>(file.gcount()));
    return SelectCdlCorrection(ParseCdlDocument(text, where.path), where.id, where.path);
}

}  // namespace zonara_tool
