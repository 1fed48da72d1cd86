#pragma once
// Sending browser tabs that show a blocked site to the block page, and keeping track
// of the user's consent to script each browser. Runs on the main thread; only the
// consent question runs elsewhere, because the system's dialog blocks its caller.

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/model/browser_state.h"
#include "platform/desktop/browser_scripting.h"

namespace tarrow {

// The consent for a permission status of the scripting backend.
Consent consentForStatus(int status);
// The case name, as the log prints it.
const char* consentName(Consent consent);

struct TabsNeeds {
    // How long a consent answer is kept is measured on the monotonic clock.
    std::function<std::chrono::steady_clock::time_point()> now;
    std::function<void(const std::string&)> log;
    std::function<std::optional<platform::Application>()> frontApplication;
    // Starts the page server if needed; false when it has no port.
    std::function<bool()> startPages;
    // The block page address for a host and the address it came from.
    std::function<std::string(const std::string& host, const std::string& back)> pageUrl;
    // Runs work off the main thread, and hands a result back to it.
    std::function<void(std::function<void()>)> inBackground;
    std::function<void(std::function<void()>)> onMain;
    // Rebuild the settings' browser list; sweep every tab (both after a consent question).
    std::function<void()> refresh;
    std::function<void()> sweep;
};

class BrowserTabs {
  public:
    BrowserTabs(platform::BrowserScripting& scripting, TabsNeeds needs);

    Consent consentFor(const std::string& id, bool fresh);
    void askBrowsers();
    std::vector<BrowserState> refreshBrowsers();
    void checkFrontTab(const std::set<std::string>& blockingNames, bool notice);
    void sweepTabs(const std::set<std::string>& blockingNames, bool notice);

    // Whether a hit with this application in front goes to the tab instead of the card.
    bool frontTabPath(const std::optional<platform::Application>& front);

    bool asking() const { return asking_; }

  private:
    static constexpr std::chrono::seconds consentLifetime{30};

    struct Checked {
        Consent consent;
        std::chrono::steady_clock::time_point at;
    };
    std::string shownName(const platform::Application& app) const;

    platform::BrowserScripting& scripting_;
    TabsNeeds needs_;
    std::map<std::string, Checked> consent_;
    std::map<std::string, std::string> frontScripts_;
    bool asking_ = false;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // watched by work handed back
};

}  // namespace tarrow
