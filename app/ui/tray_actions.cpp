#include "app/ui/tray_actions.h"

#include <unistd.h>

#include <QDesktopServices>
#include <QUrl>

#include "app/controller/helper_identity.h"
#include "app/controller/helper_setup.h"
#include "app/controller/tarrow.h"
#include "app/ui/about_box.h"
#include "app/ui/admin_prompt.h"

namespace tarrow::ui {

app::MenuActions trayActions(app::Tarrow& tarrow) {
    app::AdminSteps steps;
    steps.folder = tarrow.paths().folder;
    steps.noAgent = tellNoAgent;
    auto log = [&tarrow](std::string_view message) { tarrow.log(message); };

    app::MenuActions actions;
    actions.installHelper = [&tarrow, steps, log] {
        platform::HelperInstall install{app::bundledHelper(), tarrow.paths().helperSHA256,
                                        tarrow.paths().request, ::getuid()};
        return app::installHelper(install, steps, log);
    };
    actions.removeHelper = [steps, log] { return app::removeHelper(steps, log); };
    actions.about = showAbout;
    actions.open = [log](const std::string& location) {
        const QString text = QString::fromStdString(location);
        const QUrl url = text.startsWith('/') ? QUrl::fromLocalFile(text) : QUrl(text);
        // The desktop's default handler; without one the user at least finds out why.
        if (!QDesktopServices::openUrl(url)) log("cannot open " + location);
    };
    return actions;
}

}  // namespace tarrow::ui
