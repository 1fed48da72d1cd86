#pragma once
// The built-in check suite of "--selftest": the pure functions of both programs, run
// inside the shipped binary so a user can see that this build behaves.

#include <cstdio>
#include <string>
#include <vector>

namespace tarrow::app {

struct Check {
    std::string label;
    bool ok = false;
};

// Each area adds its checks in its own file; the app's builtInChecks() lists them all.
std::vector<Check> hostsChecks();
std::vector<Check> modelChecks();
std::vector<Check> sharedChecks();

// Prints "ok    label" or "FAIL  label" per check, then "all passed" or "<n> failed".
// Returns the exit status: 0 when all passed, 1 otherwise.
int runSelftest(const std::vector<Check>& checks, std::FILE* out);

}  // namespace tarrow::app
