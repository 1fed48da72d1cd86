#include "app/browser/history_visits.h"

#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <limits>

namespace tarrow {

namespace {

std::string& problem() {
    thread_local std::string text;
    return text;
}

constexpr double secondsFrom1601To1970 = 11644473600.0;
constexpr double secondsFrom1970To2001 = 978307200.0;

std::int64_t saturated(double value) {
    constexpr double limit = 9223372036854775808.0;  // 2^63
    if (std::isnan(value) || value >= limit) return std::numeric_limits<std::int64_t>::max();
    if (value < -limit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

std::string failure(std::string_view step, sqlite3* db) {
    std::string text(step);
    text += ": ";
    text += db != nullptr ? sqlite3_errmsg(db) : "out of memory";
    text += " (errno ";
    text += std::to_string(db != nullptr ? sqlite3_system_errno(db) : 0);
    text += ")";
    return text;
}

bool hasTimeIndex(sqlite3* db) {
    sqlite3_stmt* statement = nullptr;
    const char* sql =
        "SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = 'visits_time_index' "
        "AND tbl_name = 'visits'";
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return false;
    }
    bool found = sqlite3_step(statement) == SQLITE_ROW;
    sqlite3_finalize(statement);
    return found;
}

std::string plainQuery(HistoryFormat format) {
    switch (format) {
        case HistoryFormat::chromium:
            return "SELECT u.url, COUNT(*) FROM visits v JOIN urls u ON u.id = v.url "
                   "WHERE v.visit_time > ?1 GROUP BY v.url";
        case HistoryFormat::firefox:
            return "SELECT p.url, COUNT(*) FROM moz_historyvisits v JOIN moz_places p "
                   "ON p.id = v.place_id WHERE v.visit_date > ?1 GROUP BY v.place_id";
        case HistoryFormat::safari:
            return "SELECT i.url, COUNT(*) FROM history_visits v JOIN history_items i "
                   "ON i.id = v.history_item WHERE v.visit_time > ?1 GROUP BY v.history_item";
    }
    return {};
}

sqlite3_stmt* prepared(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    return statement;
}

}  // namespace

const std::string& historyProblem() { return problem(); }

std::string historyAddress(std::string_view path) {
    constexpr char hex[] = "0123456789ABCDEF";
    std::string address = path.starts_with('/') ? "file://" : "file:";
    for (unsigned char c : path) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
        if (plain) {
            address += static_cast<char>(c);
        } else {
            address += '%';
            address += hex[c >> 4];
            address += hex[c & 0xF];
        }
    }
    address += "?mode=ro&immutable=1";
    return address;
}

std::variant<std::int64_t, double> historyCutoff(HistoryFormat format, double days, double now) {
    double cutoff = now - days * 86400.0;
    switch (format) {
        case HistoryFormat::chromium:
            return saturated((cutoff + secondsFrom1601To1970) * 1e6);
        case HistoryFormat::firefox:
            return saturated(cutoff * 1e6);
        case HistoryFormat::safari:
            return cutoff - secondsFrom1970To2001;
    }
    return 0.0;
}

std::string historyQuery(sqlite3* db, HistoryFormat format) {
    if (format == HistoryFormat::chromium && hasTimeIndex(db))
        return "SELECT u.url, COUNT(*) FROM visits v INDEXED BY visits_time_index "
               "JOIN urls u ON u.id = v.url WHERE v.visit_time > ?1 GROUP BY v.url";
    return plainQuery(format);
}

std::optional<std::vector<VisitCount>> historyVisits(const std::string& path, double days,
                                                     HistoryFormat format) {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    return historyVisits(path, days, format, std::chrono::duration<double>(now).count());
}

std::optional<std::vector<VisitCount>> historyVisits(const std::string& path, double days,
                                                     HistoryFormat format, double now) {
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
    if (sqlite3_open_v2(historyAddress(path).c_str(), &db, flags, nullptr) != SQLITE_OK) {
        problem() = failure("open", db);
        sqlite3_close(db);
        return std::nullopt;
    }
    sqlite3_stmt* statement = prepared(db, historyQuery(db, format));
    // A named index the planner cannot use fails the prepare; the plain query still reads.
    if (statement == nullptr && format == HistoryFormat::chromium)
        statement = prepared(db, plainQuery(format));
    if (statement == nullptr) {
        problem() = failure("read", db);
        sqlite3_close(db);
        return std::nullopt;
    }
    auto cutoff = historyCutoff(format, days, now);
    if (auto* micro = std::get_if<std::int64_t>(&cutoff))
        sqlite3_bind_int64(statement, 1, *micro);
    else
        sqlite3_bind_double(statement, 1, std::get<double>(cutoff));

    std::vector<VisitCount> rows;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        const unsigned char* url = sqlite3_column_text(statement, 0);
        if (url == nullptr) continue;
        int size = sqlite3_column_bytes(statement, 0);
        rows.push_back({std::string(reinterpret_cast<const char*>(url), size),
                        sqlite3_column_int64(statement, 1)});
    }
    bool failed = rc != SQLITE_DONE;
    // Say why even when rows came back, so a caller that logs partial reads can.
    if (failed) problem() = failure("read", db);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    if (failed && rows.empty()) return std::nullopt;
    return rows;
}

}  // namespace tarrow
