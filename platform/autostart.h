#pragma once
// Starting the app at login on a freedesktop desktop: an autostart entry named after the
// app's desktop file id in the user's autostart folder. A system-wide entry of the same
// name is switched off for this user by a user entry with Hidden=true, as the XDG
// autostart rules have it; the user's entry always wins over the system's.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"

namespace tarrow::platform {

inline constexpr std::string_view desktopFileId = "de.brightloom.tarrow.desktop";

struct AutostartPlaces {
    std::string user;                 // $XDG_CONFIG_HOME/autostart/<id>
    std::vector<std::string> system;  // each $XDG_CONFIG_DIRS entry + /autostart/<id>
};

// From XDG_CONFIG_HOME (else ~/.config) and XDG_CONFIG_DIRS (else /etc/xdg); relative
// entries are ignored, as the XDG base directory rules ask.
AutostartPlaces autostartPlaces();

// True when the entry that counts (the user's if there is one, else the first system
// one) exists, can be read and is neither Hidden nor switched off for GNOME.
bool autostartEnabled(const AutostartPlaces& places);

// On: writes the user's entry starting `program`. Off: writes a hidden user entry when a
// system entry would start the app, otherwise removes the user's entry.
Status setAutostart(const AutostartPlaces& places, bool on, std::string_view program);

// The entry's text; none when `program` cannot be written into an Exec line (not UTF-8,
// or holding control characters).
std::optional<std::string> autostartEntry(std::string_view program, bool hidden = false);

// The running program's absolute path, for Exec.
std::string runningProgram();

}  // namespace tarrow::platform
