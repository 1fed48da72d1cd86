#pragma once
// Everything the user decides, as one value. Callers copy `Store::config()`, change the
// copy and assign it back as a whole.

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/model/instant.h"

namespace tarrow {

struct Site {
    std::string id;      // canonical UUID text
    std::string domain;  // as `normalize` produces it
    bool enabled = true;

    // A new site with a fresh random id.
    static Site named(std::string domain, bool enabled = true);

    friend bool operator==(const Site&, const Site&) = default;
};

// A weekly occurrence in wall-clock time. Days are calendar weekday numbers, 1 Sunday
// to 7 Saturday; start and end count minutes after local midnight. An end below the
// start runs past midnight, an end equal to the start is the whole day.
struct Schedule {
    std::string id;
    bool enabled = true;
    std::set<int> days;
    int start = 0;
    int end = 0;

    // A new schedule with a fresh random id.
    static Schedule make(bool enabled, std::set<int> days, int start, int end);

    friend bool operator==(const Schedule&, const Schedule&) = default;
};

struct Config {
    Config() = default;
    // The other fields keep their defaults: nothing switched on, notice and suggest on.
    Config(std::vector<Site> sites, std::vector<Schedule> schedules)
        : sites(std::move(sites)), schedules(std::move(schedules)) {}

    std::vector<Site> sites;
    std::vector<Schedule> schedules;
    bool manualOn = false;
    std::optional<Instant> onUntil;      // on until this instant (a timed lock)
    std::optional<Instant> offUntil;     // the running schedule is skipped until this instant
    bool notice = true;                  // block page in the tab, card elsewhere
    bool suggest = true;                 // suggest sites from the browsing history
    bool strictLocks = false;            // timed locks from the menu can't be ended early
    std::optional<Instant> strictUntil;  // the strict lock asked of the helper ends here
    bool waitToOpen = false;             // "Okay, Now" opens only after a minute's wait

    // The configuration of a first start; built once, the same value on every call.
    static const Config& initial();

    friend bool operator==(const Config&, const Config&) = default;
};

}  // namespace tarrow
