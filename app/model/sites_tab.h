#pragma once
// What the Sites tab does, without its widgets: the add field, the ticks and removals,
// and the grouping memory. Every change goes straight into the store, which saves it.

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "app/model/log_fn.h"
#include "app/model/sites_grouping.h"
#include "app/model/store.h"

namespace tarrow {

class SitesTab {
  public:
    SitesTab(Store& store, LogFn log);

    // The tab came on screen: the grouping starts from the sites listed now, and the
    // suggestions are refreshed (at most as often as their loader allows).
    void appear();
    // The tab left the screen: the next showing groups afresh.
    void leave();
    const std::optional<std::set<std::string>>& listed() const { return listed_; }

    // The add field's text; `add` empties it once a site is added or switched on.
    std::string entry;
    const std::optional<std::string>& problem() const { return problem_; }
    // The Add button works while the entry holds more than white space.
    bool canAdd() const;
    // Adds the typed site, or switches it on when it is listed; otherwise `problem` says
    // why not and the entry stays as it is.
    void add(std::string_view text);

    // The tick of a row: the site with that domain is listed and enabled.
    bool enabled(std::string_view domain) const;
    // Unticking removes the site where `removeWhenOff` (rows offered below the list),
    // elsewhere it only switches the site off.
    void setEnabled(std::string_view domain, bool on, bool removeWhenOff);
    // Drops the site with that id.
    void remove(std::string_view id);

    SitesGroups groups() const;

  private:
    void append(const std::string& domain);

    Store& store_;
    LogFn log_;
    std::optional<std::set<std::string>> listed_;
    std::optional<std::string> problem_;
};

// The preset a word stands for when it is no address: the first, in table order, whose
// name equals it ignoring case or whose domain begins with it in lower case and a dot.
std::optional<std::string> presetDomainFor(std::string_view typed);

}  // namespace tarrow
