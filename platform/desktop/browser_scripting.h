#pragma once
// Scripting browsers from outside: asking for and checking the user's consent, and
// running script texts. On macOS this is Apple events; elsewhere no browser can be
// scripted, and the null backend says so.

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarrow::platform {

struct Application {
    std::string id;    // bundle identifier (macOS) or desktop file id (Linux); may be empty
    std::string name;  // localized name; may be empty
};

class BrowserScripting {
  public:
    virtual ~BrowserScripting() = default;
    // False where browsers cannot be scripted at all.
    virtual bool available() const = 0;
    // The system's permission status for sending events to that application (0 when
    // permitted, -600 not running, -1743 denied, -1744 not asked yet). May show the
    // system's consent dialog when `ask` is true, and then waits for the answer.
    virtual int automationConsent(const std::string& id, bool ask) = 0;
    // The script's result in AppleScript source form; none on an error or time-out.
    virtual std::optional<std::string> runScript(const std::string& script) = 0;
    virtual std::vector<Application> runningApplications() = 0;
    // The installed application's display name without ".app"; none if not installed.
    virtual std::optional<std::string> installedName(const std::string& id) = 0;
};

// The backend of this platform.
std::unique_ptr<BrowserScripting> systemBrowserScripting();

inline constexpr int notRunningStatus = -600;

}  // namespace tarrow::platform
