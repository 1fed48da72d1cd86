#include "helper/still_open.h"

#include "common/hosts_section.h"
#include "platform/paths.h"

namespace tarrow {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether a hosts line, read as the C library reads it (an address, then names
// separated by spaces or tabs, '#' starting a comment), names the host.
bool lineNames(std::string_view line, std::string_view name) {
    line = line.substr(0, line.find('#'));
    size_t field = 0;
    for (size_t i = 0; i < line.size();) {
        while (i < line.size() && isBlank(line[i])) ++i;
        size_t end = i;
        while (end < line.size() && !isBlank(line[end])) ++end;
        if (end == i) break;
        if (field++ > 0 && end - i == name.size()) {
            bool same = true;
            for (size_t k = 0; k < name.size() && same; ++k) same = lower(line[i + k]) == name[k];
            if (same) return true;
        }
        i = end;
    }
    return false;
}

}  // namespace

std::string stillOpenReason(std::string_view hostsText, std::string_view name,
                            const std::vector<platform::IpAddress>& foreign) {
    const std::string hosts(systemHostsPath);
    bool sectionSeen = false, inside = false;
    for (size_t start = 0; start <= hostsText.size();) {
        size_t end = hostsText.find('\n', start);
        if (end == std::string_view::npos) end = hostsText.size();
        const std::string_view line = hostsText.substr(start, end - start);
        start = end + 1;
        if (isBegin(line)) {
            sectionSeen = inside = true;
        } else if (isEnd(line)) {
            inside = false;
        } else if (!(inside && isBlockLine(line)) && lineNames(line, name)) {
            return std::string(sectionSeen ? "a later" : "an earlier") + " line of " + hosts +
                   " names it";
        }
    }
    std::string answer = foreign.empty() ? std::string("another address") : foreign.front().text();
    return "the system resolver answers " + answer + " for it, not " + hosts;
}

}  // namespace tarrow
