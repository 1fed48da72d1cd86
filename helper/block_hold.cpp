#include "helper/block_hold.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "common/file_io.h"
#include "common/hosts_section.h"
#include "helper/still_open.h"
#include "platform/browser_extension.h"
#include "platform/firefox_policy.h"
#include "platform/open_connections.h"
#include "platform/paths.h"

namespace tarrow {

using platform::IpAddress;
using platform::NameAnswer;

namespace {

using platform::PolicyChange;

// The extension beside this helper, its update manifest and the policy naming both.
std::vector<PolicyChange> keepSystemExtension(bool on) {
    const std::string updates(extensionUpdatesPath);
    std::optional<std::string> policy;
    if (on) {
        std::error_code error;
        const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
        const auto build = platform::extensionBeside(error ? std::string() : self.string());
        if (!build) {
            const std::string folder =
                (self.parent_path() / platform::extensionFolderName).string();
            return {{PolicyChange::Kind::leftAlone, folder, "no browser extension there"}};
        }
        const std::string manifest = platform::updateManifest(*build);
        Result<std::string> old = readRegularFile(updates);
        if (!old.ok() || *old != manifest) {
            AtomicWrite how;
            how.mode = 0644;  // the browsers read it as their users
            how.suffix = ".new";
            if (Status s = writeAtomically(updates, manifest, how); !s.ok())
                return {{PolicyChange::Kind::leftAlone, updates, s.text()}};
        }
        policy = platform::forcedEntry(build->id, updates);
    }
    auto changes = platform::keepExtensionPolicies(policy, platform::chromiumPolicyFolders());
    if (!on && ::unlink(updates.c_str()) != 0 && errno != ENOENT)
        changes.push_back(
            {PolicyChange::Kind::leftAlone, updates, Status::lastError("remove", updates).text()});
    return changes;
}

}  // namespace

HoldSystem systemHold() {
    HoldSystem system;
    system.closeConnections = platform::closeConnectionsTo;
    system.keepPolicies = [](bool on) {
        return platform::keepDnsPolicies(on, platform::chromiumPolicyFolders());
    };
    system.keepFirefoxPolicies = [](bool on) {
        std::vector<platform::PolicyChange> changes;
        for (const platform::FirefoxPlaces& places : platform::firefoxPlaces()) {
            // The bytes of Firefox's own file wait beside the hits until they go back.
            const std::string backup =
                folderOf(std::string(stillOpenPath)) + "/" + std::string(places.kept);
            for (auto& change : platform::keepFirefoxPolicy(on, places, backup))
                changes.push_back(std::move(change));
        }
        return changes;
    };
    system.recutAfter = std::chrono::seconds(platform::firefoxNameCacheSeconds + 1);
    system.keepExtension = [](bool on) { return keepSystemExtension(on); };
    system.hostsPath = systemHostsPath;
    system.stillOpenPath = stillOpenPath;
    return system;
}

std::string siteList(const std::vector<std::string>& names, size_t limit) {
    std::vector<std::string> sites;
    for (std::string_view name : names) {
        for (std::string_view prefix : {"www.", "m."})
            if (name.starts_with(prefix) && name.find('.', prefix.size()) != std::string::npos)
                name.remove_prefix(prefix.size());
        if (std::find(sites.begin(), sites.end(), name) == sites.end()) sites.emplace_back(name);
    }
    std::string text;
    for (size_t i = 0; i < sites.size() && i < limit; ++i) text += (i ? ", " : "") + sites[i];
    if (sites.size() > limit) text += " and " + std::to_string(sites.size() - limit) + " more";
    return text;
}

BlockHold::BlockHold(HoldSystem system) : system_(std::move(system)) {}

namespace {

// A file's text; "" when it cannot be read (a missing hosts file blocks nothing).
std::string textOf(const std::string& path) {
    Result<std::string> text = readRegularFile(path);
    return text.ok() ? *text : std::string();
}

}  // namespace

Result<bool> BlockHold::around(const std::vector<std::string>& names,
                               const std::function<Result<bool>()>& write, const Log& log) {
    const auto began = std::chrono::steady_clock::now();
    if (!seeded_) {
        // What an earlier run found still open stays listed until it is checked below.
        seeded_ = true;
        if (auto text = readRegularFile(system_.stillOpenPath); text.ok())
            stillOpen_ = parseStillOpen(*text);
    }
    // Looked up before the write: afterwards the names resolve to the section.
    const std::vector<std::string> fresh = newlyBlocked(names);
    std::vector<NameAnswer> answers;
    if (!fresh.empty()) answers = system_.resolve(fresh, lookupDeadline);

    Result<bool> changed = write();
    if (!changed.ok()) {
        applied_.reset();
        return changed;
    }
    applied_ = names;
    const bool started = !fresh.empty() && *changed;
    if (started) cut(fresh, answers, log);
    check(names, started ? fresh : std::vector<std::string>{}, began, log);
    // A recut is for the names it was made for, while they are still blocked.
    if (recut_ && !std::all_of(recut_->names.begin(), recut_->names.end(), [&](const auto& n) {
            return std::find(names.begin(), names.end(), n) != names.end();
        }))
        recut_.reset();
    keepPolicies(!names.empty(), log);
    keepFirefoxPolicies(true, log);
    writeStatus(log);
    return changed;
}

void BlockHold::release(const Log& log) {
    recut_.reset();
    keepPolicies(false, log);
    keepFirefoxPolicies(false, log);
    if (system_.keepExtension) {
        for (const platform::PolicyChange& change : system_.keepExtension(false)) {
            if (change.kind == platform::PolicyChange::Kind::removed)
                log("browser extension policy removed: " + change.path);
            else if (change.kind == platform::PolicyChange::Kind::leftAlone)
                log("browser extension policy not removed from " + change.path + ": " + change.why);
        }
    }
    stillOpen_.clear();
    statusWritten_.reset();
    writeStatus(log);
}

std::vector<std::string> BlockHold::newlyBlocked(const std::vector<std::string>& names) const {
    if (names.empty() || (applied_ && *applied_ == names)) return {};
    const std::set<std::string> before = blockedNames(textOf(system_.hostsPath));
    std::vector<std::string> fresh;
    for (const std::string& name : names)
        if (!before.count(name)) fresh.push_back(name);
    return fresh;
}

void BlockHold::cut(const std::vector<std::string>& fresh, const std::vector<NameAnswer>& answers,
                    const Log& log) {
    // Every address the names had, also one that a site still open shares with them:
    // its browser simply connects again.
    std::set<IpAddress> remotes;
    std::vector<std::string> late;
    for (const NameAnswer& answer : answers) {
        if (answer.outcome == NameAnswer::Outcome::late) late.push_back(answer.name);
        for (const IpAddress& ip : answer.addresses)
            if (!ip.isLocalOrSpecial()) remotes.insert(ip);
    }
    std::string line = closeLine(remotes, fresh);
    if (!late.empty()) line += " (no address in time for " + siteList(late) + ")";
    log(line);
    if (remotes.empty()) return;
    if (!recut_) recut_.emplace();
    recut_->remotes.insert(remotes.begin(), remotes.end());
    recut_->names.insert(recut_->names.end(), fresh.begin(), fresh.end());
    recut_->due = std::chrono::steady_clock::now() + system_.recutAfter;
}

std::optional<std::chrono::steady_clock::time_point> BlockHold::recutDue() const {
    if (!recut_) return std::nullopt;
    return recut_->due;
}

void BlockHold::recut(const Log& log) {
    if (!recut_) return;
    const Recut again = std::move(*recut_);
    recut_.reset();
    log(closeLine(again.remotes, again.names) + " again");
}

std::string BlockHold::closeLine(const std::set<IpAddress>& remotes,
                                 const std::vector<std::string>& names) const {
    Result<size_t> closed = remotes.empty() || !system_.closeConnections
                                ? Result<size_t>(size_t{0})
                                : system_.closeConnections(remotes);
    if (!closed.ok())
        return "open connections to " + siteList(names) + " stay open: " + closed.status().text();
    return "closed " + std::to_string(*closed) +
           (*closed == 1 ? " connection to " : " connections to ") + siteList(names);
}

void BlockHold::check(const std::vector<std::string>& names, const std::vector<std::string>& fresh,
                      std::chrono::steady_clock::time_point began, const Log& log) {
    std::erase_if(stillOpen_, [&](const auto& entry) {
        return std::find(names.begin(), names.end(), entry.first) == names.end();
    });
    // The names that just started, and those found still open before (fixed meanwhile?).
    std::vector<std::string> checked = fresh;
    for (const auto& entry : stillOpen_)
        if (std::find(fresh.begin(), fresh.end(), entry.first) == fresh.end())
            checked.push_back(entry.first);
    if (checked.empty()) return;

    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - began);
    const auto answers =
        system_.resolve(checked, std::max(checkDeadlineAtLeast, lookupDeadline - spent));
    std::set<IpAddress> section;
    for (std::string_view address : blockAddresses) section.insert(*IpAddress::parse(address));
    const std::string hosts = textOf(system_.hostsPath);
    for (const NameAnswer& answer : answers) {
        if (answer.outcome != NameAnswer::Outcome::addresses) continue;  // nothing to tell
        std::vector<IpAddress> foreign;
        for (const IpAddress& ip : answer.addresses)
            if (!section.count(ip)) foreign.push_back(ip);
        if (foreign.empty()) {
            stillOpen_.erase(answer.name);
            continue;
        }
        std::string reason = stillOpenReason(hosts, answer.name, foreign);
        if (!stillOpen_.count(answer.name)) log("still open: " + answer.name + " (" + reason + ")");
        stillOpen_[answer.name] = std::move(reason);
    }
}

