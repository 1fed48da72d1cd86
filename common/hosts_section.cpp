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

// The first two fields of a line split at spaces only (runs of spaces are one
// separator); the count stops at 3, which means "more than two".
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

bool isBlockAddress(std::string_view field) {
    return std::find(blockAddresses.begin(), blockAddresses.end(), field) != blockAddresses.end();
}

}  // namespace

// A "line" that holds a CR LF pair is a run of CR LF lines that this format cannot
// separate; taken as a marker, it would take every line of the run with it.
bool isBegin(std::string_view line) {
    return (startsWith(line, "# >>> Tarrow") || startsWith(line, "# >>> Pinfold")) &&
           line.find("\r\n") == std::string_view::npos;
}

bool isEnd(std::string_view line) {
    return (startsWith(line, "# <<< Tarrow") || startsWith(line, "# <<< Pinfold")) &&
           line.find("\r\n") == std::string_view::npos;
}

bool validHost(std::string_view name) {
    if (name.empty() || name.size() > 253) return false;
    size_t labels = 0;
    std::string_view last;
    size_t start = 0;
    while (true) {
        size_t dot = name.find('.', start);
        std::string_view label = name.substr(
            start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (!validLabel(label)) return false;
        ++labels;
        last = label;
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    if (labels < 2) return false;
    return std::any_of(last.begin(), last.end(), [](char c) { return c < '0' || c > '9'; });
}

namespace {

// The name of a block line (its second field); none for any other line.
std::optional<std::string_view> blockName(std::string_view line) {
    Fields f = spaceFields(line);
    if (f.count != 2 || !isBlockAddress(f.first) || !validHost(f.second)) return std::nullopt;
    return f.second;
}

// True when an end marker follows among the lines still ahead of the cursor.
bool endAhead(LineCursor lines) {
    for (std::string_view line; lines.next(line);)
        if (isEnd(line)) return true;
    return false;
}

// Moves the cursor past the address pairs that follow it.
void skipPairs(LineCursor& lines) {
    while (true) {
        LineCursor before = lines;
        std::string_view line, next;
        if (lines.next(line) && lines.next(next) && isPair(line, next)) continue;
        lines = before;
        return;
    }
}

// Where the first line that is a begin marker starts; the text's size when none is.
// Found by searching for the marker's text instead of walking every line: the lines above
// the section (ad-block lists run to a hundred thousand) are only ever copied.
size_t firstBeginAt(std::string_view text) {
    constexpr std::string_view mark = "# >>> ";
    for (size_t at = text.find(mark); at != std::string_view::npos; at = text.find(mark, at + 1)) {
        if (at > 0 && !isLineBreakAt(text, at - 1)) continue;
        std::string_view line;
        LineCursor(text.substr(at)).next(line);
        if (isBegin(line)) return at;
    }
    return text.size();
}

// Appends the lines that are not part of a section to out, joined with LF; true when a
// begin marker was seen. One pass, no list of lines, as the file may be megabytes.
bool appendWithoutBlock(std::string_view text, std::string& out) {
    bool found = false, first = true, endsLeft = true;
    auto keep = [&](std::string_view line) {
        if (!first) out += '\n';
        out.append(line);
        first = false;
    };
    const size_t start = firstBeginAt(text);
    if (start == text.size()) {
        out.append(text);
        return false;
    }
    if (start > 0) {  // the lines above the first marker, as they are, without the line end
        out.append(text.substr(0, start - 1));
        first = false;
    }
    LineCursor lines(text.substr(start));
    for (std::string_view line; lines.next(line);) {
        if (!isBegin(line)) {
            keep(line);
            continue;
        }
        found = true;
        endsLeft = endsLeft && endAhead(lines);  // once none is left, later markers need not look
        if (endsLeft) {
            // Foreign lines inside the section survive in its place. A second begin
            // marker before the end (an older section that lost its end) is a marker,
            // not a foreign line: kept, it would make every rewrite grow the file.
            while (lines.next(line) && !isEnd(line))
                if (!isBegin(line) && !isBlockLine(line)) keep(line);
        } else {
            // Lost end marker: only our own pairs right after the marker go.
            skipPairs(lines);
        }
    }
    return found;
}

}  // namespace

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
    return blockName(line).has_value();
}

bool isPair(std::string_view line, std::string_view next) {
    std::optional<std::string_view> name = blockName(line);
    if (!name || !isBlockLine(next)) return false;
    if (startsWith(line, ":: ") || !startsWith(next, ":: ")) return false;
    return next.substr(3) == *name;
}

std::string hostsFile(std::string_view text, const std::vector<std::string>& blocking,
                      std::string_view address) {
    size_t sectionSize = blocking.empty() ? 0 : blockBegin.size() + blockEnd.size() + 3;
    for (const auto& name : blocking) sectionSize += 2 * name.size() + address.size() + 6;
    std::string out;
    out.reserve(text.size() + sectionSize + 2);
    const bool found = appendWithoutBlock(text, out);
    if (blocking.empty() && !found) return std::string(text);

    while (endsWithTwoLineBreaks(out)) out.pop_back();
    if (!out.empty() && !endsWithLineBreak(out)) {
        out += '\n';
        // A lone CR at the end pairs with that LF into one character, which is no line
        // break; a second LF ends the line, so that blocking again gives the same text.
        if (!endsWithLineBreak(out)) out += '\n';
    }
    if (blocking.empty()) return out;

    // A lone line end is only the empty line that stood above a section: with it kept,
    // a file holding nothing but the section would grow a line on its next rewrite.
    if (out == "\n") out.clear();
    out += '\n';
    out += blockBegin;
    out += '\n';
    for (const auto& name : blocking) {
        out.append(address).append(" ").append(name).append("\n");
        out.append(":: ").append(name).append("\n");
    }
    out += blockEnd;
    out += '\n';
    return out;
}

std::set<std::string> blockedNames(std::string_view text) {
    std::set<std::string> names;
    bool inside = false;
    LineCursor lines(text.substr(firstBeginAt(text)));  // no line above the first marker counts
    for (std::string_view line; lines.next(line);) {
        if (line.empty()) continue;
        if (isBegin(line)) {
            inside = true;
        } else if (isEnd(line)) {
            inside = false;
        } else if (inside) {
            if (auto name = blockName(line)) names.emplace(*name);
        }
    }
    return names;
}

Result<HostsText> readText(const std::string& path) {
    Result<std::string> bytes = readRegularFile(path);
    if (!bytes) return bytes.status();
    HostsText result{std::move(*bytes), false};
    result.latin1 = !validUtf8(result.text);
    return result;
}

}  // namespace tarrow
