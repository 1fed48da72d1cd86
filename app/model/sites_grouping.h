#pragma once
// Which rows the Sites tab shows under which heading, worked out afresh on every drawing.
// `listed` holds the domains that were on the list when the tab came on screen: a site
// ticked below keeps its place there until the tab is shown again, and no domain is
// shown twice.

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/model/config.h"
#include "app/model/presets.h"
#include "app/model/suggestion.h"

namespace tarrow {

struct SitesGroups {
    std::vector<Site> yourList;           // in list order
    std::vector<Suggestion> suggestions;  // in their order
    std::vector<Preset> presets;          // in table order
};

// While `listed` is absent, the domains now in `config.sites` stand in for it.
SitesGroups groupSites(const Config& config, const std::vector<Suggestion>& suggestions,
                       const std::optional<std::set<std::string>>& listed,
                       const std::vector<Preset>& presets);

// One "Popular: …" section: a kind of `presetKinds` and its presets of the group, in
// table order. Kinds without any preset in the group have no section.
struct PresetSection {
    std::string_view kind;
    std::vector<Preset> presets;
};
std::vector<PresetSection> presetSections(const std::vector<Preset>& group);

// What the "You visit often" section holds, the first that applies.
enum class SuggestionsShown {
    absent,     // suggestions are off, or this process reads no history
    loading,    // a read is under way and nothing is known yet
    list,       // one row per suggestion of the group
    locked,     // nothing read, and some browser's history could not be read
    noneFound,  // nothing with ten visits or more
    allListed,  // every suggestion is on the list already
};
struct SuggestionFacts {
    bool suggest = true;        // the configuration's switch
    bool readsHistory = false;  // the store's plain field
    bool suggesting = false;
    size_t suggestions = 0;  // all suggestions of the store
    size_t locked = 0;       // browsers whose history could not be read
};
SuggestionsShown suggestionsShown(const SuggestionFacts& facts, const SitesGroups& groups);

}  // namespace tarrow
