#include "common/lines.h"

namespace tarrow {

namespace {
bool isBreakAt(std::string_view text, size_t i) {
    return text[i] == '\n' && (i == 0 || text[i - 1] != '\r');
}
}  // namespace

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = text.find('\n'); i != std::string_view::npos; i = text.find('\n', i + 1)) {
        if (!isBreakAt(text, i)) continue;
        lines.push_back(text.substr(start, i - start));
        start = i + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

bool endsWithLineBreak(std::string_view text) {
    return !text.empty() && isBreakAt(text, text.size() - 1);
}

bool endsWithTwoLineBreaks(std::string_view text) {
    return text.size() >= 2 && isBreakAt(text, text.size() - 1) && isBreakAt(text, text.size() - 2);
}

std::string joinLines(const std::vector<std::string_view>& lines) {
    size_t size = 0;
    for (auto line : lines) size += line.size() + 1;
    std::string out;
    out.reserve(size);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out.push_back('\n');
        out.append(lines[i]);
    }
    return out;
}

}  // namespace tarrow
