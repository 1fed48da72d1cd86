#pragma once
// The app's side of the browsers: the block page server, the tabs that are sent to it,
// the hits the helper records, and what leads to the card. One object beside the
// controller, on the main thread; the app wires the two together (the controller's
// watchHits and sweepTabs hooks, the command file's "card", the card window).

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "app/browser/browser_tabs.h"
#include "app/browser/hit_notices.h"
#include "app/browser/hits_watch.h"
#include "app/browser/page_server.h"
#include "app/model/instant.h"
#include "app/model/log_fn.h"
#include "app/model/store.h"
#include "platform/desktop/browser_scripting.h"

namespace tarrow {

struct IntegrationSetup {
    std::string hitsFile;     // the helper's hits file
    std::string hostsFile;    // the hosts file the page's status reads
    std::string fontFolder;   // the brand fonts the page serves
    std::string extensionId;  // Tarrow's browser extension, when known
    PagePorts ports;
};

// What the browser side needs from the rest of the app.
struct BrowserNeeds {
    LogFn log;
    // The names the controller blocks right now (empty while it does not block).
    std::function<const std::set<std::string>&()> blockingNames;
    // "until …" for the block page and "Blocked until …" for the card, as of now.
    std::function<std::string()> untilLine;
    std::function<std::string()> cardLine;
    // Shows the card with the site's name, the line under it and the muted line of
    // today's tries (empty for none).
    std::function<void(const std::string& name, const std::string& line, const std::string& tries)>
        showCard;
    // A hit of a configured site (enabled or not), to be counted as an attempt.
    std::function<void(const std::string& domain, Instant at)> tried;
    // "3rd try today" for a site's domain; empty when it was not tried today.
    std::function<std::string(const std::string& domain)> triesLine;
    // Whether a tray shows the app's icon, for the page's way to "Okay, Now"; a tray when
    // absent.
    std::function<bool()> trayFound;
};

class BrowserIntegration {
  public:
    BrowserIntegration(Store& store, IntegrationSetup setup, BrowserNeeds needs);
    ~BrowserIntegration();
    BrowserIntegration(const BrowserIntegration&) = delete;
    BrowserIntegration& operator=(const BrowserIntegration&) = delete;

    // Start-up: the page server, the browser list, the once-a-second tab check.
    void start();
    // The controller's hooks.
    void watchHits();
    void sweepTabs();
    void checkFrontTab();
    // Rebuilds the store's list of scriptable browsers (settings).
    void refreshBrowsers();
    // One hit; `demo` is the command file's demonstration, which always shows the card.
    void blockedHit(const std::string& host, bool demo);
    // The command file's "card": the card for a domain (in lower case), or for the
    // YouTube row of the popular sites when none is given.
    void demonstrateCard(std::string_view domain);

    PageServer& pages() { return pages_; }

  private:
    std::string pageHTML(const std::string& site, const std::string& back);
    // The configured site a host belongs to: any site for the page, enabled sites only
    // for the card.
    std::optional<std::string> siteFor(const std::string& host, bool enabledOnly) const;
    void showCard(const std::string& domain, const std::string& host);
    void later(std::chrono::milliseconds delay, std::function<void()> job);

    Store& store_;
    BrowserNeeds needs_;
    QObject context_;  // lets queued jobs end with this object
    PageServer pages_;
    std::unique_ptr<platform::BrowserScripting> scripting_;
    BrowserTabs tabs_;
    HitNotices notices_;
    HitsWatch hitsWatch_;
    QTimer tabTicker_;
};

}  // namespace tarrow
