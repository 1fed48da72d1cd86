#pragma once
// The other side of the command file: a process started from the shell (or a second
// start) leaves a command for the running copy and waits until that copy has taken it
// and written its state file again.

#include <chrono>
#include <string>
#include <string_view>

namespace tarrow::app {

// The word a second start leaves: the running copy shows its settings.
inline constexpr const char* activateWord = "activate";

enum class Sent {
    answered,    // taken; `text` is the state file's first line (empty when not asked for)
    notRunning,  // no running copy holds the instance lock
    failed,      // the command could not be left; `text` says why
    noAnswer,    // left, but not taken (or no state written) in time
};

struct SendResult {
    Sent sent;
    std::string text;
};

struct SendSetup {
    std::string folder;    // the state folder, where the command file goes
    std::string lockPath;  // the running copy's instance lock
    std::chrono::milliseconds wait{2000};
    // Wait for the state file written after the command as well, and remove a command
    // that was not taken in time; otherwise the command is left for the running copy.
    bool answer = true;
};

// Senders queue behind one another (a lock file beside the command file), so that no
// command overwrites another that has not been taken yet.
SendResult sendCommand(const SendSetup& setup, std::string_view text);

}  // namespace tarrow::app
