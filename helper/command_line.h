#pragma once
// The helper's command line: which mode runs, with which values.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarrow::helper {

inline constexpr std::string_view usageLine =
    "tarrow-helper --daemon <request file> --uid <uid> | --apply <request file> --uid <uid> "
    "[--hosts <file>] [--no-flush] | --clear";

// What "--help" prints: every mode and what it does.
inline constexpr std::string_view helpText =
    "Usage: tarrow-helper <mode> [options]\n"
    "The root helper of Tarrow: it applies the app\u2019s request file to its own marked\n"
    "section of /etc/hosts and notes which blocked site was wanted. The app installs it\n"
    "as the systemd service de.brightloom.tarrow.helper.service.\n"
    "\n"
    "Modes (the first that applies wins):\n"
    "  --version                          print the name and the version\n"
    "  -h, --help                         print this help\n"
    "  --listen-test <folder> <port> <tls port>\n"
    "                                     answer like the daemon on 127.0.0.1 on the two\n"
    "                                     ports, noting hits in <folder>/hits, until stopped\n"
    "  --clear                            remove the section from the hosts file and end\n"
    "                                     a strict lock\n"
    "  --apply <request file> --uid <uid> apply the request file once, then exit\n"
    "  --daemon <request file> --uid <uid>\n"
    "                                     follow the request file of the user <uid> and\n"
    "                                     keep the section in step (the service\u2019s mode)\n"
    "\n"
    "Options outside --daemon:\n"
    "  --hosts <file>   work on <file> instead of /etc/hosts\n"
    "  --no-flush       do not flush the name caches after a change\n"
    "\n"
    "Exit status: 0 when done, 1 when the hosts file could not be written, 2 for a\n"
    "command line that names no mode. See tarrow-helper(8).\n";

enum class Mode { version, help, listenTest, clear, apply, daemon, usage };

struct Invocation {
    Mode mode = Mode::usage;
    bool daemon = false;                  // "--daemon" anywhere
    std::string hostsPath;                // /etc/hosts in the daemon, else --hosts or /etc/hosts
    bool flush = true;                    // always in the daemon, else unless --no-flush
    std::string requestPath;              // apply and daemon
    uid_t uid = 0;                        // apply and daemon
    std::string folder;                   // listen test
    uint16_t plainPort = 0, tlsPort = 0;  // listen test
};

// args excludes the program name. The first matching row wins.
Invocation parseCommandLine(const std::vector<std::string>& args);

// The argument right after the first occurrence of flag; none when the flag is absent
// or the last argument.
std::optional<std::string> value(const std::vector<std::string>& args, std::string_view flag);

// An unsigned 32-bit decimal number: digits only, no sign, no blanks.
std::optional<uint32_t> parseUnsigned32(std::string_view text);

}  // namespace tarrow::helper
