#include "common/lines.h"

namespace tarrow {

bool isLineBreakAt(std::string_view text, size_t i) {
    return text[i] == '\n' && (i == 0 || text[i - 1] != '\r');
}

bool LineCursor::next(std::string_view& line) {
    if (done_) return false;
    size_t end = text_.find('\n', position_);
    while (end != std::string_view::npos && !isLineBreakAt(text_, end))
        end = text_.find('\n', end + 1);
    if (end == std::string_view::npos) {
        line = text_.substr(position_);
        done_ = true;
        return true;
    }
    line = text_.substr(position_, end - position_);
    position_ = end + 1;
    return true;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    LineCursor cursor(text);
    for (std::string_view line; cursor.next(line);) lines.push_back(line);
    return lines;
}

bool endsWithLineBreak(std::string_view text) {
    return !text.empty() && isLineBreakAt(text, text.size() - 1);
}

bool endsWithTwoLineBreaks(std::string_view text) {
    return text.size() >= 2 && isLineBreakAt(text, text.size() - 1) &&
           isLineBreakAt(text, text.size() - 2);
}

}  // namespace tarrow
