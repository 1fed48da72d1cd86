#include "tests/support/child_descriptors.h"

#include <filesystem>
#include <sstream>

#include "platform/run_program.h"

namespace tarrow::test {

// Descriptor number -> what it refers to ("socket:[1234]", "anon_inode:inotify", a path).
std::map<int, std::string> openDescriptors() {
    std::map<int, std::string> out;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        auto target = std::filesystem::read_symlink(entry.path(), error);
        if (!error) out[std::stoi(entry.path().filename().string())] = target.string();
    }
    return out;
}

// What a child program receives of the descriptors opened since `before`, as targets.
std::set<std::string> inheritedSince(const std::map<int, std::string>& before) {
    std::set<std::string> fresh;
    for (const auto& [fd, target] : openDescriptors())
        if (!before.count(fd) || before.at(fd) != target) fresh.insert(target);
    auto child =
        platform::runProgram("/bin/sh", {"-c", "for f in /proc/$$/fd/*; do readlink \"$f\"; done"},
                             platform::Output::capture, platform::Output::discard);
    std::set<std::string> inherited;
    if (!child.ok()) {
        inherited.insert("<child did not start>");
        return inherited;
    }
    std::istringstream lines(child->output);
    for (std::string line; std::getline(lines, line);)
        if (fresh.count(line)) inherited.insert(line);
    return inherited;
}

}  // namespace tarrow::test
