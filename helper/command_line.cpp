#include "helper/command_line.h"

#include <algorithm>

#include "platform/paths.h"

namespace tarrow::helper {

namespace {

bool has(const std::vector<std::string>& args, std::string_view flag) {
    return std::find(args.begin(), args.end(), flag) != args.end();
}

std::optional<uint16_t> parsePort(std::string_view text) {
    auto n = parseUnsigned32(text);
    if (!n || *n > 65535) return std::nullopt;
    return static_cast<uint16_t>(*n);
}

// The listen test's three values: folder, plain port, TLS port.
bool listenTestValues(const std::vector<std::string>& args, Invocation& inv) {
    auto it = std::find(args.begin(), args.end(), "--listen-test");
    if (it == args.end() || args.end() - it < 4) return false;
    auto plain = parsePort(*(it + 2));
    auto tls = parsePort(*(it + 3));
    if (!plain || !tls) return false;
    inv.folder = *(it + 1);
    inv.plainPort = *plain;
    inv.tlsPort = *tls;
    return true;
}

}  // namespace

std::optional<std::string> value(const std::vector<std::string>& args, std::string_view flag) {
    auto it = std::find(args.begin(), args.end(), flag);
    if (it == args.end() || it + 1 == args.end()) return std::nullopt;
    return *(it + 1);
}

std::optional<uint32_t> parseUnsigned32(std::string_view text) {
    if (text.empty()) return std::nullopt;
    uint64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<uint64_t>(c - '0');
        if (n > UINT32_MAX) return std::nullopt;  // checked per digit, so leading zeros pass
    }
    return static_cast<uint32_t>(n);
}

Invocation parseCommandLine(const std::vector<std::string>& args) {
    Invocation inv;
    inv.daemon = has(args, "--daemon");
    const std::string system(systemHostsPath);
    inv.hostsPath = inv.daemon ? system : value(args, "--hosts").value_or(system);
    inv.flush = inv.daemon || !has(args, "--no-flush");

    if (has(args, "--version")) {
        inv.mode = Mode::version;
    } else if (has(args, "--help") || has(args, "-h")) {
        inv.mode = Mode::help;
    } else if (listenTestValues(args, inv)) {
        inv.mode = Mode::listenTest;
    } else if (has(args, "--clear")) {
        inv.mode = Mode::clear;
    } else {
        // GCC 12 warns on optional<uint32_t> copies here; plain values keep it quiet.
        uid_t uidValue = 0;
        bool uidOk = false;
        if (auto uid = value(args, "--uid")) {
            if (auto n = parseUnsigned32(*uid)) {
                uidValue = *n;
                uidOk = true;
            }
        }
        auto applyPath = value(args, "--apply");
        auto daemonPath = value(args, "--daemon");
        if (!inv.daemon && applyPath && uidOk) {
            inv.mode = Mode::apply;
            inv.requestPath = *applyPath;
            inv.uid = uidValue;
        } else if (daemonPath && uidOk) {
            inv.mode = Mode::daemon;
            inv.requestPath = *daemonPath;
            inv.uid = uidValue;
        }
    }
    return inv;
}

}  // namespace tarrow::helper
