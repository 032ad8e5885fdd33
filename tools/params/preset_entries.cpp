#include "tools/params/preset_entries.h"

#include <set>

#include <nlohmann/json.hpp>

#include "tools/base/message_text.h"
#include "tools/base/tool_error.h"
#include "tools/params/value_text.h"

namespace zonara_tool {
namespace {

// The library's number-overflow error: the token is a number, only too
// large for a double, and is handed on as written so that the parameter
// refuses it as out of its range.
constexpr int JSON_NUMBER_OVERFLOW = 406;

// The library's parse error without its "last read: '...'" tail, which
// repeats the token whole (a megabyte-long string, say), followed by a
// short quote of that token.
std::string ParseErrorText(const std::string &what, const std::string &last_token) {
    const std::size_t tail = what.find("; last read: ");
    if (tail == std::string::npos) {
        return what;
    }
    return what.substr(0, tail) + "; last read: " + QuotedForMessage(last_token);
}

class PresetEvents : public nlohmann::json_sax<nlohmann::json> {
public:
    explicit PresetEvents(const std::function<bool(std::string_view)> &keep) : keep_(keep) {}

    bool null() override { return Scalar("null", "", ScalarKind::kNull); }
    bool boolean(bool value) override {
        return Scalar(value ? "true" : "false", value ? "true" : "false", ScalarKind::kBoolean);
    }
    bool number_integer(number_integer_t value) override {
        const std::string text = std::to_string(value);
        return Scalar(text, text, ScalarKind::kCoordinate);
    }
    bool number_unsigned(number_unsigned_t value) override {
        const std::string text = std::to_string(value);
        return Scalar(text, text, ScalarKind::kCoordinate);
    }
    bool number_float(number_float_t, const string_t &written) override {
        return Scalar(written, written, ScalarKind::kCoordinate);
    }
    bool string(string_t &value) override { return Scalar(value, value, ScalarKind::kString); }
    bool binary(binary_t &) override { return Scalar("<binary>", "", ScalarKind::kNull); }

    bool start_object(std::size_t) override { return Open('{'); }
    bool start_array(std::size_t) override { return Open('['); }
    bool end_object() override { return Close('}'); }
    bool end_array() override { return Close(']'); }

    bool key(string_t &key) override {
        if (depth_ == 1) {
            return StartEntry(key);
        }
        BeforeValue();
        Emit("\"");
        Emit(key);
        Emit("\":");
        after_key_ = true;
        return true;
    }

    bool parse_error(std::size_t, const std::string &last_token, const nlohmann::detail::exception &error) override {
        if (error.id == JSON_NUMBER_OVERFLOW && problem_.empty()) {
            Scalar(last_token, last_token, ScalarKind::kCoordinate);
            if (depth_ >= 1 && entry_open_) {
                FinishEntry();
            }
            return false;
        }
        if (problem_.empty()) {
            problem_ = "not valid JSON (" + ParseErrorText(error.what(), last_token) + ")";
        }
        return false;
    }

    const std::string &problem() const { return problem_; }
    std::vector<PresetEntry> &entries() { return entries_; }

private:
    enum class ScalarKind { kNull, kBoolean, kString, kCoordinate };

    bool NotAnObject() {
        problem_ = "expected an object of parameter keys and values";
        return false;
    }

    bool StartEntry(const std::string &key) {
        entry_ = PresetEntry();
        entry_.key = std::string(Trim(key));
        entry_open_ = true;
        items_.clear();
        item_count_ = 0;
        point_shape_ = false;
        unusable_ = false;
        if (!keeping_) {
            return true;  // only the document's syntax is still checked
        }
        // A key given twice would silently take its last value; the look is
        // refused instead, as which one was meant is the user's to say.
        if (!keys_seen_.insert(entry_.key).second) {
            problem_ = "the key " + QuotedForMessage(entry_.key) + " is given more than once; give each key once";
            return false;
        }
        return true;
    }

    // A value's text goes into the entry's written form, of which only the
    // first bytes are kept.
    void Emit(std::string_view piece) {
        entry_.written_bytes += piece.size();
        if (entry_.written.size() < MESSAGE_QUOTE_BYTES) {
            entry_.written.append(piece.substr(0, MESSAGE_QUOTE_BYTES - entry_.written.size()));
        }
    }

