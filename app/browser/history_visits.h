#pragma once
// Visit counts per address, read straight from a browser's history database.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/browser/history_files.h"

struct sqlite3;

namespace tarrow {

struct VisitCount {
    std::string url;
    std::int64_t count = 0;
    bool operator==(const VisitCount&) const = default;
};

// Why the last `historyVisits` of this thread failed, for the caller's log line. One per
// thread, so that a background read never races a read elsewhere.
const std::string& historyProblem();

// The visits per address since `days` before now; none when the database cannot be opened
// or read (`historyProblem()` then says why). The database is opened read-only and
// immutable: no journal or lock is touched, so a running browser is never disturbed.
std::optional<std::vector<VisitCount>> historyVisits(const std::string& path, double days,
                                                     HistoryFormat format);

// The same, with the current time given as seconds since 1970.
std::optional<std::vector<VisitCount>> historyVisits(const std::string& path, double days,
                                                     HistoryFormat format, double now);

// The pieces of the read, open for tests.

// The SQLite address of a file: read-only and immutable, the path percent-encoded.
std::string historyAddress(std::string_view path);

// The cut-off in the browser's own clock: microseconds since 1601 (Chromium), microseconds
// since 1970 (Firefox), seconds since 2001 (Safari). Saturates instead of overflowing.
std::variant<std::int64_t, double> historyCutoff(HistoryFormat format, double days, double now);

// How a database is read. Normally one grouped statement gives the rows. A Chromium
// history with its visit-time index is read in two steps instead: the visits since the
// cut-off by that index, counted here per address id, then the addresses' text. SQLite
// would otherwise either walk the address index through every visit ever made, or sort
// each recent visit to group it; both take several times longer on a long history. The
// rows are those of the grouped statement.
struct HistoryReading {
    std::string statement;  // grouped rows, or the ids of the recent visits
    std::string addresses;  // empty, or the statement giving every address id and text
};
HistoryReading historyReading(sqlite3* db, HistoryFormat format);

}  // namespace tarrow
