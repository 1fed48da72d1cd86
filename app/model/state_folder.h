#pragma once
// Where the app keeps its files: TARROW_HOME when set and not empty (a leading ~
// expanded), else $XDG_DATA_HOME/Tarrow, else ~/.local/share/Tarrow.

#include <optional>
#include <string>
#include <string_view>

namespace tarrow {

// The values the state folder depends on; read from the process in one place so that
// tests can pass their own.
struct Environment {
    std::optional<std::string> tarrowHome;   // TARROW_HOME
    std::optional<std::string> xdgDataHome;  // XDG_DATA_HOME
    std::string home;                        // HOME, else the user database's home
    std::string workingFolder;               // for relative paths
};
Environment currentEnvironment();

// "~" and "~/…" take the home folder, "~user/…" that user's home; anything else is kept.
std::string expandTilde(std::string_view path, std::string_view home);

std::string folderFor(const Environment& environment);

// The state folder of this process, decided once from its environment.
const std::string& folder();
// A name joined to the state folder.
std::string file(std::string_view name);
// A name joined to a given folder.
std::string fileIn(std::string_view folder, std::string_view name);

// The earlier product's configuration: the folder's parent joined with Pinfold/config.json.
std::string pinfoldFile(std::string_view folder);

}  // namespace tarrow
