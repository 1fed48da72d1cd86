#include "platform/admin_runner.h"

#include <sys/stat.h>

#include <vector>

#include "platform/quoting.h"
#include "platform/run_program.h"

namespace tarrow::platform {

namespace {

std::string lastLine(const std::string& text) {
    size_t end = text.find_last_not_of(" \t\r\n");
    if (end == std::string::npos) return {};
    size_t begin = text.find_last_of('\n', end);
    begin = begin == std::string::npos ? 0 : begin + 1;
    return text.substr(begin, end - begin + 1);
}

// pkexec's own statuses when it prints nothing (an agent that was dismissed, or none).
std::string pkexecMessage(int status) {
    if (status == 126) return "the password dialog was dismissed";
    if (status == 127) return "not authorized";
    if (status < 0) return "the script was stopped by a signal";
    return "the script ended with status " + std::to_string(status);
}

}  // namespace

std::string polkitAction(AdminAction action) {
    return "de.brightloom.tarrow." + std::string(adminShellWord(action)) + "-helper";
}

std::string_view adminShellWord(AdminAction action) {
    return action == AdminAction::setUp ? "set-up" : "remove";
}

std::string adminShell(const std::string& shell) {
    struct stat st {};
    const bool trusted = ::stat(shell.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == 0 &&
                         (st.st_mode & (S_IWGRP | S_IWOTH)) == 0 && (st.st_mode & S_IXUSR) != 0;
    return trusted ? shell : "/bin/sh";
}

Status runAsAdmin(const std::string& script, AdminAction action, const std::string& pkexec,
                  const std::string& shell) {
    std::vector<std::string> arguments{"--disable-internal-agent", shell};
    // Only the packaged shell takes the word; /bin/sh would read it as a script's name.
    if (shell != "/bin/sh") arguments.emplace_back(adminShellWord(action));
    arguments.insert(arguments.end(), {"-c", script});
    Result<ProgramRun> run = runProgram(pkexec, arguments, Output::capture, Output::capture);
    if (!run) return run.status();
    if (run->status == 0) return {};
    // pkexec's words when it finds no agent and may not fall back to the terminal.
    if (run->status == 127 && run->output.find("No authentication agent") != std::string::npos)
        return Status::failure("run as root", "", 0, std::string(noAgentDetail));
    std::string message = lastLine(run->output);
    return Status::failure("run as root", "", 0,
                           message.empty() ? pkexecMessage(run->status) : message);
}

std::string adminAppleScript(const std::string& script, const std::string& prompt) {
    return "do shell script \"" + appleScriptEscape(script) + "\" with prompt \"" +
           appleScriptEscape(prompt) + "\" with administrator privileges";
}

}  // namespace tarrow::platform
