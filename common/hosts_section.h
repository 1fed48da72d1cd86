#pragma once
// The marked section that the product owns at the end of the hosts file, and the
// rules for the host names that may appear in it. Text functions without state, and
// readText, the one that reads a file; shared by the helper (which writes the file)
// and the app (which validates names and reads the file back).

#include <array>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"

namespace tarrow {

inline constexpr std::string_view blockBegin =
    "# >>> Tarrow >>> sites blocked while Tarrow is on. Managed by the app: lines in here are "
    "overwritten.";
inline constexpr std::string_view blockEnd = "# <<< Tarrow <<<";
inline constexpr std::array<std::string_view, 3> blockAddresses = {"0.0.0.0", "::", "127.0.0.2"};
inline constexpr std::string_view noticeAddress = "127.0.0.2";
inline constexpr std::string_view plainAddress = "0.0.0.0";

// Names that are never blocked: the platform vendor's service domains first, then
// private-use names.
inline constexpr std::array<std::string_view, 11> protectedSuffixes = {
    "apple.com", "icloud.com", "apple-dns.net", "aaplimg.com", "cdn-apple.com",
    "local",     "localhost",  "localdomain",   "arpa",        "internal",
    "lan"};

bool isBegin(std::string_view line);
bool isEnd(std::string_view line);
bool validHost(std::string_view name);
bool isProtected(std::string_view name);
bool isBlockLine(std::string_view line);
bool isPair(std::string_view line, std::string_view next);

std::string hostsFile(std::string_view text, const std::vector<std::string>& blocking,
                      std::string_view address = plainAddress);

std::set<std::string> blockedNames(std::string_view text);

struct HostsText {
    std::string text;  // the file's bytes; valid UTF-8 unless latin1
    bool latin1 = false;
};
// Reads a whole file; a failure when it cannot be read. Bytes that are not UTF-8 are
// taken as ISO Latin-1, which maps every byte to one character, so the bytes are
// kept as they are and written back unchanged.
Result<HostsText> readText(const std::string& path);

}  // namespace tarrow
