#include "app/ui/tray_modes.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/controller/log.h"
#include "app/controller/menu_model.h"
#include "app/controller/tarrow.h"
#include "app/model/store.h"
#include "app/ui/brand.h"
#include "app/ui/mark.h"
#include "app/ui/tray_item.h"
#include "app/ui/tray_menu.h"

namespace tarrow::ui {

namespace {

// These modes only print or write files: without a display they run offscreen.
void offscreenWithoutDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    if (!set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

}  // namespace

int printMenu(int argc, char** argv, const std::string& folder, const std::string& helperSHA256) {
    offscreenWithoutDisplay();
    QApplication application(argc, argv);
    registerBrandFont();
    Store store(folder, [](std::string_view message) { app::log(message); });
    TrayItem item(markIcon);
    app::Tarrow tarrow(store, app::systemPaths(folder, helperSHA256), item, Calendar::current());
    TrayMenu menu(tarrow, {});
    menu.rebuild();
    std::fputs(app::menuText(menu.entries()).c_str(), stdout);
    std::fflush(stdout);
    return 0;
}

int writeIcons(int argc, char** argv, const std::string& folder) {
    offscreenWithoutDisplay();
    QApplication application(argc, argv);
    registerBrandFont();
    const QStringList written = writeMarkImages(QString::fromStdString(folder));
    for (const QString& path : written) std::printf("%s\n", qPrintable(path));
    return written.size() == 4 ? 0 : 1;
}

}  // namespace tarrow::ui
