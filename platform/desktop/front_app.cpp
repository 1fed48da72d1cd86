#include "platform/desktop/front_app.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/desktop/desktop_entries.h"
#include "platform/desktop/x_connection.h"

namespace tarrow::platform {

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The raw value of a window property, at most 4 KB.
std::string property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name, xcb_atom_t type) {
    if (name == XCB_ATOM_NONE) return {};
    Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, 1024), nullptr),
        &std::free);
    if (!reply || reply->type == XCB_ATOM_NONE) return {};
    const int length = xcb_get_property_value_length(reply.get());
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                       size_t(std::max(length, 0)));
}

uint32_t number(const std::string& raw) {
    uint32_t value = 0;
    if (raw.size() >= sizeof value) std::memcpy(&value, raw.data(), sizeof value);
    return value;
}

std::string programOf(uint32_t pid) {
    if (pid == 0) return {};
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", error);
    return error ? std::string() : exe.filename().string();
}

const std::vector<DesktopEntry>& entries() {
    static const std::vector<DesktopEntry> all = desktopEntries(applicationFolders());
    return all;
}

}  // namespace

FrontApp frontApplication() {
    const char* session = std::getenv("XDG_SESSION_TYPE");
    if (session && std::strcmp(session, "wayland") == 0) return {};
    std::optional<XConnection> x = xConnection();
    if (!x) return {};
    xcb_connection_t* c = x->connection;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < x->screen && screens.rem; ++i) xcb_screen_next(&screens);
    if (!screens.rem) return {};

    const xcb_atom_t active = atom(c, "_NET_ACTIVE_WINDOW");
    const std::string raw = property(c, screens.data->root, active, XCB_ATOM_WINDOW);
    if (raw.size() < 4) return {};  // no window manager that says
    FrontApp front;
    front.told = true;
    const xcb_window_t window = number(raw);
    if (window == XCB_WINDOW_NONE) return front;

    const std::string wmClass = property(c, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
    const std::string instance = wmClass.substr(0, wmClass.find('\0'));
    std::string className;
    if (instance.size() < wmClass.size()) {
        className = wmClass.substr(instance.size() + 1);
        className = className.substr(0, className.find('\0'));
    }
    const uint32_t pid = number(property(c, window, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL));
    Application app;
    if (auto entry = entryForWindow(entries(), instance, className, programOf(pid))) {
        app.id = entry->id;
        app.name = entry->name;
    } else {
        app.name = className;
    }
    front.app = app;
    return front;
}

bool browserInFront(const FrontApp& front, const std::set<std::string>& browsers) {
    if (!front.told || !front.app || front.app->id.empty() || browsers.empty()) return true;
    return browsers.count(front.app->id) > 0;
}

const std::set<std::string>& installedBrowsers() {
    static const std::set<std::string> browsers = webBrowsers(entries());
    return browsers;
}

}  // namespace tarrow::platform
