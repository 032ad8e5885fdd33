// Whether a piece of the user's text can stand in an XML document as it is.
// XML has no escape for most control characters, and readers refuse bytes
// that are not UTF-8, so such text would make a file no reader opens.
#pragma once

#include <string>
#include <string_view>

namespace zonara_tool {

// Empty where `text` is UTF-8 of characters XML allows, none of them a
// control character (tab, line breaks and DEL included: readers turn the
// first three into spaces in an attribute); otherwise what is wrong and at
// which byte, for a message.
std::string XmlTextProblem(std::string_view text);

}  // namespace zonara_tool
