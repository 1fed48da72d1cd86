#include "app/model/config_json.h"

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

std::optional<int> readInt(const json& v) {
    if (v.is_number_unsigned()) {
        auto u = v.get<uint64_t>();
        if (u > uint64_t(std::numeric_limits<int>::max())) return std::nullopt;
        return int(u);
    }
    if (v.is_number_integer()) {
        auto i = v.get<int64_t>();
        if (i < std::numeric_limits<int>::min() || i > std::numeric_limits<int>::max())
            return std::nullopt;
        return int(i);
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

std::optional<Schedule> readSchedule(const json& v) {
    if (!v.is_object()) return std::nullopt;
    auto id = readId(v);
    auto enabled = readBool(v, "enabled");
    const json* days = member(v, "days");
    const json* start = member(v, "start");
    const json* end = member(v, "end");
    if (!id || !enabled || !days || !days->is_array() || !start || !end) return std::nullopt;
    Schedule s{*id, *enabled, {}, 0, 0};
    for (const json& d : *days) {
        auto day = readInt(d);
        if (!day) return std::nullopt;
        s.days.insert(*day);
    }
    auto a = readInt(*start), b = readInt(*end);
    if (!a || !b) return std::nullopt;
    s.start = *a;
    s.end = *b;
    return s;
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
    return top.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::optional<Config> decodeConfig(std::string_view text) {
    if (!validUtf8(text)) return std::nullopt;
    json top = json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (top.is_discarded() || !top.is_object()) return std::nullopt;

    Config c;
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
    const bool ok =
        readKey(top, "sites", list(c.sites, readSite)) &&
        readKey(top, "schedules", list(c.schedules, readSchedule)) &&
        readKey(top, "manualOn", flag(c.manualOn)) && readKey(top, "notice", flag(c.notice)) &&
        readKey(top, "suggest", flag(c.suggest)) && readKey(top, "onUntil", instant(c.onUntil)) &&
        readKey(top, "offUntil", instant(c.offUntil));
    if (!ok) return std::nullopt;
    return c;
}

}  // namespace tarrow
