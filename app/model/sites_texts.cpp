#include "app/model/sites_texts.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "app/model/presets.h"
#include "app/model/site_lines.h"
#include "platform/paths.h"

namespace tarrow {

namespace {

const std::string product(appName);
constexpr std::string_view replacement = "\uFFFD";

// Characters that are not seen but act: controls, line and paragraph separators, and
// format characters such as the marks, embeddings and isolates that change the direction
// of the text around them.
bool invisible(UChar32 c) {
    switch (u_charType(c)) {
        case U_CONTROL_CHAR:
        case U_FORMAT_CHAR:
        case U_LINE_SEPARATOR:
        case U_PARAGRAPH_SEPARATOR:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::string addPlaceholder() {
    for (const Preset& preset : presets())
        if (preset.name == "Reddit") return "Add a site, like " + preset.domain;
    return "Add a site, like example.com";
}

std::string popularTitle(std::string_view kind) {
    std::string lower(kind);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return "Popular: " + lower;
}

std::string historyFootnote(Desktop desktop) {
    const char* whose = desktop == Desktop::mac ? "this Mac\u2019s" : "this computer\u2019s";
    return std::string("From ") + whose +
           " browsing history. Read when Sites opens, not stored, not sent.";
}

std::string shownEntry(std::string_view typed) {
    std::string out;
    const auto* bytes = reinterpret_cast<const uint8_t*>(typed.data());
    const auto length = static_cast<int32_t>(std::min<size_t>(typed.size(), INT32_MAX));
    size_t shown = 0;
    for (int32_t i = 0; i < length; ++shown) {
        if (shown == shownEntryLength) return out + "\u2026";
        const int32_t start = i;
        UChar32 c;
        U8_NEXT(bytes, i, length, c);  // c < 0: not UTF-8 here
        if (c < 0 || invisible(c))
            out += replacement;
        else
            out += typed.substr(size_t(start), size_t(i - start));
    }
    return out;
}

std::string notAnAddress(std::string_view typed) {
    return "\u201C" + shownEntry(typed) + "\u201D is not an address " + product +
           " can block. Type it like example.com.";
}

std::string neverBlocks(std::string_view domain, Desktop desktop) {
    const char* why = desktop == Desktop::mac
                          ? "your Mac needs it for updates, iCloud or the local network."
                          : "this computer needs it for updates or the local network.";
    return product + " never blocks " + std::string(domain) + ": " + why;
}

std::string removeTip(std::string_view name) {
    return "Remove " + std::string(name) + " from the list";
}

std::string removeName(std::string_view name) {
    return "Remove " + std::string(name);
}

LockedNote lockedInsteadOfList(const std::vector<std::string>& browsers, Desktop desktop) {
    if (desktop == Desktop::mac)
        return {"macOS keeps your browsing history behind Full Disk Access. Add " + product +
                    " there, and this list fills with the sites you visit most.",
                "Open Full Disk Access\u2026"};
    return lockedUnderList(browsers, desktop);
}

LockedNote lockedUnderList(const std::vector<std::string>& browsers, Desktop desktop) {
    const std::string names = listJoined(browsers);
    if (desktop == Desktop::mac)
        return {names + " need" + (browsers.size() == 1 ? "s" : "") + " Full Disk Access.",
                "Open Settings\u2026"};
    if (browsers.size() == 1)
        return {"The history of " + names + " could not be read. Closing " + names +
                    " or fixing the permissions of its profile folder may help.",
                {}};
    return {"The histories of " + names +
                " could not be read. Closing these browsers or fixing the permissions of their "
                "profile folders may help.",
            {}};
}

}  // namespace tarrow
