#pragma once
// What the menu's items do. Every configuration change copies the store's value,
// changes the copy and assigns it back; the store then saves and ticks.

#include <functional>
#include <string>
#include <string_view>

#include "app/controller/menu_model.h"
#include "app/model/tab.h"

namespace tarrow::app {

class Tarrow;

// The product's web address and its privacy page.
inline constexpr std::string_view siteURL = "https://tarrow.brightloom.de/";
// Where macOS lets the user allow the scripting of browsers.
inline constexpr std::string_view automationSettingsURL =
    "x-apple.systempreferences:com.apple.preference.security?Privacy_Automation";

// Effects outside the controller, given by the app. The app connects all of them; one
// left empty does nothing.
struct MenuActions {
    std::function<bool()> installHelper;
    std::function<bool()> removeHelper;
    std::function<void()> askBrowsers;      // automation consent, where a browser can give it
    std::function<void()> refreshBrowsers;  // before the General tab shows
    std::function<void(Tab)> showSettings;
    std::function<void()> about;
    std::function<void(const std::string& location)> open;  // a file path or a web address
};

// Runs the command of a chosen item.
void choose(Tarrow& tarrow, const MenuEntry& entry, const MenuActions& actions);

void toggleMain(Tarrow& tarrow, const MenuActions& actions);
// Strict when "Can't End Early" is checked.
void lockFor(Tarrow& tarrow, int minutes, const MenuActions& actions);
void toggleStrict(Tarrow& tarrow);
// An id that no longer exists changes nothing.
void toggleSite(Tarrow& tarrow, std::string_view id);
void toggleSchedule(Tarrow& tarrow, std::string_view id);
// Install, update or repair; nothing while the helper works.
void setUp(Tarrow& tarrow, const MenuActions& actions);
void remove(Tarrow& tarrow, const MenuActions& actions);
void show(Tarrow& tarrow, Tab tab, const MenuActions& actions);

void showLog(Tarrow& tarrow, const MenuActions& actions);
void openSite(const MenuActions& actions);
void showPrivacy(const MenuActions& actions);
// macOS only: no browser can be scripted elsewhere, so nothing offers it there.
void openAutomationSettings(const MenuActions& actions);

}  // namespace tarrow::app
