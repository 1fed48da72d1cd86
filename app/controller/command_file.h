#pragma once
// The command file: a few words any program running as the user can leave in the state
// folder for the next tick ("on", "off", "for 90", ...).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarrow::app {

inline constexpr int maxLockMinutes = 10080;       // one week
inline constexpr int maxStrictLockMinutes = 1440;  // one day, as the helper allows

struct Command {
    std::vector<std::string> words;  // never empty
    std::string text;                // the whole text, white space trimmed from both ends
};

// The words of a text, split at any white space (ASCII and Unicode spaces, tabs, line
// breaks); none when there is no word.
std::optional<Command> parseCommand(std::string_view text);

// Whole minutes 1 to maxLockMinutes in decimal digits with an optional sign; none for
// anything else, including numbers too large for any integer type.
std::optional<int> lockMinutes(std::string_view word);

// The same for a strict lock ("lock 90"): whole minutes 1 to maxStrictLockMinutes.
std::optional<int> strictLockMinutes(std::string_view word);

// Reads the file as UTF-8 and deletes it. None (and the file left alone) when it cannot
// be read, is not a regular file, or is not UTF-8.
std::optional<std::string> takeCommandText(const std::string& path);

}  // namespace tarrow::app
