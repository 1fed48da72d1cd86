#pragma once
// Which of this process's descriptors a program started now would inherit: the test
// notes the descriptors open before the objects under test exist, and a child shell
// lists what it got.

#include <map>
#include <set>
#include <string>

namespace tarrow::test {

// Descriptor number -> what it refers to ("socket:[1234]", "anon_inode:inotify", a path).
std::map<int, std::string> openDescriptors();

// What a child program receives of the descriptors opened since `before`, as targets.
std::set<std::string> inheritedSince(const std::map<int, std::string>& before);

}  // namespace tarrow::test
