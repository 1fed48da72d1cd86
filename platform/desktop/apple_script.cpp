#include "platform/desktop/apple_script.h"

#include "platform/run_program.h"

namespace tarrow::platform {

std::optional<std::string> runAppleScript(const std::string& script, const std::string& tool) {
    // "-s s": results in source form, so texts keep their quotes and lists their braces.
    ProgramResult result =
        runProgram(tool, {"-s", "s", "-e", script}, Output::capture, Output::discard);
    if (!result.started || result.status != 0) return std::nullopt;
    std::string& out = result.output;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

}  // namespace tarrow::platform