void BlockHold::keepPolicies(bool on, const Log& log) {
    if (!system_.keepPolicies) return;
    std::set<std::string> problems;
    for (const platform::PolicyChange& change : system_.keepPolicies(on)) {
        switch (change.kind) {
            case platform::PolicyChange::Kind::written:
                log("browser policy written, DNS-over-HTTPS off: " + change.path);
                break;
            case platform::PolicyChange::Kind::removed:
                log("browser policy removed: " + change.path);
                break;
            case platform::PolicyChange::Kind::leftAlone: {
                // Only worth a line when the policy was wanted there.
                if (!on) break;
                std::string problem = "left " + change.path + " alone: " + change.why;
                if (!policyProblems_.count(problem)) log(problem);
                problems.insert(std::move(problem));
                break;
            }
        }
    }
    policyProblems_ = std::move(problems);
}

void BlockHold::keepFirefoxPolicies(bool on, const Log& log) {
    if (!system_.keepFirefoxPolicies) return;
    std::set<std::string> problems;
    for (const platform::PolicyChange& change : system_.keepFirefoxPolicies(on)) {
        using Kind = platform::PolicyChange::Kind;
        if (change.kind == Kind::written) {
            // `why` names an administrator's values that won over ours.
            log("Firefox policies written, DNS-over-HTTPS off, name cache " +
                std::to_string(platform::firefoxNameCacheSeconds) + " s: " + change.path +
                (change.why.empty() ? "" : " (" + change.why + ")"));
        } else if (change.kind == Kind::removed) {
            log("browser policy removed: " + change.path);
        } else if (on) {
            std::string problem = "left " + change.path + " alone: " + change.why;
            if (!firefoxProblems_.count(problem)) log(problem);
            problems.insert(std::move(problem));
        }
    }
    firefoxProblems_ = std::move(problems);
}

