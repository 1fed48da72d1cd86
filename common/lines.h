#pragma once
// Line rules shared by the hosts section and the request file.
//
// Both formats split at LF, but a CR LF pair is one character that is not a line
// break: an LF directly after a CR belongs to that pair. A CR LF file therefore reads
// as long lines that never pass the name rules, which is what keeps such lines foreign.

#include <string>
#include <string_view>
#include <vector>

namespace tarrow {

// Splits at every LF that is a line break, keeping empty pieces
// (so a text that ends with a line break yields a final empty piece).
std::vector<std::string_view> splitLines(std::string_view text);

// True when the text's last character is a lone LF (not the LF of a CR LF pair).
bool endsWithLineBreak(std::string_view text);

// True when the last two characters are both lone LFs.
bool endsWithTwoLineBreaks(std::string_view text);

// Joins pieces with LF between them.
std::string joinLines(const std::vector<std::string_view>& lines);

}  // namespace tarrow
