// Every check group of "--selftest", in the order they are printed.

#include "app/builtin_checks.h"

namespace tarrow::app {

std::vector<Check> builtInChecks() {
    std::vector<Check> all;
    for (auto group : {hostsChecks, sharedChecks, modelChecks, browserChecks}) {
        std::vector<Check> checks = group();
        all.insert(all.end(), checks.begin(), checks.end());
    }
    return all;
}

}  // namespace tarrow::app