void BlockHold::keepExtension(const Log& log) {
    if (!system_.keepExtension) return;
    std::set<std::string> problems;
    for (const platform::PolicyChange& change : system_.keepExtension(true)) {
        if (change.kind == platform::PolicyChange::Kind::written) {
            log("browser extension policy written: " + change.path);
        } else if (change.kind == platform::PolicyChange::Kind::leftAlone) {
            // A lasting problem is told once, not on every pass.
            std::string problem =
                "browser extension policy not written in " + change.path + ": " + change.why;
            if (!extensionProblems_.count(problem)) log(problem);
            problems.insert(std::move(problem));
        }
    }
    extensionProblems_ = std::move(problems);
}

void BlockHold::writeStatus(const Log& log) {
    const std::string text = stillOpenText(stillOpen_);
    if (statusWritten_ && *statusWritten_ == text) return;
    const std::string& path = system_.stillOpenPath;
    Status status;
    if (text.empty()) {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT)
            status = Status::lastError("remove", path);
    } else {
        AtomicWrite how;
        how.mode = 0644;  // the app reads it as its user
        how.suffix = ".new";
        status = writeAtomically(path, text, how);
    }
    if (status.ok()) {
        statusWritten_ = text;
        statusProblem_.clear();
        return;
    }
    if (status.text() != statusProblem_) log(status.text());
    statusProblem_ = status.text();
}

}  // namespace tarrow
