#include "app/browser/suggestion_domain.h"

#include <algorithm>
#include <unordered_map>

#include "app/model/presets.h"
#include "app/model/site_names.h"
#include "common/hosts_section.h"

namespace tarrow {

namespace {

constexpr std::string_view searchEngineName = "google";

bool isLetters(std::string_view text, size_t least, size_t most) {
    return text.size() >= least && text.size() <= most &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

size_t labelCount(std::string_view host) {
    return static_cast<size_t>(std::count(host.begin(), host.end(), '.')) + 1;
}

struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

// Every host name of every popular site, to the site's domain; the first site in table
// order wins a host that two of them share.
const std::unordered_map<std::string, std::string, TextHash, std::equal_to<>>& presetHosts() {
    static const auto table = [] {
        std::unordered_map<std::string, std::string, TextHash, std::equal_to<>> hosts;
        for (const Preset& preset : presets())
            for (const std::string& host : hostNames(preset.domain))
                hosts.emplace(host, preset.domain);
        return hosts;
    }();
    return table;
}

bool isWorkHost(std::string_view host) {
    auto begins = [&](std::string_view prefix) { return host.starts_with(prefix); };
    auto holds = [&](std::string_view word) { return host.find(word) != std::string_view::npos; };
    return std::any_of(workPrefixes.begin(), workPrefixes.end(), begins) ||
           std::any_of(workWords.begin(), workWords.end(), holds) ||
           std::find(searchEngines.begin(), searchEngines.end(), host) != searchEngines.end() ||
           isSearchEngineHost(host);
}

}  // namespace

bool isSearchEngineHost(std::string_view host) {
    if (!host.starts_with(searchEngineName) || host.size() <= searchEngineName.size() ||
        host[searchEngineName.size()] != '.')
        return false;
    std::string_view rest = host.substr(searchEngineName.size() + 1);
    size_t dot = rest.find('.');
    if (dot == std::string_view::npos) return isLetters(rest, 2, 3);
    return isLetters(rest.substr(0, dot), 2, 3) && isLetters(rest.substr(dot + 1), 2, 2);
}

std::optional<std::string> suggestionDomain(std::string_view name) {
    std::string host(name);
    std::transform(host.begin(), host.end(), host.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    if (host.ends_with('.')) host.pop_back();
    if (!validHost(host) || isProtected(host)) return std::nullopt;

    for (std::string_view prefix : {"www.", "m.", "mobile."}) {
        if (!host.starts_with(prefix)) continue;
        if (labelCount(host) > 2) host.erase(0, prefix.size());
        break;
    }

    const auto& known = presetHosts();
    if (auto found = known.find(host); found != known.end()) return found->second;

    if (isWorkHost(host)) return std::nullopt;

    size_t labels = labelCount(host);
    bool twoPart = std::any_of(twoPartEndings.begin(), twoPartEndings.end(), [&](auto ending) {
        return host.size() > ending.size() && host.ends_with(ending) &&
               host[host.size() - ending.size() - 1] == '.';
    });
    if (labels <= (twoPart ? 3u : 2u)) return host;
    // A country subdomain such as de.example.com is a site of its own.
    if (host.find('.') == 2) return host;
    return std::nullopt;
}

}  // namespace tarrow
