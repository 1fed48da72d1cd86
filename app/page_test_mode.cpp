#include "app/page_test_mode.h"

#include <QCoreApplication>
#include <cstdio>

#include "app/browser/browser_page.h"
#include "app/browser/page_server.h"
#include "app/controller/log.h"
#include "app/model/presets.h"
#include "app/model/site_names.h"
#include "app/ui/resources.h"

namespace tarrow::app {

int runPageTest(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    PageServerSetup setup;
    setup.onMain = [&application](std::function<void()> job) {
        QMetaObject::invokeMethod(&application, std::move(job), Qt::QueuedConnection);
    };
    setup.log = [](const std::string& line) { log(line); };
    setup.fontFolder = ui::resourcesFolder().toStdString();
    PageServer pages(std::move(setup));
    pages.setPage([&pages](const std::string& site, const std::string& back) {
        return browserPage(siteName(site), "until 12:00, on schedule", back, pages.token());
    });
    if (!pages.start()) return 1;
    std::string domain = "youtube.com";
    for (const Preset& preset : presets()) {
        if (preset.name == "YouTube") domain = preset.domain;
    }
    const std::string address = pages.url(domain, "https://www." + domain + "/watch?v=0");
    std::printf("%s %s\n", address.c_str(), pages.token().c_str());
    std::fflush(stdout);
    return application.exec();
}

}  // namespace tarrow::app
