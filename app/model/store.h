#pragma once
// The one state holder of the app: the configuration, saved on every real change, and
// the fields the views show. Main thread only; no Qt and no threads here: every write is
// announced to the plain callbacks given to `observe`, and a saved change of the
// configuration to `changed`. The bytes of a save go to `writeFile`, which the app points
// at its writer thread; what the store holds is the configuration from the moment it is
// set, written or not.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/model/attempts.h"
#include "app/model/browser_state.h"
#include "app/model/config.h"
#include "app/model/helper_state.h"
#include "app/model/instant.h"
#include "app/model/log_fn.h"
#include "app/model/site_names.h"
#include "app/model/suggestion.h"
#include "app/model/tab.h"
#include "common/file_writer.h"
#include "common/status.h"

namespace tarrow {

// The observable fields; every write of one of them is announced.
enum class StoreField {
    config,
    tab,
    helper,
    status,
    browsers,
    suggestions,
    suggesting,
    lockedBrowsers,
    weekAttempts,
    stillOpen
};

class Store {
  public:
    // Loads folder/config.json. An unreadable file is set aside as config.broken.json
    // (or config.broken.N.json when that exists) and the initial configuration written.
    explicit Store(std::string folder, LogFn log = {});
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    const std::string& folder() const { return folder_; }

    const Config& config() const { return config_; }
    // The change rule: an equal value writes nothing and calls nothing; a different one
    // is handed to `writeFile`, then `changed` is called. A failed save is logged when its
    // result comes back; the change holds in memory and goes to the file with the next.
    void setConfig(Config config);
    // Writes config.json now, on this thread. An unreadable file that could not be set
    // aside yet is never written over.
    Status save();

    Tab tab() const { return tab_; }
    void setTab(Tab tab);
    Helper helper() const { return helper_; }
    void setHelper(Helper helper);
    const std::string& status() const { return status_; }
    void setStatus(std::string status);
    const std::vector<BrowserState>& browsers() const { return browsers_; }
    void setBrowsers(std::vector<BrowserState> browsers);
    const std::vector<Suggestion>& suggestions() const { return suggestions_; }
    void setSuggestions(std::vector<Suggestion> suggestions);
    bool suggesting() const { return suggesting_; }
    void setSuggesting(bool suggesting);
    const std::vector<std::string>& lockedBrowsers() const { return lockedBrowsers_; }
    void setLockedBrowsers(std::vector<std::string> names);
    // Per site, the attempts of the last seven days (sites without any left out).
    const SiteAttempts& weekAttempts() const { return weekAttempts_; }
    void setWeekAttempts(SiteAttempts counts);
    // Per site, the names the helper found still resolving to an address of their own.
    const SiteOpenNames& stillOpen() const { return stillOpen_; }
    void setStillOpen(SiteOpenNames open);

    // Called after every write of an observable field (equal values included), in the
    // order the observers were added.
    void observe(std::function<void(StoreField)> observer);

    // Refreshes the suggestions from the browsing history. The history reader installs
    // `suggestionLoader`; until it does, this does nothing.
    void loadSuggestions(bool force);
    std::function<void(Store&, bool force)> suggestionLoader;

    // Plain fields.
    bool readsHistory = false;
    bool demo = false;  // a demonstration mode filled the suggestions: never read history
    std::optional<Instant> suggestedAt;
    std::function<void()> changed;  // called after every saved change of the configuration
    // Where the saves of changes go; written at once on this thread until the app sets it.
    // Results must come back on this thread.
    WriteFile writeFile = writeNow;

  private:
    void announce(StoreField field);
    void load();
    void saveOrLog();
    void logSave(const Status& saved);
    Status setAsideUnreadable();
    void keepLeftOut(const std::vector<std::string>& leftOut);

    std::string folder_;
    LogFn log_;
    Config config_;
    Tab tab_ = Tab::sites;
    Helper helper_ = Helper::missing;
    std::string status_;
    std::vector<BrowserState> browsers_;
    std::vector<Suggestion> suggestions_;
    bool suggesting_ = false;
    std::vector<std::string> lockedBrowsers_;
    SiteAttempts weekAttempts_;
    SiteOpenNames stillOpen_;
    std::vector<std::function<void(StoreField)>> observers_;
    bool unreadableLeft_ = false;  // an unreadable config.json is still in the way
    Status lastSaveFailure_;       // the last failure logged by saveOrLog, ok when none
};

}  // namespace tarrow
