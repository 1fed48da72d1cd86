#include "app/browser/hits.h"

#include <charconv>
#include <cstdint>

#include "common/file_io.h"
#include "common/utf8.h"

namespace tarrow {

namespace {

std::vector<std::string_view> spaceSplit(std::string_view line) {
    std::vector<std::string_view> pieces;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        size_t j = line.find(' ', i);
        if (j == std::string_view::npos) j = line.size();
        pieces.push_back(line.substr(i, j - i));
        i = j;
    }
    return pieces;
}

}  // namespace

std::vector<std::string> hitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && spaceSplit(line).size() == 2) lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> readHitLines(const std::string& path) {
    const auto text = readRegularFile(path);
    if (!text || !validUtf8(*text)) return {};
    return hitLines(*text);
}

std::optional<std::string> takeNewest(const std::vector<std::string>& lines,
                                      std::optional<std::string>& seen) {
    if (lines.empty() || seen == lines.back()) return std::nullopt;
    seen = lines.back();
    return lines.back();
}

std::optional<Hit> parseHit(std::string_view line) {
    const auto pieces = spaceSplit(line);
    if (pieces.size() != 2) return std::nullopt;
    int64_t seconds = 0;
    const char* first = pieces[0].data();
    const char* last = first + pieces[0].size();
    const auto [end, error] = std::from_chars(first, last, seconds);
    if (error != std::errc() || end != last) return std::nullopt;
    return Hit{std::chrono::sys_seconds{std::chrono::seconds{seconds}}, std::string(pieces[1])};
}

std::vector<std::string> newLines(const std::vector<std::string>& lines,
                                  const std::optional<std::string>& seen) {
    if (lines.empty()) return {};
    if (!seen) return {lines.back()};
    for (size_t i = lines.size(); i-- > 0;) {
        if (lines[i] == *seen) return {lines.begin() + std::ptrdiff_t(i) + 1, lines.end()};
    }
    const std::optional<Hit> last = parseHit(*seen);
    if (!last) return lines;
    std::vector<std::string> out;
    for (const std::string& line : lines) {
        const std::optional<Hit> hit = parseHit(line);
        if (hit && hit->at >= last->at) out.push_back(line);
    }
    return out;
}

std::optional<std::string> freshHost(std::string_view line,
                                     std::chrono::system_clock::time_point now) {
    std::optional<Hit> hit = parseHit(line);
    if (!hit) return std::nullopt;
    // Compared in whole seconds, which no line's number can overflow. A line from the
    // future counts as fresh: it can only come from a clock set back.
    const auto nowSeconds = std::chrono::floor<std::chrono::seconds>(now).time_since_epoch();
    const auto seconds = hit->at.time_since_epoch().count();
    if (seconds <= (nowSeconds - hitFreshness).count()) return std::nullopt;
    return std::move(hit->host);
}

}  // namespace tarrow
