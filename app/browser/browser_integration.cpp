#include "app/browser/browser_integration.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

#include "app/browser/browser_page.h"
#include "app/controller/tarrow.h"
#include "app/model/presets.h"
#include "app/model/site_names.h"
#include "app/model/texts.h"
#include "app/ui/notice_panel.h"
#include "platform/desktop/front_app.h"

namespace tarrow::app {

namespace {

double wallClock() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

QString qstr(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

BrowserIntegration::BrowserIntegration(Tarrow& tarrow, IntegrationSetup setup)
    : tarrow_(tarrow),
      pages_(PageServerSetup{
          .onMain =
              [this](std::function<void()> job) {
                  QMetaObject::invokeMethod(&context_, std::move(job), Qt::QueuedConnection);
              },
          .log = [this](const std::string& line) { tarrow_.log(line); },
          .fontFolder = setup.fontFolder,
          .hostsPath = tarrow.paths().hosts,
          .ports = setup.ports,
      }),
      scripting_(platform::systemBrowserScripting()),
      tabs_(*scripting_,
            TabsNeeds{
                .now = wallClock,
                .log = [this](const std::string& line) { tarrow_.log(line); },
                .frontApplication = [] { return platform::frontApplication().app; },
                .startPages = [this] { return pages_.start(); },
                .pageUrl = [this](const std::string& host,
                                  const std::string& back) { return pages_.url(host, back); },
                .inBackground =
                    [this](std::function<void()> job) {
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
          .now = wallClock,
          .notice = [this] { return tarrow_.store().config().notice; },
          .frontTabPath = [this] { return tabs_.frontTabPath(platform::frontApplication().app); },
          .checkFrontTab = [this] { checkFrontTab(); },
          .later = [this](double seconds, std::function<void()> job) { later(seconds, job); },
          .siteFor = [this](const std::string& host) { return siteFor(host, true); },
          .browserInFront =
              [] {
                  return platform::browserInFront(platform::frontApplication(),
                                                  platform::installedBrowsers());
              },
          .showCard = [this](const std::string& domain,
                             const std::string& host) { showCard(domain, host); },
      }),
      hitsWatch_(setup.hitsFile, [this] { notices_.takeHits(hitsWatch_.file()); }) {
    pages_.setPage(
        [this](const std::string& site, const std::string& back) { return pageHTML(site, back); });
    tarrow_.addCommand("card", [this](const Command& command, Instant) {
        std::string domain;
        if (command.words.size() >= 2) {
            domain = QString::fromStdString(command.words[1]).toLower().toStdString();
        } else {
            for (const Preset& preset : presets()) {
                if (preset.name == "YouTube") domain = preset.domain;
            }
        }
        blockedHit(domain, true);
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
    if (list != tarrow_.store().browsers()) tarrow_.store().setBrowsers(std::move(list));
}

void BrowserIntegration::watchHits() {
    hitsWatch_.arm([this] { notices_.armed(hitsWatch_.file()); });
}

void BrowserIntegration::sweepTabs() {
    tabs_.sweepTabs(tarrow_.blockingNames(), tarrow_.store().config().notice);
}

void BrowserIntegration::checkFrontTab() {
    tabs_.checkFrontTab(tarrow_.blockingNames(), tarrow_.store().config().notice);
}

void BrowserIntegration::blockedHit(const std::string& host, bool demo) {
    notices_.blockedHit(host, demo);
}

std::string BrowserIntegration::pageHTML(const std::string& site, const std::string& back) {
    const std::string domain = siteFor(site, false).value_or(site);
    const Instant now = tarrow_.now();
    return browserPage(siteName(domain), untilLine(tarrow_.evaluation(), now, tarrow_.calendar()),
                       back, pages_.token());
}

std::optional<std::string> BrowserIntegration::siteFor(const std::string& host,
                                                       bool enabledOnly) const {
    for (const Site& site : tarrow_.store().config().sites) {
        if (enabledOnly && !site.enabled) continue;
        for (const std::string& name : hostNames(site.domain)) {
            if (name == host) return site.domain;
        }
    }
    return std::nullopt;
}

void BrowserIntegration::showCard(const std::string& domain, const std::string& host) {
    const Instant now = tarrow_.now();
    const std::string line = cardLine(tarrow_.evaluation(), now, tarrow_.calendar());
    const std::string name = siteName(domain);
    tarrow_.log("card: " + name + " (" + host + ")");
    if (!card_) card_ = std::make_unique<ui::NoticePanel>();
    card_->show(qstr(name), qstr(line));
}

void BrowserIntegration::later(double seconds, std::function<void()> job) {
    QTimer::singleShot(int(seconds * 1000), &context_, std::move(job));
}

}  // namespace tarrow::app
