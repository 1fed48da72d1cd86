#pragma once
// The app's side of the browsers: the block page server, the tabs that are sent to it,
// the hits the helper records, and the card. One object beside the controller, on the
// main thread; the controller reaches it through its watchHits and sweepTabs hooks.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>

#include "app/browser/browser_tabs.h"
#include "app/browser/hit_notices.h"
#include "app/browser/hits_watch.h"
#include "app/browser/page_server.h"
#include "platform/desktop/browser_scripting.h"

namespace tarrow::ui {
class NoticePanel;
}

namespace tarrow::app {

class Tarrow;

struct IntegrationSetup {
    std::string hitsFile;    // the helper's hits file
    std::string fontFolder;  // the brand fonts the page serves
    PagePorts ports;
};

class BrowserIntegration {
  public:
    BrowserIntegration(Tarrow& tarrow, IntegrationSetup setup);
    ~BrowserIntegration();

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

    PageServer& pages() { return pages_; }
    ui::NoticePanel* card() const { return card_.get(); }

  private:
    std::string pageHTML(const std::string& site, const std::string& back);
    // The configured site a host belongs to: any site for the page, enabled sites only
    // for the card.
    std::optional<std::string> siteFor(const std::string& host, bool enabledOnly) const;
    void showCard(const std::string& domain, const std::string& host);
    void later(double seconds, std::function<void()> job);

    Tarrow& tarrow_;
    QObject context_;  // lets queued jobs end with this object
    PageServer pages_;
    std::unique_ptr<platform::BrowserScripting> scripting_;
    BrowserTabs tabs_;
    HitNotices notices_;
    HitsWatch hitsWatch_;
    QTimer tabTicker_;
    std::unique_ptr<ui::NoticePanel> card_;
};

}  // namespace tarrow::app
