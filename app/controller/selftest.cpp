#include "app/controller/selftest.h"

namespace tarrow::app {

int runSelftest(const std::vector<Check>& checks, std::FILE* out) {
    int failed = 0;
    for (const Check& check : checks) {
        std::fprintf(out, "%s%s\n", check.ok ? "ok    " : "FAIL  ", check.label.c_str());
        if (!check.ok) ++failed;
    }
    if (failed == 0) {
        std::fprintf(out, "all passed\n");
    } else {
        std::fprintf(out, "%d failed\n", failed);
    }
    std::fflush(out);
    return failed == 0 ? 0 : 1;
}

}  // namespace tarrow::app
