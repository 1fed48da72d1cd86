#include "platform/service_sandbox.h"

#include <climits>
#include <cstdlib>
#include <string_view>

namespace tarrow::platform {

namespace {

bool under(std::string_view path, std::string_view folder) {
    return path == folder ||
           (path.starts_with(folder) && path.size() > folder.size() && path[folder.size()] == '/');
}

}  // namespace

std::string resolvedLeadingPart(const std::string& path) {
    std::string head = path, tail;
    while (!head.empty()) {
        char buffer[PATH_MAX];
        if (::realpath(head.c_str(), buffer)) {
            std::string resolved = buffer;
            if (resolved == "/") resolved.clear();
            return resolved + tail;
        }
        const size_t slash = head.find_last_of('/');
        if (slash == std::string::npos) break;
        tail = head.substr(slash) + tail;
        head.resize(slash);
    }
    return path;
}

ServiceView serviceViewFor(const std::string& requestPath) {
    ServiceView view;
    for (const std::string& seen : {requestPath, resolvedLeadingPart(requestPath)}) {
        if (under(seen, "/tmp") || under(seen, "/var/tmp")) view.privateTmp = false;
        if (under(seen, "/dev")) view.privateDevices = false;
    }
    return view;
}

}  // namespace tarrow::platform
