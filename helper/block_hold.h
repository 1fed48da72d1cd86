#pragma once
// Making a block hold beyond the hosts section, in the pass that writes it:
// - names that start being blocked are looked up first (all together, one deadline),
//   and once the section is written every open connection to their addresses is closed,
//   so that a tab that had the site open cannot go on using its kept-alive connection;
// - each such name is then looked up again: one that still resolves to an address of
//   its own (an earlier hosts line, another resolver first) is "still open", logged
//   once and listed in a status file for the app;
// - while anything is blocked, the Chromium-family browsers get a managed policy that
//   turns their own DNS-over-HTTPS off; it goes when nothing is blocked;
// - Firefox's policies (platform/firefox_policy.h) are kept on every pass, blocking or
//   not, because Firefox reads them only at its start; they go on release;
// - once a browser's own name cache may have let it connect again from an address it
//   looked up before the block, the same addresses are cut once more.
// Only for the system's hosts file: a pass over a copy (--hosts) changes nothing else.

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"
#include "common/still_open_file.h"
#include "helper/apply.h"
#include "platform/browser_policies.h"
#include "platform/ip_address.h"
#include "platform/resolve_names.h"

namespace tarrow {

// One deadline for looking up all newly blocked names together before the write.
inline constexpr std::chrono::milliseconds lookupDeadline{1000};
// The check after the write answers from the hosts file, so it needs little; it gets
// what is left of the lookup deadline, and at least this.
inline constexpr std::chrono::milliseconds checkDeadlineAtLeast{200};

// What the hold does to the system; the real one by default, fakes in tests.
struct HoldSystem {
    std::function<std::vector<platform::NameAnswer>(const std::vector<std::string>&,
                                                    std::chrono::milliseconds)>
        resolve = platform::resolveNames;
    std::function<Result<size_t>(const std::set<platform::IpAddress>&)> closeConnections;
    std::function<std::vector<platform::PolicyChange>(bool on)> keepPolicies;
    std::function<std::vector<platform::PolicyChange>(bool on)> keepFirefoxPolicies;
    // The second cut after a block started: Firefox's name cache time, and a second for
    // a connection it made from the cache just before that.
    std::chrono::milliseconds recutAfter{0};
    // Keeps the policy that installs Tarrow's browser extension (off: removes it). A
    // failure that stops it as a whole (no extension beside the helper, the update
    // manifest not written) comes back as a leftAlone change.
    std::function<std::vector<platform::PolicyChange>(bool on)> keepExtension;
    std::string hostsPath;
    std::string stillOpenPath;
};
HoldSystem systemHold();

class BlockHold {
  public:
    using Log = std::function<void(std::string_view)>;
    explicit BlockHold(HoldSystem system);

    // Runs `write` (the section's rewrite for `names`, name caches flushed after a
    // change; true when the file changed) with everything above around it, and returns
    // what it returned.
    Result<bool> around(const std::vector<std::string>& names,
                        const std::function<Result<bool>()>& write, const Log& log);

    // Nothing is blocked any more (--clear, removal): policies and status file go.
    void release(const Log& log);

    // When the second cut of the last block's addresses is due; none when none is.
    std::optional<std::chrono::steady_clock::time_point> recutDue() const;
    // Cuts those addresses again if their names are still blocked, and logs it.
    void recut(const Log& log);
    // The extension's policy, kept whether or not anything is blocked (the daemon's
    // passes).
    void keepExtension(const Log& log);

  private:
    std::vector<std::string> newlyBlocked(const std::vector<std::string>& names) const;
    void cut(const std::vector<std::string>& fresh,
             const std::vector<platform::NameAnswer>& answers, const Log& log);
    void check(const std::vector<std::string>& names, const std::vector<std::string>& fresh,
               std::chrono::steady_clock::time_point began, const Log& log);
    void keepPolicies(bool on, const Log& log);
    void keepFirefoxPolicies(bool on, const Log& log);
    std::string closeLine(const std::set<platform::IpAddress>& remotes,
                          const std::vector<std::string>& names) const;
    void writeStatus(const Log& log);

    HoldSystem system_;
    std::optional<std::vector<std::string>> applied_;  // names of the last written section
    bool seeded_ = false;                              // status file read at the first pass
    StillOpen stillOpen_;
    std::optional<std::string> statusWritten_;
    std::string statusProblem_;
    std::set<std::string> policyProblems_, firefoxProblems_;
    struct Recut {
        std::set<platform::IpAddress> remotes;
        std::vector<std::string> names;
        std::chrono::steady_clock::time_point due;
    };
    std::optional<Recut> recut_;
    std::set<std::string> extensionProblems_;
};

// The sites behind host names, for a log line: "www." and "m." dropped, each once, at
// most `limit` listed and the rest counted ("a.com, b.com and 3 more").
std::string siteList(const std::vector<std::string>& names, size_t limit = 8);

}  // namespace tarrow
