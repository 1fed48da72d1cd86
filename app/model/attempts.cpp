#include "app/model/attempts.h"

#include <cerrno>

#include "app/model/attempts_json.h"
#include "app/model/broken_file.h"
#include "app/model/state_folder.h"
#include "common/file_io.h"
#include "common/hosts_section.h"

namespace tarrow {

Day localDay(Instant t, const Calendar& calendar) {
    return Day{calendar.date(t)};
}

bool keepRecent(AttemptCounts& counts, Day today) {
    const size_t before = counts.size();
    const Day first = today - std::chrono::days{keptDays - 1};
    counts.erase(counts.begin(), counts.lower_bound(first));
    counts.erase(counts.upper_bound(today + std::chrono::days{aheadDays}), counts.end());
    return counts.size() != before;
}

SiteAttempts totals(const AttemptCounts& counts, Day today, int days) {
    SiteAttempts sums;
    const Day first = today - std::chrono::days{days - 1};
    for (auto day = counts.lower_bound(first); day != counts.end() && day->first <= today; ++day)
        for (const auto& [domain, n] : day->second) sums[domain] += n;
    return sums;
}

Attempts::Attempts(std::string folder, LogFn log)
    : folder_(std::move(folder)), path_(fileIn(folder_, "attempts.json")), log_(std::move(log)) {
    load();
}

void Attempts::load() {
    Result<std::string> text = readRegularFile(path_);
    std::string problem;
    if (text) {
        AttemptsReading reading = decodeAttempts(*text);
        if (reading.counts) {
            counts_ = std::move(*reading.counts);
            return;
        }
        problem = reading.problem;
    } else {
        if (text.status().error() == ENOENT) return;  // none yet
        problem = text.status().text();
    }
    // Counting starts again; the file is kept for whoever wants to look at it.
    Result<std::string> moved = setAside(folder_, "attempts");
    if (moved) {
        if (log_) log_("attempts.json unreadable (" + problem + "), moved to " + *moved);
        return;
    }
    unreadableLeft_ = true;
    logOnce(moved.status(), "attempts.json unreadable (" + problem +
                                "), could not move it aside: " + moved.status().text());
}

bool Attempts::count(const std::string& domain, Instant at, const Calendar& calendar) {
    // Only names the file may hold are counted, so what is written reads back.
    if (!validHost(domain)) return false;
    auto last = lastCounted_.find(domain);
    if (last != lastCounted_.end()) {
        const auto apart = at > last->second ? at - last->second : last->second - at;
        if (apart < sameAttempt) return false;
    }
    lastCounted_[domain] = at;
    const Day day = localDay(at, calendar);
    int& n = counts_[day][domain];
    if (n < maxDayCount) ++n;
    dayTexts_.erase(day);
    changed_ = true;
    return true;
}

void Attempts::save(Instant now, const Calendar& calendar) {
    // Old days go even when nothing is tried any more: kept means kept 90 days.
    if (keepRecent(counts_, localDay(now, calendar))) changed_ = true;
    if (!changed_) return;
    std::erase_if(dayTexts_, [this](const auto& text) { return !counts_.contains(text.first); });
    write();
}

void Attempts::forget() {
    counts_.clear();
    lastCounted_.clear();
    dayTexts_.clear();
    write();
}

void Attempts::write() {
    // Writing over a file that could not be read and could not be moved aside would
    // lose it.
    if (unreadableLeft_) {
        Result<std::string> moved = setAside(folder_, "attempts");
        if (!moved) {
            logOnce(moved.status(),
                    "attempts.json unreadable, could not move it aside: " + moved.status().text());
            changed_ = true;
            return;
        }
        unreadableLeft_ = false;
        if (log_) log_("attempts.json unreadable, moved to " + *moved);
    }
    std::vector<std::string_view> days;
    for (const auto& [day, sites] : counts_) {
        auto text = dayTexts_.find(day);
        if (text == dayTexts_.end()) text = dayTexts_.emplace(day, encodeDay(day, sites)).first;
        days.push_back(text->second);
    }
    AtomicWrite how;
    how.mode = 0600;
    // Replaced whole by rename like config.json, but not synced: during a flood it is
    // written every tick, and two fsyncs a tick would cost more than the counting. A
    // power cut can at worst leave a file that is set aside at the next start.
    how.sync = false;
    // Counted as written when handed over; a failure marks the counts for the next try.
    changed_ = false;
    writeFile({path_, joinDays(days), how, [this](const Status& written) {
                   if (!written.ok()) changed_ = true;
                   logOnce(written, "cannot save the attempts: " + written.text());
               }});
}

// A lasting failure is said once, not at every tick; a different one is said again.
void Attempts::logOnce(const Status& status, const std::string& line) {
    if (status == lastFailure_) return;
    lastFailure_ = status;
    if (!status.ok() && log_) log_(line);
}

int Attempts::today(std::string_view domain, Instant now, const Calendar& calendar) const {
    auto day = counts_.find(localDay(now, calendar));
    if (day == counts_.end()) return 0;
    auto n = day->second.find(domain);
    return n == day->second.end() ? 0 : n->second;
}

SiteAttempts Attempts::week(Instant now, const Calendar& calendar) const {
    return totals(counts_, localDay(now, calendar), weekDays);
}

}  // namespace tarrow
