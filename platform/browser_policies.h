#pragma once
// The browsers' managed-policy folders, in which the helper keeps one small policy file
// of its own while something is blocked: it turns the Chromium family's own secure DNS
// (DNS-over-HTTPS) off, so that the browser asks the system resolver, which reads the
// hosts file, instead of a name server on the web.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarrow::platform {

struct PolicyFolder {
    std::string_view browser;
    std::string_view folder;       // the managed-policy folder the browser reads
    std::string_view installedAt;  // present when the browser is installed
};

// Every Chromium-family browser's folder on this system (none on macOS, where policies
// are profiles, not files).
const std::vector<PolicyFolder>& chromiumPolicyFolders();

// The file name and its whole content. A file of this name is the helper's only when it
// is a regular file of the helper's user with exactly this content.
inline constexpr std::string_view dnsPolicyName = "de.brightloom.tarrow.helper.json";
inline constexpr std::string_view dnsPolicyText = "{\"DnsOverHttpsMode\": \"off\"}\n";

struct PolicyChange {
    enum class Kind { written, removed, leftAlone };
    Kind kind;
    std::string path;  // the policy file, or the folder when the folder was the problem
    std::string why;   // for leftAlone: what stopped us ("a symbolic link", ...)
};

// With `on`, puts the policy file into each folder that exists or whose browser is
// installed; without, removes it from every folder. An installed browser's folder is
// created either way (Chromium watches only folders that were there when it started). Nothing
// is followed through a symbolic link, nothing that is not ours is replaced or removed.
// Reports what it changed and every folder it had to leave alone; an empty list when
// everything already was as wanted. `root` is prefixed to every path ("" for the system).
std::vector<PolicyChange> keepDnsPolicies(bool on, const std::vector<PolicyFolder>& folders,
                                          const std::string& root = "");

// The policy file that makes each Chromium-family browser install Tarrow's extension.
// It is kept whether or not anything is blocked: the extension must be in place before
// a browser starts. Chromium does not merge a list policy across the files of one
// folder: the file whose name sorts last wins. So the name sorts late, and the file
// carries every other file's forced extensions too: Tarrow's entry never pushes an
// administrator's out, and a file of theirs that sorts later still wins as it did.
inline constexpr std::string_view extensionPolicyName = "zz-de.brightloom.tarrow.extension.json";

// With an entry ("<id>;<update manifest address>", browser_extension.h), puts the policy
// into each folder as keepDnsPolicies does, followed by the forced extensions of the
// other files in that folder (read only), and replaces an older text of Tarrow's;
// without, removes Tarrow's file. A file of that name is Tarrow's only when it is a
// regular file of the helper's user whose text has the shape Tarrow writes.
std::vector<PolicyChange> keepExtensionPolicies(const std::optional<std::string>& entry,
                                                const std::vector<PolicyFolder>& folders,
                                                const std::string& root = "");

// The forced extensions that the other *.json files of an open policy folder list.
std::vector<std::string> otherForcedExtensions(int folder);

}  // namespace tarrow::platform
