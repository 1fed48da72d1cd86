#pragma once
// Line rules shared by the hosts section and the request file.
//
// Both formats split at LF, but a CR LF pair is one character that is not a line
// break: an LF directly after a CR belongs to that pair. A CR LF file therefore reads
// as long lines that never pass the name rules, which is what keeps such lines foreign.

#include <string_view>
#include <vector>

namespace tarrow {

// Walks the lines of a text one at a time, without building a list: every piece
// between line breaks, empty ones included (a text that ends with a line break has a
// final empty piece; an empty text is one empty piece).
class LineCursor {
  public:
    explicit LineCursor(std::string_view text) : text_(text) {}
    // The next line; false once every line has been given.
    bool next(std::string_view& line);

  private:
    std::string_view text_;
    size_t position_ = 0;
    bool done_ = false;
};

// All lines at once, as LineCursor gives them.
std::vector<std::string_view> splitLines(std::string_view text);

// True when the character at i is an LF that breaks the line (not the LF of a CR LF pair).
bool isLineBreakAt(std::string_view text, size_t i);

// True when the text's last character is a lone LF (not the LF of a CR LF pair).
bool endsWithLineBreak(std::string_view text);

// True when the last two characters are both lone LFs.
bool endsWithTwoLineBreaks(std::string_view text);

}  // namespace tarrow
