// A stand-in for a desktop's tray: takes the X11 system tray selection of screen 0 and
// waits for a tray icon to ask for docking. Exits 0 when one asks, 1 after the timeout.
//   fake_tray_host <seconds> [dropped]
// With a number of dropped requests, it ignores that many, as a tray that is still
// starting up does, then takes the icon in (makes it a child of its own window) and
// watches two seconds more: it exits 0 only if the icon then stops asking.

#include <poll.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    xcb_atom_t a = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    const int dropped = argc > 2 ? std::atoi(argv[2]) : -1;
    std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(
        xcb_connect(nullptr, nullptr), xcb_disconnect);
    xcb_connection_t* c = connection.get();
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "fake_tray_host: no display\n");
        return 2;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_window_t tray = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, tray, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    const xcb_atom_t selection = atom(c, "_NET_SYSTEM_TRAY_S0");
    const xcb_atom_t manager = atom(c, "MANAGER");
    const xcb_atom_t opcode = atom(c, "_NET_SYSTEM_TRAY_OPCODE");
    xcb_set_selection_owner(c, tray, selection, XCB_CURRENT_TIME);

    // Tell running clients that a tray manager is here.
    xcb_client_message_event_t announce{};
    announce.response_type = XCB_CLIENT_MESSAGE;
    announce.format = 32;
    announce.window = screen->root;
    announce.type = manager;
    announce.data.data32[0] = XCB_CURRENT_TIME;
    announce.data.data32[1] = selection;
    announce.data.data32[2] = tray;
    xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&announce));
    xcb_flush(c);
    std::printf("tray up\n");
    std::fflush(stdout);

    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int requests = 0;
    bool docked = false;
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    while (std::chrono::steady_clock::now() < deadline) {
        ::poll(&fd, 1, 200);
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            xcb_window_t icon = XCB_WINDOW_NONE;
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
                if (message->type == opcode && message->data.data32[1] == 0) {  // REQUEST_DOCK
                    icon = message->data.data32[2];
                }
            }
            std::free(event);
            if (icon == XCB_WINDOW_NONE) continue;
            ++requests;
            if (dropped < 0) {
                std::printf("dock request\n");
                return 0;
            }
            if (docked) {
                std::printf("asked again after docking\n");
                return 1;
            }
            if (requests <= dropped) {
                std::printf("dropped dock request %d\n", requests);
                std::fflush(stdout);
                continue;
            }
            xcb_reparent_window(c, icon, tray, 0, 0);
            xcb_map_window(c, icon);
            xcb_map_window(c, tray);
            xcb_flush(c);
            std::printf("docked after %d requests\n", requests);
            std::fflush(stdout);
            docked = true;
            deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        }
        if (xcb_connection_has_error(c)) return 2;
    }
    if (docked) return 0;
    std::printf("no dock request\n");
    return 1;
}
