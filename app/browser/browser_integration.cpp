#include "app/browser/browser_integration.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

#include "app/browser/browser_page.h"
#include "app/model/presets.h"
#include "app/model/site_names.h"
#include "platform/desktop/front_app.h"

namespace tarrow {

BrowserIntegration::BrowserIntegration(Store& store, IntegrationSetup setup, BrowserNeeds needs)
    : store_(store),
      needs_(std::move(needs)),
      pages_(PageServerSetup{
          .onMain =
              [this](std::function<void()> job) {
                  QMetaObject::invokeMethod(&context_, std::move(job), Qt::QueuedConnection);
              },
          .log = [this](const std::string& line) { needs_.log(line); },
          .fontFolder = setup.fontFolder,
          .hostsPath = setup.hostsFile,
          .extensionId = setup.extensionId,
          .ports = setup.ports,
      }),
      scripting_(platform::systemBrowserScripting()),
      tabs_(*scripting_,
            TabsNeeds{
                .now = [] { return std::chrono::steady_clock::now(); },
                .log = [this](const std::string& line) { needs_.log(line); },
                .frontApplication = [] { return platform::frontApplication().app; },
                .startPages = [this] { return pages_.start(); },
                .pageUrl = [this](const std::string& host,
                                  const std::string& back) { return pages_.url(host, back); },
                .inBackground =
                    [](std::function<void()> job) {
                        // The consent dialog blocks its caller: never the main thread.
                        std::thread(std::move(job)).detach();
                    },
                .onMain =
                    [this](std::function<void()> job) {
                        QMetaObject::invokeMethod(&context_, std::move(job), Qt::QueuedConnection);
                    },
                .refresh = [this] { refreshBrowsers(); },
                .sweep = [this] { sweepTabs(); },
            }),
      notices_(HitNeeds{
          .now = [] { return std::chrono::system_clock::now(); },
          .notice = [this] { return store_.config().notice; },
          .frontTabPath = [this] { return tabs_.frontTabPath(platform::frontApplication().app); },
          .checkFrontTab = [this] { checkFrontTab(); },
          .later = [this](std::chrono::milliseconds delay,
                          std::function<void()> job) { later(delay, std::move(job)); },
          .siteFor = [this](const std::string& host) { return siteFor(host, true); },
          .browserInFront =
              [] {
                  return platform::browserInFront(platform::frontApplication(),
                                                  platform::installedBrowsers());
              },
          .showCard = [this](const std::string& domain,
                             const std::string& host) { showCard(domain, host); },
          .tried =
              [this](const std::string& host, std::chrono::sys_seconds at) {
                  if (!needs_.tried) return;
                  if (std::optional<std::string> domain = siteFor(host, false))
                      needs_.tried(*domain, at);
              },
      }),
      hitsWatch_(setup.hitsFile, [this] { notices_.takeHits(hitsWatch_.file()); }) {
    pages_.setPage(
        [this](const std::string& site, const std::string& back) { return pageHTML(site, back); });
    // The extension follows the page switch through the page server.
    pages_.setPageSwitch(store_.config().notice);
    store_.observe([this](StoreField field) {
        if (field == StoreField::config) pages_.setPageSwitch(store_.config().notice);
    });
}

BrowserIntegration::~BrowserIntegration() = default;

void BrowserIntegration::start() {
    pages_.start();
    refreshBrowsers();
    if (scripting_->available()) {
        tabTicker_.setInterval(1000);
        QObject::connect(&tabTicker_, &QTimer::timeout, &context_, [this] { checkFrontTab(); });
        tabTicker_.start();
    }
    watchHits();
}

void BrowserIntegration::refreshBrowsers() {
    std::vector<BrowserState> list = tabs_.refreshBrowsers();
    // Only a real change wakes the views.
    if (list != store_.browsers()) store_.setBrowsers(std::move(list));
}

void BrowserIntegration::watchHits() {
    hitsWatch_.arm([this] { notices_.armed(hitsWatch_.file()); });
}

void BrowserIntegration::sweepTabs() {
    tabs_.sweepTabs(needs_.blockingNames(), store_.config().notice);
}

void BrowserIntegration::checkFrontTab() {
    tabs_.checkFrontTab(needs_.blockingNames(), store_.config().notice);
}

void BrowserIntegration::blockedHit(const std::string& host, bool demo) {
    notices_.blockedHit(host, demo);
}

void BrowserIntegration::demonstrateCard(std::string_view domain) {
    std::string host =
        QString::fromUtf8(domain.data(), qsizetype(domain.size())).toLower().toStdString();
    if (domain.empty()) {
        for (const Preset& preset : presets()) {
            if (preset.name == "YouTube") host = preset.domain;
        }
    }
    blockedHit(host, true);
}

std::string BrowserIntegration::pageHTML(const std::string& site, const std::string& back) {
    const std::string domain = siteFor(site, false).value_or(site);
    const bool tray = !needs_.trayFound || needs_.trayFound();
    return browserPage(siteName(domain), needs_.untilLine(), back, pages_.token(), tray);
}

std::optional<std::string> BrowserIntegration::siteFor(const std::string& host,
                                                       bool enabledOnly) const {
    for (const Site& site : store_.config().sites) {
        if (enabledOnly && !site.enabled) continue;
        for (const std::string& name : hostNames(site.domain)) {
            if (name == host) return site.domain;
        }
    }
    return std::nullopt;
}

void BrowserIntegration::showCard(const std::string& domain, const std::string& host) {
    const std::string name = siteName(domain);
    needs_.log("card: " + name + " (" + host + ")");
    needs_.showCard(name, needs_.cardLine(), needs_.triesLine ? needs_.triesLine(domain) : "");
}

void BrowserIntegration::later(std::chrono::milliseconds delay, std::function<void()> job) {
    QTimer::singleShot(delay, &context_, std::move(job));
}

}  // namespace tarrow
