#include "platform/desktop/apple_script.h"

#include "platform/run_program.h"

namespace tarrow::platform {

std::optional<std::string> runAppleScript(const std::string& script, const std::string& tool) {
    // "-s s": results in source form, so texts keep their quotes and lists their braces.
    Result<ProgramRun> run =
        runProgram(tool, {"-s", "s", "-e", script}, Output::capture, Output::discard);
    if (!run || run->status != 0) return std::nullopt;
    std::string& out = run->output;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

}  // namespace tarrow::platform
