#include "platform/desktop/browser_scripting.h"

namespace tarrow::platform {

#ifndef __APPLE__

namespace {

// No browser here takes scripts: the tab redirect stays off and hits show the card.
class NoScripting final : public BrowserScripting {
  public:
    bool available() const override { return false; }
    int automationConsent(const std::string&, bool) override { return notRunningStatus; }
    std::optional<std::string> runScript(const std::string&) override { return std::nullopt; }
    std::vector<Application> runningApplications() override { return {}; }
    std::optional<std::string> installedName(const std::string&) override { return std::nullopt; }
};

}  // namespace

std::unique_ptr<BrowserScripting> systemBrowserScripting() {
    return std::make_unique<NoScripting>();
}

#endif

}  // namespace tarrow::platform
