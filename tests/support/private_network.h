#pragma once
// Runs a piece of a test in a child process with a network and mount namespace of its
// own (loopback up), so that it may bind, connect and close connections without touching
// the machine.

#include <functional>

#include "tests/support/child_process.h"

namespace tarrow::test {

// The child's exit status: what fn returned; 77 when the namespaces cannot be made
// (not root); -1 when it crashed or ran past 60 seconds.
int inPrivateNetwork(const std::function<int()>& fn);

}  // namespace tarrow::test
