#include "platform/starting_agent.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/file_io.h"

namespace tarrow::platform {

namespace {

bool endsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

bool startsWith(std::string_view s, std::string_view head) {
    return s.substr(0, head.size()) == head;
}

std::vector<std::string_view> split(std::string_view s, char separator) {
    std::vector<std::string_view> parts;
    size_t at = 0;
    while (at <= s.size()) {
        size_t end = s.find(separator, at);
        if (end == std::string_view::npos) end = s.size();
        parts.push_back(s.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

// The path of the unified hierarchy ("0::/…") or of systemd's own one in a legacy or
// hybrid layout ("1:name=systemd:/…").
std::string_view systemdPath(std::string_view cgroup) {
    std::string_view legacy;
    for (std::string_view line : split(cgroup, '\n')) {
        if (startsWith(line, "0::")) return line.substr(3);
        const size_t first = line.find(':');
        if (first == std::string_view::npos) continue;
        const std::string_view rest = line.substr(first + 1);
        if (startsWith(rest, "name=systemd:")) legacy = rest.substr(13);
    }
    return legacy;
}

}  // namespace

std::optional<std::string> userServiceIn(std::string_view cgroup) {
    const std::vector<std::string_view> parts = split(systemdPath(cgroup), '/');
    bool underManager = false;
    for (size_t i = 0; i + 1 < parts.size(); ++i)
        if (startsWith(parts[i], "user@") && endsWith(parts[i], ".service")) underManager = true;
    const std::string_view unit = parts.back();
    if (!underManager || !endsWith(unit, ".service") || startsWith(unit, "user@")) return {};
    if (startsWith(unit, "app-")) return {};  // launched or autostarted by the desktop
    return std::string(unit);
}

std::optional<std::string> startingAgent() {
#ifdef __APPLE__
    const char* label = std::getenv("XPC_SERVICE_NAME");
    if (label && std::strcmp(label, "de.brightloom.tarrow") == 0) return std::string(label);
    return {};
#else
    const char* invocation = std::getenv("INVOCATION_ID");
    if (!invocation || !*invocation) return {};
    // Both variables are inherited by everything a service starts (a terminal server's
    // shells among them): only a process the user's manager started itself counts.
    const char* manager = std::getenv("MANAGERPID");
    if (!manager || std::to_string(::getppid()) != manager) return {};
    const Result<std::string> cgroup = readRegularFile("/proc/self/cgroup");
    if (!cgroup.ok()) return {};
    return userServiceIn(*cgroup);
#endif
}

}  // namespace tarrow::platform
