#include "app/menu_mode.h"

#include <QApplication>
#include <cstdio>

#include "app/controller/log.h"
#include "app/controller/menu_model.h"
#include "app/controller/tarrow.h"
#include "app/model/store.h"
#include "app/ui/brand.h"
#include "app/ui/mark.h"
#include "app/ui/tray_item.h"
#include "app/ui/tray_menu.h"

namespace tarrow::app {

int printMenu(int argc, char** argv, const std::string& folder, const std::string& helperSHA256) {
    QApplication application(argc, argv);
    ui::registerBrandFont();
    Store store(folder, [](std::string_view message) { log(message); });
    ui::TrayItem item(ui::markIcon);
    Tarrow tarrow(store, systemPaths(folder, helperSHA256), item, Calendar::current());
    ui::TrayMenu menu(tarrow, {});
    menu.rebuild();
    std::fputs(menuText(menu.entries()).c_str(), stdout);
    std::fflush(stdout);
    return 0;
}

}  // namespace tarrow::app
