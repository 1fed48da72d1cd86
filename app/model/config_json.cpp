#include "app/model/config_json.h"

#include <cmath>
#include <limits>

#include <nlohmann/json.hpp>

#include "app/model/uuid.h"
#include "common/utf8.h"

namespace tarrow {

using nlohmann::json;

namespace {

// Reading: each helper answers none for a wrong type; the caller gives up on the file.

const json* member(const json& object, const char* key) {
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

// A schedule's number: none when it is no number at all (the file is unreadable), else
// its value, or why it cannot be one (the schedule is left out).
struct Number {
    int value = 0;
    std::string problem;
};

std::optional<Number> readNumber(const json& v, const char* what) {
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    auto problem = [&](const char* why) {
        return Number{0, std::string(what) + " " + v.dump() + " " + why};
    };
    if (v.is_number_unsigned()) {
        if (v.get<uint64_t>() > uint64_t(highest)) return problem("is out of range");
        return Number{int(v.get<uint64_t>()), {}};
    }
    if (v.is_number_integer()) {
        const int64_t i = v.get<int64_t>();
        if (i < int64_t(lowest) || i > int64_t(highest)) return problem("is out of range");
        return Number{int(i), {}};
    }
    if (v.is_number_float()) {
        const double d = v.get<double>();
        if (!std::isfinite(d) || d < lowest || d > highest) return problem("is out of range");
        if (std::trunc(d) != d) return problem("is not a whole number");
        return Number{int(d), {}};
    }
    return std::nullopt;
}

std::optional<std::string> readId(const json& object) {
    const json* v = member(object, "id");
    if (!v || !v->is_string()) return std::nullopt;
    return canonicalUuid(v->get_ref<const std::string&>());
}

std::optional<bool> readBool(const json& object, const char* key) {
    const json* v = member(object, key);
    if (!v || !v->is_boolean()) return std::nullopt;
    return v->get<bool>();
}

std::optional<Site> readSite(const json& v) {
    if (!v.is_object()) return std::nullopt;
    auto id = readId(v);
    const json* domain = member(v, "domain");
    auto enabled = readBool(v, "enabled");
    if (!id || !domain || !domain->is_string() || !enabled) return std::nullopt;
    return Site{*id, domain->get<std::string>(), *enabled};
}

// False when the object is malformed (the file is unreadable). Otherwise `why` is empty
// and `out` the schedule, or `why` says which number leaves it out.
bool readSchedule(const json& v, Schedule& out, std::string& why) {
    if (!v.is_object()) return false;
    auto id = readId(v);
    auto enabled = readBool(v, "enabled");
    const json* days = member(v, "days");
    const json* start = member(v, "start");
    const json* end = member(v, "end");
    if (!id || !enabled || !days || !days->is_array() || !start || !end) return false;
    out = Schedule{*id, *enabled, {}, 0, 0};
    why.clear();
    auto take = [&why](const json& value, const char* what, int& into) {
        std::optional<Number> n = readNumber(value, what);
        if (!n) return false;
        if (why.empty()) why = n->problem;
        into = n->value;
        return true;
    };
    for (const json& d : *days) {
        int day = 0;
        if (!take(d, "day", day)) return false;
        out.days.insert(day);
    }
    return take(*start, "start", out.start) && take(*end, "end", out.end);
}

// A top-level key: absent or null leaves the default; otherwise it must read.
template <typename Read>
bool readKey(const json& top, const char* key, Read read) {
    const json* v = member(top, key);
    if (!v || v->is_null()) return true;
    return read(*v);
}

bool readInstant(const json& v, std::optional<Instant>& out) {
    if (!v.is_string()) return false;
    out = parseIso(v.get_ref<const std::string&>());
    return out.has_value();
}

}  // namespace

std::string encodeConfig(const Config& config) {
    // nlohmann's object is an ordered map of std::string, so keys come out sorted by
    // their bytes.
    json top = json::object();
    json sites = json::array();
    for (const Site& s : config.sites)
        sites.push_back({{"id", s.id}, {"domain", s.domain}, {"enabled", s.enabled}});
    json schedules = json::array();
    for (const Schedule& s : config.schedules) {
        schedules.push_back({{"id", s.id},
                             {"enabled", s.enabled},
                             {"days", s.days},
                             {"start", s.start},
                             {"end", s.end}});
    }
    top["sites"] = std::move(sites);
    top["schedules"] = std::move(schedules);
    top["manualOn"] = config.manualOn;
    if (config.onUntil) top["onUntil"] = isoText(*config.onUntil);
    if (config.offUntil) top["offUntil"] = isoText(*config.offUntil);
    top["notice"] = config.notice;
    top["suggest"] = config.suggest;
    // Written only when set, so that a configuration that never used them reads as before.
    if (config.strictLocks) top["strictLocks"] = true;
    if (config.strictUntil) top["strictUntil"] = isoText(*config.strictUntil);
    if (config.waitToOpen) top["waitToOpen"] = true;
    return top.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::optional<ConfigReading> readConfig(std::string_view text) {
    if (!validUtf8(text)) return std::nullopt;
    json top = json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (top.is_discarded() || !top.is_object()) return std::nullopt;

    ConfigReading reading;
    Config& c = reading.config;
    auto flag = [](bool& out) {
        return [&out](const json& v) {
            if (!v.is_boolean()) return false;
            out = v.get<bool>();
            return true;
        };
    };
    auto list = [](auto& out, auto read) {
        return [&out, read](const json& v) {
            if (!v.is_array()) return false;
            for (const json& e : v) {
                auto item = read(e);
                if (!item) return false;
                out.push_back(std::move(*item));
            }
            return true;
        };
    };
    auto instant = [](std::optional<Instant>& out) {
        return [&out](const json& v) { return readInstant(v, out); };
    };
    auto schedules = [&reading](const json& v) {
        if (!v.is_array()) return false;
        for (size_t i = 0; i < v.size(); ++i) {
            Schedule schedule;
            std::string why;
            if (!readSchedule(v[i], schedule, why)) return false;
            if (why.empty()) {
                reading.config.schedules.push_back(std::move(schedule));
            } else {
                reading.leftOut.push_back("schedule " + std::to_string(i + 1) +
                                          " left out: " + why);
            }
        }
        return true;
    };
    const bool ok =
        readKey(top, "sites", list(c.sites, readSite)) && readKey(top, "schedules", schedules) &&
        readKey(top, "manualOn", flag(c.manualOn)) && readKey(top, "notice", flag(c.notice)) &&
        readKey(top, "suggest", flag(c.suggest)) && readKey(top, "onUntil", instant(c.onUntil)) &&
        readKey(top, "offUntil", instant(c.offUntil)) &&
        readKey(top, "strictLocks", flag(c.strictLocks)) &&
        readKey(top, "strictUntil", instant(c.strictUntil)) &&
        readKey(top, "waitToOpen", flag(c.waitToOpen));
    if (!ok) return std::nullopt;
    return reading;
}

std::optional<Config> decodeConfig(std::string_view text) {
    std::optional<ConfigReading> reading = readConfig(text);
    if (!reading) return std::nullopt;
    return std::move(reading->config);
}

}  // namespace tarrow