    void BeforeValue() {
        if (after_key_) {
            after_key_ = false;
        } else if (!open_.empty()) {
            if (open_.back()) {
                Emit(",");
            }
            open_.back() = true;
        }
    }

    bool Scalar(std::string_view written, std::string_view text, ScalarKind kind) {
        if (depth_ == 0) {
            return NotAnObject();
        }
        BeforeValue();
        if (kind == ScalarKind::kString) {
            Emit("\"");
            Emit(written);
            Emit("\"");
        } else {
            Emit(written);
        }
        if (depth_ == 1) {
            entry_.is_null = kind == ScalarKind::kNull;
            if (!entry_.is_null) {
                entry_.text = std::string(text);
            }
            return FinishEntry();
        }
        if (depth_ == 2 && point_shape_) {
            // A coordinate is a number of pixels or a text such as "50%".
            const bool coordinate = kind == ScalarKind::kCoordinate ||
                                    (kind == ScalarKind::kString && text.find(',') == std::string_view::npos);
            if (!coordinate) {
                unusable_ = true;
            } else if (++item_count_ <= 2) {
                items_.emplace_back(text);
            }
        }
        return true;
    }

    bool Open(char bracket) {
        if (++depth_ > MAX_PRESET_NESTING) {
            problem_ = "nested deeper than " + std::to_string(MAX_PRESET_NESTING) +
                       " levels; a preset is an object of parameter keys and values";
            return false;
        }
        if (depth_ == 1) {
            return bracket == '{' ? true : NotAnObject();
        }
        BeforeValue();
        Emit(std::string_view(&bracket, 1));
        open_.push_back(false);
        if (depth_ == 2) {
            point_shape_ = bracket == '[';
        } else {
            unusable_ = true;
        }
        return true;
    }

    bool Close(char bracket) {
        --depth_;
        if (depth_ == 0) {
            return true;
        }
        open_.pop_back();
        Emit(std::string_view(&bracket, 1));
        return depth_ == 1 ? FinishEntry() : true;
    }

    bool FinishEntry() {
        entry_open_ = false;
        if (point_shape_ && !unusable_ && item_count_ == 2) {
            entry_.text = items_[0] + "," + items_[1];
        } else if (point_shape_ && depth_ >= 2 && !unusable_ && item_count_ <= 2) {
            // Cut short by a number too large to read: what it held so far.
            entry_.text = item_count_ == 2 ? items_[0] + "," + items_[1] : items_[0];
        }
        if (keeping_) {
            keeping_ = keep_(entry_.key);
            entries_.push_back(std::move(entry_));
        }
        return true;
    }

    const std::function<bool(std::string_view)> &keep_;
    std::size_t depth_ = 0;
    PresetEntry entry_;
    bool entry_open_ = false;
    // Whether each open container inside the value already holds an item.
    std::vector<bool> open_;
    bool after_key_ = false;
    bool point_shape_ = false;
    bool unusable_ = false;
    std::vector<std::string> items_;
    std::size_t item_count_ = 0;
    bool keeping_ = true;
    std::set<std::string> keys_seen_;
    std::vector<PresetEntry> entries_;
    std::string problem_;
};

}  // namespace

std::vector<PresetEntry> ReadPresetEntries(std::string_view json, const std::string &origin,
                                           const std::function<bool(std::string_view key)> &keep) {
    PresetEvents events(keep);
    nlohmann::json::sax_parse(json.begin(), json.end(), &events);
    if (!events.problem().empty()) {
        throw UsageError(origin + ": " + events.problem());
    }
    return std::move(events.entries());
}

std::string QuotedWritten(const PresetEntry &entry) {
    // Cut back to the start of a character, so the quote ends cleanly.
    std::string_view written = entry.written;
    if (entry.written_bytes > written.size()) {
        while (!written.empty() && (static_cast<unsigned char>(written.back()) & 0xC0u) == 0x80u) {
            written.remove_suffix(1);
        }
        if (!written.empty() && static_cast<unsigned char>(written.back()) >= 0xC0u) {
            written.remove_suffix(1);
        }
        return QuotedForMessage(written) + "... (" + std::to_string(entry.written_bytes) + " bytes)";
    }
    return QuotedForMessage(written);
}

}  // namespace zonara_tool
