#include "app/model/sites_grouping.h"

#include <unordered_set>

namespace tarrow {

namespace {

using Domains = std::unordered_set<std::string_view>;

}  // namespace

SitesGroups groupSites(const Config& config, const std::vector<Suggestion>& suggestions,
                       const std::optional<std::set<std::string>>& listed,
                       const std::vector<Preset>& presets) {
    Domains wasListed;
    if (listed)
        wasListed.insert(listed->begin(), listed->end());
    else
        for (const Site& site : config.sites) wasListed.insert(site.domain);
    const auto inListed = [&](std::string_view domain) { return wasListed.count(domain) > 0; };

    SitesGroups groups;
    Domains suggested;
    for (const Suggestion& suggestion : suggestions) {
        if (inListed(suggestion.domain)) continue;
        groups.suggestions.push_back(suggestion);
        suggested.insert(suggestion.domain);
    }
    Domains offered = suggested;
    for (const Preset& preset : presets) offered.insert(preset.domain);

    for (const Site& site : config.sites)
        if (inListed(site.domain) || offered.count(site.domain) == 0)
            groups.yourList.push_back(site);
    for (const Preset& preset : presets)
        if (!inListed(preset.domain) && suggested.count(preset.domain) == 0)
            groups.presets.push_back(preset);
    return groups;
}

std::vector<PresetSection> presetSections(const std::vector<Preset>& group) {
    std::vector<PresetSection> sections;
    for (std::string_view kind : presetKinds) {
        PresetSection section{kind, {}};
        for (const Preset& preset : group)
            if (preset.kind == kind) section.presets.push_back(preset);
        if (!section.presets.empty()) sections.push_back(std::move(section));
    }
    return sections;
}

SuggestionsShown suggestionsShown(const SuggestionFacts& facts, const SitesGroups& groups) {
    if (!facts.suggest || !facts.readsHistory) return SuggestionsShown::absent;
    if (facts.suggesting && facts.suggestions == 0) return SuggestionsShown::loading;
    if (!groups.suggestions.empty()) return SuggestionsShown::list;
    if (facts.locked > 0 && facts.suggestions == 0) return SuggestionsShown::locked;
    return facts.suggestions == 0 ? SuggestionsShown::noneFound : SuggestionsShown::allListed;
}

}  // namespace tarrow
