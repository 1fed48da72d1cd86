#include "app/browser/history_visits.h"

#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <utility>

namespace tarrow {

namespace {

constexpr double secondsFrom1601To1970 = 11644473600.0;
constexpr double secondsFrom1970To2001 = 978307200.0;

std::int64_t saturated(double value) {
    constexpr double limit = 9223372036854775808.0;  // 2^63
    if (std::isnan(value) || value >= limit) return std::numeric_limits<std::int64_t>::max();
    if (value < -limit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

Status failure(const char* step, const std::string& path, sqlite3* db) {
    return Status::failure(step, path, db != nullptr ? sqlite3_system_errno(db) : 0,
                           db != nullptr ? sqlite3_errmsg(db) : "out of memory");
}

std::string groupedQuery(HistoryFormat format) {
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

// A prepared statement, finalized when it goes; empty when the text is empty or does not
// prepare.
class Statement {
  public:
    Statement() = default;
    Statement(sqlite3* db, const std::string& sql) {
        if (!sql.empty() &&
            sqlite3_prepare_v2(db, sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK) {
            sqlite3_finalize(statement_);
            statement_ = nullptr;
        }
    }
    Statement(Statement&& other) noexcept : statement_(std::exchange(other.statement_, nullptr)) {}
    Statement& operator=(Statement&& other) noexcept {
        std::swap(statement_, other.statement_);
        return *this;
    }
    ~Statement() { sqlite3_finalize(statement_); }
    explicit operator bool() const { return statement_ != nullptr; }
    sqlite3_stmt* get() const { return statement_; }

  private:
    sqlite3_stmt* statement_ = nullptr;
};

bool hasTimeIndex(sqlite3* db) {
    Statement found(db,
                    "SELECT 1 FROM sqlite_master WHERE type = 'index' AND "
                    "name = 'visits_time_index' AND tbl_name = 'visits'");
    return found && sqlite3_step(found.get()) == SQLITE_ROW;
}

std::string text(sqlite3_stmt* statement, int column) {
    const unsigned char* bytes = sqlite3_column_text(statement, column);
    return {reinterpret_cast<const char*>(bytes),
            static_cast<size_t>(sqlite3_column_bytes(statement, column))};
}

// The rows of a grouped statement. A failure after some rows keeps them: a damaged page
// late in the file should not cost the whole history. None when nothing could be read.
std::optional<std::vector<VisitCount>> groupedRows(sqlite3_stmt* statement) {
    std::vector<VisitCount> rows;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        if (sqlite3_column_type(statement, 0) != SQLITE_NULL)
            rows.push_back({text(statement, 0), sqlite3_column_int64(statement, 1)});
    if (rc != SQLITE_DONE && rows.empty()) return std::nullopt;
    return rows;
}

// Visits per address id. Chromium numbers its addresses from 1 upwards, so a plain array
// is usually possible and several times faster than hashing a million visits; ids beyond
// `denseLimit` (an old, long history) fall back to a hash map.
class IdCounts {
  public:
    static constexpr std::int64_t denseLimit = std::int64_t{1} << 22;  // 16 MiB of counts

    explicit IdCounts(std::optional<std::int64_t> largestId) {
        if (largestId && *largestId >= 0 && *largestId < denseLimit)
            dense_.assign(static_cast<size_t>(*largestId) + 1, 0);
        else
            sparse_.emplace();
    }
    void add(std::int64_t id) {
        if (sparse_) {
            ++(*sparse_)[id];
        } else if (id >= 0 && id < static_cast<std::int64_t>(dense_.size()) &&
                   dense_[id] < std::numeric_limits<std::int32_t>::max()) {
            ++dense_[id];  // larger ids have no address row and would be dropped anyway
        }
        any_ = true;
    }
    std::int64_t count(std::int64_t id) const {
        if (sparse_) {
            auto found = sparse_->find(id);
            return found == sparse_->end() ? 0 : found->second;
        }
        return id >= 0 && id < static_cast<std::int64_t>(dense_.size()) ? dense_[id] : 0;
    }
    bool empty() const { return !any_; }

  private:
    std::vector<std::int32_t> dense_;
    std::optional<std::unordered_map<std::int64_t, std::int64_t>> sparse_;
    bool any_ = false;
};

std::optional<std::int64_t> largestAddressId(sqlite3* db) {
    Statement largest(db, "SELECT max(id) FROM urls");
    if (!largest || sqlite3_step(largest.get()) != SQLITE_ROW ||
        sqlite3_column_type(largest.get(), 0) != SQLITE_INTEGER)
        return std::nullopt;
    return sqlite3_column_int64(largest.get(), 0);
}

// The visits counted per address id, then joined with the addresses' text; the same
// failure rule as for grouped rows.
std::optional<std::vector<VisitCount>> countedRows(sqlite3* db, sqlite3_stmt* visits,
                                                   sqlite3_stmt* addresses) {
    IdCounts counts(largestAddressId(db));
    int rc;
    while ((rc = sqlite3_step(visits)) == SQLITE_ROW) counts.add(sqlite3_column_int64(visits, 0));
    if (rc != SQLITE_DONE && counts.empty()) return std::nullopt;
    std::vector<VisitCount> rows;
    while ((rc = sqlite3_step(addresses)) == SQLITE_ROW) {
        std::int64_t count = counts.count(sqlite3_column_int64(addresses, 0));
        if (count == 0 || sqlite3_column_type(addresses, 1) == SQLITE_NULL) continue;
        rows.push_back({text(addresses, 1), count});
    }
    if (rc != SQLITE_DONE && rows.empty()) return std::nullopt;
    return rows;
}

}  // namespace

std::string historyProblem(const Status& failure) {
    return failure.operation() + ": " + failure.detail() + " (errno " +
           std::to_string(failure.error()) + ")";
}

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

std::variant<std::int64_t, double> historyCutoff(HistoryFormat format, double days,
                                                 std::chrono::system_clock::time_point now) {
    const double seconds = std::chrono::duration<double>(now.time_since_epoch()).count();
    double cutoff = seconds - days * 86400.0;
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

HistoryReading historyReading(sqlite3* db, HistoryFormat format) {
    if (format == HistoryFormat::chromium && hasTimeIndex(db))
        return {"SELECT v.url FROM visits v INDEXED BY visits_time_index WHERE v.visit_time > ?1",
                "SELECT u.id, u.url FROM urls u"};
    return {groupedQuery(format), {}};
}

Result<std::vector<VisitCount>> historyVisits(const std::string& path, double days,
                                              HistoryFormat format) {
    return historyVisits(path, days, format, std::chrono::system_clock::now());
}

Result<std::vector<VisitCount>> historyVisits(const std::string& path, double days,
                                              HistoryFormat format,
                                              std::chrono::system_clock::time_point now) {
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
    if (sqlite3_open_v2(historyAddress(path).c_str(), &db, flags, nullptr) != SQLITE_OK) {
        Status opened = failure("open", path, db);
        sqlite3_close(db);
        return opened;
    }
    HistoryReading reading = historyReading(db, format);
    Statement statement(db, reading.statement);
    Statement addresses(db, reading.addresses);
    // Any surprise in the layout: the grouped statement still reads what it can.
    if (!reading.addresses.empty() && (!statement || !addresses)) {
        reading = {groupedQuery(format), {}};
        statement = Statement(db, reading.statement);
    }
    std::optional<std::vector<VisitCount>> rows;
    Status read;
    if (!statement) {
        read = failure("read", path, db);
    } else {
        auto cutoff = historyCutoff(format, days, now);
        if (auto* micro = std::get_if<std::int64_t>(&cutoff))
            sqlite3_bind_int64(statement.get(), 1, *micro);
        else
            sqlite3_bind_double(statement.get(), 1, std::get<double>(cutoff));
        rows = reading.addresses.empty() ? groupedRows(statement.get())
                                         : countedRows(db, statement.get(), addresses.get());
        if (!rows) read = failure("read", path, db);
    }
    statement = Statement();
    addresses = Statement();
    sqlite3_close(db);
    if (!rows) return read;
    return std::move(*rows);
}

}  // namespace tarrow
