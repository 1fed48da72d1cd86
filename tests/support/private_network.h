#pragma once
// Runs a piece of a test in a child process with a network and mount namespace of its
// own (loopback up, files bound over system ones), so that it may bind, connect, close
// connections and change what the resolver reads without touching the machine.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/child_process.h"

namespace tarrow::test {

// {file of the test, system file it stands in for}, e.g. {hosts, "/etc/hosts"}.
using FileBinds = std::vector<std::pair<std::string, std::string>>;

// The child's exit status: what fn returned; 77 when the namespaces cannot be made
// (not root); -1 when it crashed or ran past 60 seconds.
int inPrivateNetwork(const std::function<int()>& fn, const FileBinds& binds = {});

}  // namespace tarrow::test
