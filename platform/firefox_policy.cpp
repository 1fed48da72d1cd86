#include "platform/firefox_policy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <nlohmann/json.hpp>
#include <optional>

#include "common/file_io.h"
#include "platform/policy_folder.h"

namespace tarrow::platform {

using json = nlohmann::json;
using Kind = PolicyChange::Kind;

const std::vector<FirefoxPlaces>& firefoxPlaces() {
    // Mozilla's policy templates document /etc/firefox/policies for Linux; Debian's
    // firefox-esr reads the same folder (measured), and the snap is given read access to
    // it (snapcraft.io, "The system-files interface"). A flatpak finds its system-wide
    // policies in the installation's systemconfig extension, mounted over its own /etc.
#if defined(__aarch64__)
#define TARROW_FLATPAK_ARCH "aarch64"
#else
#define TARROW_FLATPAK_ARCH "x86_64"
#endif
    static const std::vector<FirefoxPlaces> places{
        {"/etc/firefox/policies",
         {"/usr/lib/firefox-esr/distribution", "/usr/lib/firefox/distribution"},
         {"/usr/lib/firefox-esr", "/usr/lib/firefox", "/snap/firefox"},
         "firefox-policies.kept"},
        {"/var/lib/flatpak/extension/org.mozilla.firefox.systemconfig/" TARROW_FLATPAK_ARCH
         "/stable/policies",
         {"/var/lib/flatpak/app/org.mozilla.firefox/current/active/files/lib/firefox/"
          "distribution"},
         {"/var/lib/flatpak/app/org.mozilla.firefox"},
         "firefox-flatpak-policies.kept"},
    };
#undef TARROW_FLATPAK_ARCH
    return places;
}

namespace {

constexpr size_t policyLimit = 1 << 20;

// One of Tarrow's entries: where it goes inside "policies", its value, and whether an
// administrator's own value there wins over it.
struct Entry {
    json::json_pointer at;
    json value;
    bool yields;
};

const std::vector<Entry>& entries() {
    static const std::vector<Entry> all = [] {
        auto locked = [](int value) { return json{{"Value", value}, {"Status", "locked"}}; };
        return std::vector<Entry>{
            // Landed before the preferences and kept as it was: Tarrow's value replaces
            // an administrator's while it is installed, theirs comes back afterwards.
            {json::json_pointer("/DNSOverHTTPS"), {{"Enabled", false}, {"Locked", true}}, false},
            {json::json_pointer("/Preferences/network.dnsCacheExpiration"),
             locked(firefoxNameCacheSeconds), true},
            {json::json_pointer("/Preferences/network.dnsCacheExpirationGracePeriod"), locked(0),
             true},
        };
    }();
    return all;
}

// The value at an entry's place in a parsed policies file; null when there is none.
json valueAt(const json& policies, const Entry& entry) {
    if (!policies.is_object() || !policies.contains("policies")) return nullptr;
    const json& inner = policies["policies"];
    return inner.is_object() && inner.contains(entry.at) ? inner[entry.at] : json(nullptr);
}

// A JSON object whose "policies", if there, is an object whose "Preferences", if there,
// is an object; none otherwise, with why.
std::optional<json> usable(const std::string& text, std::string* why = nullptr) {
    auto fail = [&](const char* reason) {
        if (why) *why = reason;
        return std::nullopt;
    };
    json policies = json::parse(text, nullptr, false);
    if (policies.is_discarded() || !policies.is_object())
        return fail("not a JSON object with a \"policies\" object");
    json& inner = policies["policies"];
    if (inner.is_null()) inner = json::object();
    if (!inner.is_object()) return fail("not a JSON object with a \"policies\" object");
    if (inner.contains("Preferences") && !inner["Preferences"].is_object())
        return fail("its \"Preferences\" is not an object");
    return policies;
}

std::string textOf(const json& policies) {
    return policies.dump(2) + "\n";
}

// What was there before (none: no file), the value at each entry we wrote before ours
// (keyed by the entry's place; null: none), and what we wrote; kept in the backup file.
struct Kept {
    std::optional<std::string> original;
    json before = json::object();
    std::string written;
};

std::optional<Kept> readKept(const std::string& backup) {
    Result<std::string> text = readRegularFile(backup);
    if (!text.ok()) return std::nullopt;
    json kept = json::parse(*text, nullptr, false);
    if (kept.is_discarded() || !kept.is_object() || !kept["written"].is_string())
        return std::nullopt;
    Kept out;
    out.written = kept["written"].get<std::string>();
    if (kept["before"].is_object()) {
        out.before = kept["before"];
    } else {
        // A backup of the helper before the preferences: DNSOverHTTPS alone.
        out.before["/DNSOverHTTPS"] = kept["previous"];
    }
    if (kept["original"].is_string()) out.original = kept["original"].get<std::string>();
    return out;
}

Status writeKept(const std::string& backup, const Kept& kept) {
    json out = {{"original", kept.original ? json(*kept.original) : json(nullptr)},
                {"before", kept.before},
                {"written", kept.written}};
    AtomicWrite how;
    how.mode = 0600;  // the administrator's policies may hold secrets
    how.suffix = ".new";
    return writeAtomically(backup, out.dump() + "\n", how);
}

// Our entries merged into usable policies. `before` gets the value each written entry
// replaced; the returned text names the administrator's values that won.
std::string merge(json& policies, json& before) {
    json& inner = policies["policies"];
    std::string kept;
    int theirs = 0;
    for (const Entry& entry : entries()) {
        const json there = valueAt(policies, entry);
        if (entry.yields && !there.is_null() && there != entry.value) {
            const std::string name = entry.at.back();
            kept += (theirs++ ? ", " : "the administrator\u2019s ") + name + " " + there.dump();
            continue;
        }
        before[entry.at.to_string()] = there;
        inner[entry.at] = entry.value;
    }
    return theirs == 0 ? kept : kept + (theirs == 1 ? " stays" : " stay");
}

// The policies with each entry we wrote that still holds our value put back to what was
// there before it; an empty "Preferences" left behind goes too.
void unmerge(json& policies, const json& before) {
    json& inner = policies["policies"];
    for (const Entry& entry : entries()) {
        const std::string at = entry.at.to_string();
        if (!before.contains(at) || valueAt(policies, entry) != entry.value) continue;
        if (before[at].is_null()) {
            inner[entry.at.parent_pointer()].erase(entry.at.back());
        } else {
            inner[entry.at] = before[at];
        }
    }
    if (inner.contains("Preferences") && inner["Preferences"].empty()) inner.erase("Preferences");
}

// The text with the entries we wrote that still hold our value put back; none when
// none of them does (the file is not ours to change any more).
std::optional<std::string> without(const std::string& text, const json& before) {
    std::optional<json> policies = usable(text);
    if (!policies) return std::nullopt;
    bool any = false;
    for (const Entry& entry : entries())
        any = any ||
              (before.contains(entry.at.to_string()) && valueAt(*policies, entry) == entry.value);
    if (!any) return std::nullopt;
    unmerge(*policies, before);
    return textOf(*policies);
}

// True when every entry we wrote had, in the text, the value we found before it.
bool asFound(const std::string& text, const json& before) {
    const json policies = json::parse(text, nullptr, false);
    for (const Entry& entry : entries()) {
        const std::string at = entry.at.to_string();
        if (before.contains(at) && valueAt(policies, entry) != before[at]) return false;
    }
    return true;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool installed(const FirefoxPlaces& places, const std::string& root) {
    for (std::string_view at : places.installedAt)
        if (exists(root + std::string(at))) return true;
    return false;
}

// What Firefox reads when the system-wide file is absent.
std::string distributionText(const FirefoxPlaces& places, const std::string& root) {
    for (std::string_view folder : places.distributions) {
        Result<std::string> text =
            readRegularFile(root + std::string(folder) + "/" + std::string(firefoxPolicyFile));
        if (text.ok()) return *text;
    }
    return "{}";
}

mode_t modeOf(int folder, const std::string& name) {
    struct stat st {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return 0644;
    return st.st_mode & 0777;
}

PolicyChange leftAlone(const std::string& path, const Status& why) {
    return {Kind::leftAlone, path, why.detail().empty() ? why.text() : why.detail()};
}

std::vector<PolicyChange> putInPlace(const FirefoxPlaces& places, const std::string& backup,
                                     const std::string& root) {
    const std::string folderPath = root + std::string(places.folder);
    const std::string name(firefoxPolicyFile), path = folderPath + "/" + name;
    auto folder = openFolder(root, places.folder, installed(places, root));
    if (!folder) return {};  // no Firefox here
    if (!folder->ok()) return {leftAlone(folder->status().path(), folder->status())};
    const int fd = folder->value().get();
    auto current = readInFolder(fd, name, path, policyLimit);
    if (!current.ok()) return {leftAlone(path, current.status())};

    std::optional<Kept> kept = readKept(backup);
    // Our own last write is merged again from what was there before it (an earlier
    // helper may have written fewer entries); any other file, first seen or replaced
    // meanwhile (an upgrade of Firefox's package), is the original now.
    const bool ours = kept && *current && **current == kept->written;
    Kept now;
    now.original = ours ? kept->original : *current;
    const std::string base = now.original ? *now.original : distributionText(places, root);
    std::string why;
    std::optional<json> policies = usable(base, &why);
    if (!policies) return {{Kind::leftAlone, path, why}};
    const std::string yielded = merge(*policies, now.before);
    now.written = textOf(*policies);
    if (ours && now.written == kept->written) return {};  // in place already
    // A file rewritten around our entries: what stood there before us is still the old
    // value.
    if (kept)
        for (auto& [at, value] : now.before.items())
            if (value == (*policies)["policies"][json::json_pointer(at)] &&
                kept->before.contains(at))
                value = kept->before[at];
    if (Status s = writeKept(backup, now); !s.ok()) return {leftAlone(path, s)};
    if (Status s = writeInFolder(fd, name, now.written, modeOf(fd, name), path); !s.ok())
        return {leftAlone(path, s)};
    return {{Kind::written, path, yielded}};
}

std::vector<PolicyChange> takeAway(const FirefoxPlaces& places, const std::string& backup,
                                   const std::string& root) {
    std::optional<Kept> kept = readKept(backup);
    if (!kept) return {};
    const std::string folderPath = root + std::string(places.folder);
    const std::string name(firefoxPolicyFile), path = folderPath + "/" + name;
    auto folder = openFolder(root, places.folder, false);
    if (folder && !folder->ok()) return {leftAlone(folder->status().path(), folder->status())};
    std::vector<PolicyChange> changes;
    if (folder) {
        const int fd = folder->value().get();
        auto current = readInFolder(fd, name, path, policyLimit);
        if (!current.ok()) return {leftAlone(path, current.status())};
        Status s;
        std::optional<std::string> back;  // the text to put back; none: remove the file
        bool ours = true;
        if (*current && **current == kept->written) {
            // Byte for byte, unless the original was rewritten around our entries.
            if (kept->original)
                back = asFound(*kept->original, kept->before)
                           ? *kept->original
                           : without(*kept->original, kept->before).value_or(*kept->original);
        } else if (*current) {
            // Rewritten by someone else meanwhile: take only our entries out again.
            back = without(**current, kept->before);
            ours = back.has_value();
        } else {
            ours = false;  // removed meanwhile: nothing of ours is left
        }
        if (ours && back) {
            s = writeInFolder(fd, name, *back, modeOf(fd, name), path);
        } else if (ours && ::unlinkat(fd, name.c_str(), 0) != 0) {
            s = Status::lastError("remove", path);
        }
        if (ours && s.ok()) changes.push_back({Kind::removed, path, {}});
        if (!s.ok()) return {leftAlone(path, s)};
    }
    ::unlink(backup.c_str());
    return changes;
}

}  // namespace

std::vector<PolicyChange> keepFirefoxPolicy(bool on, const FirefoxPlaces& places,
                                            const std::string& backup, const std::string& root) {
    return on ? putInPlace(places, backup, root) : takeAway(places, backup, root);
}

}  // namespace tarrow::platform
