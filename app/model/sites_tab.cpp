#include "app/model/sites_tab.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>

#include "app/model/site_names.h"
#include "app/model/sites_texts.h"
#include "common/hosts_section.h"
#include "common/spaces.h"

namespace tarrow {

namespace {

icu::UnicodeString unicode(std::string_view s) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), int32_t(s.size())));
}

std::string lowerCase(std::string_view s) {
    std::string out;
    return unicode(s).toLower(icu::Locale::getRoot()).toUTF8String(out);
}

}  // namespace

std::optional<std::string> presetDomainFor(std::string_view typed) {
    const icu::UnicodeString word = unicode(typed);
    const std::string prefix = lowerCase(typed) + ".";
    for (const Preset& preset : presets()) {
        if (unicode(preset.name).caseCompare(word, U_FOLD_CASE_DEFAULT) == 0 ||
            preset.domain.compare(0, prefix.size(), prefix) == 0)
            return preset.domain;
    }
    return std::nullopt;
}

SitesTab::SitesTab(Store& store, LogFn log) : store_(store), log_(std::move(log)) {}

void SitesTab::appear() {
    std::set<std::string> domains;
    for (const Site& site : store_.config().sites) domains.insert(site.domain);
    listed_ = std::move(domains);
    store_.loadSuggestions(false);
}

void SitesTab::leave() {
    listed_.reset();
}

bool SitesTab::canAdd() const {
    return !trimSpaces(entry).empty();
}

void SitesTab::add(std::string_view text) {
    const std::string typed(trimSpaces(text));
    std::optional<std::string> domain = normalize(text);
    if (!domain) domain = presetDomainFor(typed);
    if (!domain) {
        problem_ = notAnAddress(typed);
        return;
    }
    if (isProtected(*domain)) {
        problem_ = neverBlocks(*domain);
        return;
    }
    problem_.reset();
    entry.clear();
    Config config = store_.config();
    for (Site& site : config.sites) {
        if (site.domain != *domain) continue;
        site.enabled = true;
        store_.setConfig(std::move(config));
        return;
    }
    append(*domain);
}

bool SitesTab::enabled(std::string_view domain) const {
    const auto& sites = store_.config().sites;
    auto it = std::find_if(sites.begin(), sites.end(),
                           [&](const Site& site) { return site.domain == domain; });
    return it != sites.end() && it->enabled;
}

void SitesTab::setEnabled(std::string_view domain, bool on, bool removeWhenOff) {
    Config config = store_.config();
    auto it = std::find_if(config.sites.begin(), config.sites.end(),
                           [&](const Site& site) { return site.domain == domain; });
    if (it == config.sites.end()) {
        if (on) append(std::string(domain));
        return;
    }
    if (!on && removeWhenOff) {
        config.sites.erase(it);
        store_.setConfig(std::move(config));
        if (log_) log_("site removed: " + std::string(domain));
        return;
    }
    it->enabled = on;
    store_.setConfig(std::move(config));
}

void SitesTab::remove(std::string_view id) {
    Config config = store_.config();
    auto it = std::find_if(config.sites.begin(), config.sites.end(),
                           [&](const Site& site) { return site.id == id; });
    if (it == config.sites.end()) return;
    const std::string domain = it->domain;
    config.sites.erase(it);
    store_.setConfig(std::move(config));
    if (log_) log_("site removed: " + domain);
}

SitesGroups SitesTab::groups() const {
    return groupSites(store_.config(), store_.suggestions(), listed_, presets());
}

void SitesTab::append(const std::string& domain) {
    Config config = store_.config();
    config.sites.push_back(Site::named(domain));
    store_.setConfig(std::move(config));
    if (log_) log_("site added: " + domain);
}

}  // namespace tarrow
