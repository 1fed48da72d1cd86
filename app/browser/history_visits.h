#pragma once
// Visit counts per address, read straight from a browser's history database.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/browser/history_files.h"
#include "common/status.h"

struct sqlite3;

namespace tarrow {

struct VisitCount {
    std::string url;
    std::int64_t count = 0;
    bool operator==(const VisitCount&) const = default;
};

// The visits per address since `days` before now. A failure when the database cannot be
// opened or read: the step ("open" or "read"), the path, SQLite's system errno and its
// message. The database is opened read-only and immutable: no journal or lock is
// touched, so a running browser is never disturbed.
Result<std::vector<VisitCount>> historyVisits(const std::string& path, double days,
                                              HistoryFormat format);

// The same at a given current time.
Result<std::vector<VisitCount>> historyVisits(const std::string& path, double days,
                                              HistoryFormat format,
                                              std::chrono::system_clock::time_point now);

// "<step>: <SQLite's message> (errno <n>)", for the log line of a failed read.
std::string historyProblem(const Status& failure);

// The pieces of the read, open for tests.

// The SQLite address of a file: read-only and immutable, the path percent-encoded.
std::string historyAddress(std::string_view path);

// The cut-off in the browser's own clock: microseconds since 1601 (Chromium), microseconds
// since 1970 (Firefox), seconds since 2001 (Safari). Saturates instead of overflowing.
std::variant<std::int64_t, double> historyCutoff(HistoryFormat format, double days,
                                                 std::chrono::system_clock::time_point now);

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
