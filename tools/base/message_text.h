// Pieces of the user's own text (a value, a name, an id, a list of them)
// put into a message. A message is read by a person on a terminal: a
// megabyte of pasted value, control characters or a list of a hundred
// thousand ids would bury the one line that says what is wrong.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zonara_tool {

// At most this many bytes of the user's text are quoted.
constexpr std::size_t MESSAGE_QUOTE_BYTES = 64;
// At most this many items of a list are named.
constexpr std::size_t MESSAGE_LIST_ITEMS = 10;

// `text` in single quotes, its control characters and bytes that are not
// UTF-8 written as \xNN; longer than MESSAGE_QUOTE_BYTES, cut at a character
// boundary and followed by "... (N bytes)".
std::string QuotedForMessage(std::string_view text);

// The first MESSAGE_LIST_ITEMS items as given (already quoted or not),
// joined by ", ", then " and N more" for the rest.
std::string ListedForMessage(const std::vector<std::string> &items);

}  // namespace zonara_tool
