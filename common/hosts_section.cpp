#include "common/hosts_section.h"

#include <algorithm>

#include "common/file_io.h"
#include "common/lines.h"
#include "common/utf8.h"

namespace tarrow {

namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// The fields of a line split at spaces only; runs of spaces are one separator.
// At most `limit` fields are collected; more are reported through the count.
struct Fields {
    std::string_view first, second;
    int count = 0;
};

Fields spaceFields(std::string_view line) {
    Fields f;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        if (i == line.size()) break;
        size_t j = line.find(' ', i);
        if (j == std::string_view::npos) j = line.size();
        if (f.count == 0) f.first = line.substr(i, j - i);
        if (f.count == 1) f.second = line.substr(i, j - i);
        if (++f.count > 2) break;
        i = j;
    }
    return f;
}

bool validLabel(std::string_view label) {
    if (label.empty() || label.size() > 63) return false;
    if (label.front() == '-' || label.back() == '-') return false;
    return std::all_of(label.begin(), label.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
    });
}

}  // namespace

bool isBegin(std::string_view line) {
    return startsWith(line, "# >>> Tarrow") || startsWith(line, "# >>> Pinfold");
}

bool isEnd(std::string_view line) {
    return startsWith(line, "# <<< Tarrow") || startsWith(line, "# <<< Pinfold");
}

bool validHost(std::string_view name) {
    if (name.empty() || name.size() > 253) return false;
    size_t labels = 0;
    std::string_view last;
    size_t start = 0;
    while (true) {
        size_t dot = name.find('.', start);
        std::string_view label = name.substr(start, dot == std::string_view::npos
                                                        ? std::string_view::npos
                                                        : dot - start);
        if (!validLabel(label)) return false;
        ++labels;
        last = label;
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    if (labels < 2) return false;
    return std::any_of(last.begin(), last.end(), [](char c) { return c < '0' || c > '9'; });
}

bool isProtected(std::string_view name) {
    for (auto entry : protectedSuffixes) {
        if (name == entry) return true;
        if (name.size() > entry.size() && endsWith(name, entry) &&
            name[name.size() - entry.size() - 1] == '.')
            return true;
    }
    return false;
}

bool isBlockLine(std::string_view line) {
    Fields f = spaceFields(line);
    if (f.count != 2) return false;
    bool address = std::find(blockAddresses.begin(), blockAddresses.end(), f.first) !=
                   blockAddresses.end();
    return address && validHost(f.second);
}

bool isPair(std::string_view line, std::string_view next) {
    if (!isBlockLine(line) || !isBlockLine(next)) return false;
    if (startsWith(line, ":: ") || !startsWith(next, ":: ")) return false;
    return next.substr(3) == spaceFields(line).second;
}

WithoutBlock withoutBlock(std::string_view text) {
    std::vector<std::string_view> lines = splitLines(text);
    std::vector<std::string_view> kept;
    kept.reserve(lines.size());
    WithoutBlock result;
    const size_t n = lines.size();
    size_t i = 0;
    bool noEndLeft = false;
    while (i < n) {
        if (!isBegin(lines[i])) {
            kept.push_back(lines[i]);
            ++i;
            continue;
        }
        result.found = true;
        size_t e = i + 1;
        if (noEndLeft) {
            e = n;
        } else {
            while (e < n && !isEnd(lines[e])) ++e;
            noEndLeft = e == n;  // later begin markers need not search again
        }
        if (e < n) {
            // Foreign lines inside the section survive in its place.
            for (size_t k = i + 1; k < e; ++k)
                if (!isBlockLine(lines[k])) kept.push_back(lines[k]);
            i = e + 1;
        } else {
            // Lost end marker: only our own pairs right after the marker go.
            size_t j = i + 1;
            while (j + 1 < n && isPair(lines[j], lines[j + 1])) j += 2;
            i = j;
        }
    }
    result.rest = joinLines(kept);
    return result;
}

std::string hostsFile(std::string_view text, const std::vector<std::string>& blocking,
                      std::string_view address) {
    WithoutBlock wb = withoutBlock(text);
    if (blocking.empty() && !wb.found) return std::string(text);
    std::string& rest = wb.rest;
    while (endsWithTwoLineBreaks(rest)) rest.pop_back();
    if (!rest.empty() && !endsWithLineBreak(rest)) rest.push_back('\n');
    if (blocking.empty()) return std::move(rest);

    size_t size = rest.size() + blockBegin.size() + blockEnd.size() + 3;
    for (const auto& name : blocking) size += 2 * name.size() + address.size() + 6;
    rest.reserve(size);
    rest += '\n';
    rest += blockBegin;
    rest += '\n';
    for (const auto& name : blocking) {
        rest.append(address).append(" ").append(name).append("\n");
        rest.append(":: ").append(name).append("\n");
    }
    rest += blockEnd;
    rest += '\n';
    return std::move(rest);
}

std::set<std::string> blockedNames(std::string_view text) {
    std::set<std::string> names;
    bool inside = false;
    for (std::string_view line : splitLines(text)) {
        if (line.empty()) continue;
        if (isBegin(line)) {
            inside = true;
        } else if (isEnd(line)) {
            inside = false;
        } else if (inside && isBlockLine(line)) {
            names.emplace(spaceFields(line).second);
        }
    }
    return names;
}

std::optional<HostsText> readText(const std::string& path) {
    std::optional<std::string> bytes = readRegularFile(path);
    if (!bytes) return std::nullopt;
    HostsText result{std::move(*bytes), false};
    result.latin1 = !validUtf8(result.text);
    return result;
}

}  // namespace tarrow
