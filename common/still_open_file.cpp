#include "common/still_open_file.h"

#include "common/hosts_section.h"

namespace tarrow {

std::string stillOpenText(const StillOpen& open) {
    std::string text;
    for (const auto& [name, reason] : open) text += name + ": " + reason + "\n";
    return text;
}

StillOpen parseStillOpen(std::string_view text) {
    StillOpen open;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        const size_t colon = line.find(": ");
        if (colon == std::string_view::npos) continue;
        const std::string name(line.substr(0, colon));
        if (validHost(name)) open[name] = std::string(line.substr(colon + 2));
    }
    return open;
}

}  // namespace tarrow
