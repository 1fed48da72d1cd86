#include "app/controller/modes.h"

#include <algorithm>

namespace tarrow::app {

namespace {

bool has(const std::vector<std::string>& args, const char* flag) {
    return std::find(args.begin(), args.end(), flag) != args.end();
}

}  // namespace

Invocation chooseMode(const std::vector<std::string>& args) {
    if (has(args, "--version")) return {Mode::version, {}};
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
    return {Mode::app, {}};
}

const char* modeFlag(Mode mode) {
    switch (mode) {
        case Mode::version:
            return "--version";
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
        case Mode::app:
            return "";
    }
    return "";
}

}  // namespace tarrow::app
