#pragma once
// Running system tools.

#include <optional>
#include <string>
#include <vector>

#include "common/status.h"

namespace tarrow::platform {

enum class Output { inherit, discard, capture };

struct ProgramRun {
    int status = -1;     // exit status; -1 when it ended by a signal
    std::string output;  // standard output, when captured
};

// Runs `program` (an absolute path) with `arguments`, waits for it to end. Standard
// input is the null device; standard error follows `errors` (captured errors join the
// captured text in `output`). A failure ("run") when the program does not exist or
// cannot be started.
Result<ProgramRun> runProgram(const std::string& program, const std::vector<std::string>& arguments,
                              Output output = Output::inherit, Output errors = Output::inherit);

// The first of `candidates` that exists and is executable.
std::optional<std::string> findProgram(const std::vector<std::string>& candidates);

}  // namespace tarrow::platform
