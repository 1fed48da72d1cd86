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

const FirefoxPlaces& firefoxPlaces() {
    // Mozilla's policy templates document /etc/firefox/policies for Linux; Debian's
    // firefox-esr reads the same folder (measured), and the distribution folders below.
    static const FirefoxPlaces places{
        "/etc/firefox/policies",
        {"/usr/lib/firefox-esr/distribution", "/usr/lib/firefox/distribution"},
        {"/usr/lib/firefox-esr", "/usr/lib/firefox"},
    };
    return places;
}

namespace {

constexpr size_t policyLimit = 1 << 20;

const json& ourValue() {
    static const json value = {{"Enabled", false}, {"Locked", true}};
    return value;
}

// The text with our key merged in; none when it is not a JSON object whose "policies"
// (if there) is an object.
std::optional<std::string> merged(const std::string& text) {
    json policies = json::parse(text, nullptr, false);
    if (policies.is_discarded() || !policies.is_object()) return std::nullopt;
    json& inner = policies["policies"];
    if (inner.is_null()) inner = json::object();
    if (!inner.is_object()) return std::nullopt;
    inner[std::string(firefoxPolicyKey)] = ourValue();
    return policies.dump(2) + "\n";
}

// What was there before (none: no file), the key's value in it before ours (null: none),
// and what we wrote; kept in the backup file.
struct Kept {
    std::optional<std::string> original;
    json previous;
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
    out.previous = kept["previous"];
    if (kept["original"].is_string()) out.original = kept["original"].get<std::string>();
    return out;
}

Status writeKept(const std::string& backup, const Kept& kept) {
    json out = {{"original", kept.original ? json(*kept.original) : json(nullptr)},
                {"previous", kept.previous},
                {"written", kept.written}};
    AtomicWrite how;
    how.mode = 0600;  // the administrator's policies may hold secrets
    how.suffix = ".new";
    return writeAtomically(backup, out.dump() + "\n", how);
}

// The key's value in a policies text; null when it has none.
json keyIn(const json& policies) {
    if (!policies.is_object() || !policies.contains("policies")) return nullptr;
    const json& inner = policies["policies"];
    if (!inner.is_object() || !inner.contains(firefoxPolicyKey)) return nullptr;
    return inner[std::string(firefoxPolicyKey)];
}

// The text with our key replaced by what was there before it; none when it does not
// hold our key.
std::optional<std::string> withoutOurs(const std::string& text, const json& previous) {
    json policies = json::parse(text, nullptr, false);
    if (policies.is_discarded() || keyIn(policies) != ourValue()) return std::nullopt;
    json& inner = policies["policies"];
    if (previous.is_null()) {
        inner.erase(std::string(firefoxPolicyKey));
    } else {
        inner[std::string(firefoxPolicyKey)] = previous;
    }
    return policies.dump(2) + "\n";
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
    if (kept && *current && **current == kept->written) return {};  // in place already
    // First time, or someone replaced the file meanwhile: what is there now is the original.
    Kept now;
    now.original = *current;
    const std::string base = now.original ? *now.original : distributionText(places, root);
    auto text = merged(base);
    if (!text) return {{Kind::leftAlone, path, "not a JSON object with a \"policies\" object"}};
    now.written = *text;
    now.previous = keyIn(json::parse(base, nullptr, false));
    // A file rewritten around our key: what stood there before us is still the old value.
    if (kept && now.previous == ourValue()) now.previous = kept->previous;
    if (Status s = writeKept(backup, now); !s.ok()) return {leftAlone(path, s)};
    if (Status s = writeInFolder(fd, name, now.written, modeOf(fd, name), path); !s.ok())
        return {leftAlone(path, s)};
    return {{Kind::written, path, {}}};
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
            // Byte for byte, unless the original was rewritten around our key.
            if (kept->original) {
                const bool exact =
                    keyIn(json::parse(*kept->original, nullptr, false)) == kept->previous;
                back = exact
                           ? *kept->original
                           : withoutOurs(*kept->original, kept->previous).value_or(*kept->original);
            }
        } else if (*current) {
            // Rewritten by someone else while blocking: take only our key out again.
            back = withoutOurs(**current, kept->previous);
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
