#pragma once
// Real history databases in the browsers' own layouts, under a temporary home folder.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/browser/history_files.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::test {

using TempHome = TempFolder;

struct FixtureVisit {
    std::optional<std::string> url;  // none: a NULL address
    double daysAgo = 1;
    int times = 1;  // visits at that moment
};

double nowSeconds();

// Creates the database (and its folders) at path with the browser's tables and indexes;
// Chromium's visit-time index only when timeIndex.
void writeHistory(HistoryFormat format, const std::string& path,
                  const std::vector<FixtureVisit>& visits, double now, bool timeIndex = true);

// Runs SQL on a database, failing the test on an error.
void execute(const std::string& path, const std::string& sql);

void makeFolder(const std::string& path, unsigned mode = 0755);

// Runs `work` as an unprivileged user and returns what it returned: in a forked child
// that drops to nobody when this process is root, in place otherwise. None when the
// switch to another user is not possible here.
std::optional<std::string> asUnprivileged(const std::function<std::string()>& work);

}  // namespace tarrow::test
