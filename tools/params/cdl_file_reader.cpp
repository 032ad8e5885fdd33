#include "tools/params/cdl_file_reader.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <set>

#if ZONARA_HAVE_CDL
#include <pugixml.hpp>
#endif

#include "tools/base/message_text.h"
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

namespace {

// "[N]" picks the Nth correction, counted from 1; nullopt for anything
// else, which is an id. A position reaches every correction, those without
// an id too, so it takes precedence over an id spelt alike.
std::optional<std::size_t> CorrectionPosition(std::string_view text) {
    if (text.size() < 3 || text.front() != '[' || text.back() != ']') {
        return std::nullopt;
    }
    const std::string_view digits = text.substr(1, text.size() - 2);
    std::size_t position = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), position);
    if (end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    // Beyond any file's count either way.
    return error == std::errc() ? position : std::numeric_limits<std::size_t>::max();
}

// The corrections as a message names them: the id quoted, or the position
// of one that has none.
std::string CorrectionList(const std::vector<CdlCorrection> &corrections) {
    std::vector<std::string> names;
    names.reserve(corrections.size());
    for (std::size_t i = 0; i < corrections.size(); ++i) {
        names.push_back(corrections[i].id.empty() ? "[" + std::to_string(i + 1) + "] (no id)"
                                                  : QuotedForMessage(corrections[i].id));
    }
    return ListedForMessage(names);
}

}  // namespace

CdlCorrection SelectCdlCorrection(const std::vector<CdlCorrection> &corrections, const std::string &id,
                                  const std::string &origin) {
    if (id.empty() && corrections.size() == 1) {
        return corrections.front();
    }
    const std::string count =
        std::to_string(corrections.size()) + (corrections.size() == 1 ? " correction" : " corrections");
    if (id.empty()) {
        throw UsageError(origin + ": holds " + count + " (" + CorrectionList(corrections) + "); name one as " + origin +
                         "#ID, or by its position as " + origin + "#[N] (" + origin + "#[1] for the first)");
    }
    if (const std::optional<std::size_t> position = CorrectionPosition(id)) {
        if (*position >= 1 && *position <= corrections.size()) {
            return corrections[*position - 1];
        }
        const std::string positions =
            corrections.size() == 1 ? "[1] only" : "[1] to [" + std::to_string(corrections.size()) + "]";
        throw UsageError(origin + ": no correction " + QuotedForMessage(id) + ": the file holds " + count + ", " +
                         positions);
    }
    for (const CdlCorrection &correction : corrections) {
        if (correction.id == id) {
            return correction;
        }
    }
    throw UsageError(origin + ": no correction with id " + QuotedForMessage(id) + " (the file holds " +
                     CorrectionList(corrections) + ")");
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

// An element named in a message: as written where it is short and
// printable, quoted short where it is not.
std::string ElementForMessage(std::string_view name) {
    const std::string quoted = QuotedForMessage(name);
    return quoted == "'" + std::string(name) + "'" ? "<" + std::string(name) + ">" : "element " + quoted;
}

// The element's whole text as OpenColorIO reads it: every text and CDATA
// piece joined, comments and processing instructions between them left
// out. Reading only the first piece would cut a list short without a word.
std::string WholeText(const pugi::xml_node &element) {
    std::string text;
    for (const pugi::xml_node &piece : element.children()) {
        if (piece.type() == pugi::node_pcdata || piece.type() == pugi::node_cdata) {
            text += piece.value();
        }
    }
    return text;
}

// An element inside a list of numbers belongs to no CDL; skipping it would
// read the numbers around it as one list.
void RefuseChildElements(const pugi::xml_node &element, const std::string &where) {
    for (const pugi::xml_node &child : element.children()) {
        if (child.type() == pugi::node_element) {
            throw UsageError(where + " holds an element, " + ElementForMessage(child.name()) +
                             ", where only numbers belong");
        }
    }
}

std::string NumberCount(std::size_t count) { return std::to_string(count) + (count == 1 ? " number" : " numbers"); }

// Exactly `count` finite numbers separated by white space.
std::vector<double> ParseNumbers(const pugi::xml_node &element, std::size_t count, const std::string &where) {
    RefuseChildElements(element, where);
    const std::string whole = WholeText(element);
    const std::string_view text = whole;
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
            throw UsageError(where + ": " + QuotedForMessage(word) + " is not a number");
        }
        numbers.push_back(value);
        if (numbers.size() > count) {
            break;
        }
        at = end;
    }
    if (numbers.size() != count) {
        const std::string given =
            numbers.size() > count ? "more than " + NumberCount(count) : NumberCount(numbers.size());
        throw UsageError(where + " holds " + given + "; expected " + std::to_string(count) +
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
    const std::string where =
        origin + ": correction " +
        (correction.id.empty() ? "[" + std::to_string(position) + "] (no id)" : QuotedForMessage(correction.id));
    if (const pugi::xml_node description = node.child("Description")) {
        correction.description = WholeText(description);
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
    // none, and refusing them rules out every entity trick at once. Text of
    // white space alone is kept: between two comments it still parts two
    // numbers.
    const pugi::xml_parse_result parsed = document.load_buffer(
        text.data(), text.size(), pugi::parse_default | pugi::parse_doctype | pugi::parse_ws_pcdata);
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
                    throw UsageError(origin + ": a <ColorCorrectionRef> points to a correction in another file (" +
                                     QuotedForMessage(child.attribute("ref").value()) +
                                     "); give that file (FILE.ccc#ID) instead");
                }
            }
            CollectCorrections(decision, origin, corrections);
        }
    } else {
        throw UsageError(origin + ": not an ASC CDL file (the root element is " + ElementForMessage(kind) +
                         ", expected <ColorCorrection>, <ColorCorrectionCollection> or <ColorDecisionList>)");
    }
    if (corrections.empty()) {
        throw UsageError(origin + ": holds no <ColorCorrection>");
    }
    std::set<std::string_view> ids;
    for (const CdlCorrection &correction : corrections) {
        if (!correction.id.empty() && !ids.insert(correction.id).second) {
            throw UsageError(origin + ": holds more than one correction with id " + QuotedForMessage(correction.id) +
                             ", so #ID cannot say which");
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
