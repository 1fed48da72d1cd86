#pragma once
// Where the browsers keep their history databases, and which of them exist for a user.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarrow {

enum class HistoryFormat { chromium, firefox, safari };

struct HistoryFile {
    std::string path;
    HistoryFormat format = HistoryFormat::chromium;
    std::string browser;  // display name
    bool operator==(const HistoryFile&) const = default;
};

// A Chromium-family browser's user-data folder, relative to the home folder.
struct ChromiumFolder {
    std::string_view folder;
    std::string_view browser;
};

// The history locations of one platform, every path relative to the home folder.
struct HistoryPlaces {
    std::span<const ChromiumFolder> chromium;
    std::span<const std::string_view> firefox;  // folders that hold Firefox profiles
    std::string_view safari;                    // empty where there is no Safari
};

extern const HistoryPlaces linuxHistoryPlaces;
extern const HistoryPlaces macHistoryPlaces;
const HistoryPlaces& historyPlaces();  // the places of the platform this is built for

struct FoundHistories {
    std::vector<HistoryFile> files;
    std::vector<std::string> locked;  // browsers whose folder exists but cannot be listed
};

// The history files under `home`. A missing browser is no problem; a folder that exists
// but cannot be listed puts its browser into `locked`. A candidate file whose existence
// cannot be checked (a profile folder without permission) is kept, so that reading it
// fails and says why instead of the browser silently contributing nothing.
FoundHistories historyFiles(const std::string& home, const HistoryPlaces& places = historyPlaces());

// The user's home folder: $HOME, else the password database; empty when neither says.
std::string userHome();

}  // namespace tarrow
