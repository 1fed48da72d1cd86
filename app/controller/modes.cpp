#include "app/controller/modes.h"

#include <algorithm>

#include "app/controller/command_file.h"

namespace tarrow::app {

namespace {

bool has(const std::vector<std::string>& args, const char* flag) {
    return std::find(args.begin(), args.end(), flag) != args.end();
}

}  // namespace

Invocation chooseMode(const std::vector<std::string>& args) {
    if (has(args, "--version")) return {Mode::version, {}};
    if (has(args, "--help") || has(args, "-h")) return {Mode::help, {}};
    if (has(args, "--selftest")) return {Mode::selftest, {}};
    // The first of "--icons" and "--render" decides; as the last argument it names no
    // folder and the later rows apply.
    auto image = std::find_if(args.begin(), args.end(), [](const std::string& a) {
        return a == "--icons" || a == "--render";
    });
    if (image != args.end() && image + 1 != args.end()) {
        return {*image == "--icons" ? Mode::icons : Mode::render, *(image + 1)};
    }
    if (has(args, "--suggest")) return {Mode::suggest, {}};
    if (has(args, "--page-test")) return {Mode::pageTest, {}};
    if (has(args, "--menu")) return {Mode::menu, {}};
    if (has(args, "--attempts")) return {Mode::attempts, {}};
    if (!args.empty() && !args[0].starts_with('-')) return {Mode::command, {}};
    return {Mode::app, {}};
}

std::optional<std::string> shellCommand(const std::vector<std::string>& args) {
    if (args.size() == 1 &&
        (args[0] == "on" || args[0] == "off" || args[0] == "status" || args[0] == "settings"))
        return args[0];
    if (args.size() == 2 && args[0] == "for" && lockMinutes(args[1]))
        return "for " + std::to_string(*lockMinutes(args[1]));
    if (args.size() == 2 && args[0] == "lock" && strictLockMinutes(args[1]))
        return "lock " + std::to_string(*strictLockMinutes(args[1]));
    return std::nullopt;
}

const char* commandUsage() {
    return "Usage: tarrow on | off | for MINUTES | lock MINUTES | status | settings\n"
           "MINUTES is a whole number from 1 to 10080 (one week), for lock 1 to 1440 (one\n"
           "day). See tarrow --help.\n";
}

const char* modeFlag(Mode mode) {
    switch (mode) {
        case Mode::version:
            return "--version";
        case Mode::help:
            return "--help";
        case Mode::selftest:
            return "--selftest";
        case Mode::icons:
            return "--icons";
        case Mode::render:
            return "--render";
        case Mode::suggest:
            return "--suggest";
        case Mode::pageTest:
            return "--page-test";
        case Mode::menu:
            return "--menu";
        case Mode::attempts:
            return "--attempts";
        case Mode::command:
        case Mode::app:
            return "";
    }
    return "";
}

const char* helpText() {
    return "Usage: tarrow [option | command]\n"
           "Tarrow keeps chosen web sites closed in every browser at once. Without an option\n"
           "it starts the tray app (one copy per user); started again, it brings the running\n"
           "copy\u2019s settings to the front. Blocking needs its helper, which the settings or\n"
           "the tray menu set up once with the administrator password.\n"
           "\n"
           "Commands to the running copy (each prints its status line once taken; exit\n"
           "status 1 when no copy runs, 2 for a word or number not listed here):\n"
           "  on                 block until you say okay\n"
           "  off                open every site again (until the next schedule starts)\n"
           "  for MINUTES        block for 1 to 10080 minutes\n"
           "  lock MINUTES       block for 1 to 1440 minutes, strict: it can\u2019t be ended "
           "early\n"
           "  status             print the status line\n"
           "  settings           show the settings window\n"
           "\n"
           "Options (the first that applies wins):\n"
           "  --version          print the name and the version\n"
           "  -h, --help         print this help\n"
           "  --selftest         run the built-in checks; exit status 1 when one fails\n"
           "  --icons <folder>   write the images of the tray mark into <folder>\n"
           "  --render <folder>  write images of the app\u2019s views into <folder>; with\n"
           "                     --working, --demo-locked or --demo-suggestions they show the\n"
           "                     helper set up, locked histories or made-up suggestions\n"
           "  --suggest          print the sites suggested from the browsers\u2019 history\n"
           "  --page-test        serve the block page alone and print its address, until\n"
           "                     stopped\n"
           "  --menu             print the tray menu as it would open now\n"
           "  --attempts         print how often each blocked site was tried in the last\n"
           "                     7 days\n"
           "\n"
           "Environment: TARROW_HOME replaces the state folder ($XDG_DATA_HOME/Tarrow,\n"
           "~/.local/share/Tarrow by default). --render takes the views\u2019 size from\n"
           "TARROW_RENDER_SIZE (580x440 by default) and the instant of their status line\n"
           "from TARROW_NOW (ISO 8601, now by default).\n"
           "See tarrow(1) and tarrow-helper(8).\n";
}

}  // namespace tarrow::app
