#pragma once
// What the settings benchmarks run on: a store in a scratch folder with 200 sites (the
// first ten of them popular ones) and 20 suggestions, and the real controller on scratch
// paths (its hosts file is a copy, never the system's). Its files are written behind the
// window by a writer thread, as in the app.

#include <stdlib.h>

#include <QApplication>
#include <string>
#include <vector>

#include "app/model/presets.h"
#include "common/file_writer.h"
#include "controller_scene.h"

namespace tarrow::bench {

// Qt's off-screen platform unless a display was chosen.
inline void chooseOffscreenWithoutDisplay() {
    const char* display = std::getenv("DISPLAY");
    if (!std::getenv("QT_QPA_PLATFORM") && !(display && *display))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

struct Scene : ControllerScene {
    FileWriter writer{[](std::function<void()> done) {
        QMetaObject::invokeMethod(qApp, std::move(done), Qt::QueuedConnection);
    }};

    Scene() {
        Config config;
        for (int i = 0; i < 10; ++i) config.sites.push_back(Site::named(presets()[i].domain));
        for (int i = 10; i < 200; ++i)
            config.sites.push_back(Site::named("site" + std::to_string(i) + ".example"));
        store->setConfig(config);
        store->readsHistory = true;
        std::vector<Suggestion> suggestions;
        for (int i = 0; i < 20; ++i)
            suggestions.push_back({"often" + std::to_string(i) + ".example", 400 - 10 * i});
        store->setSuggestions(suggestions);
        const WriteFile toWriter = [this](FileWrite write) { writer.write(std::move(write)); };
        store->writeFile = toWriter;
        start(toWriter);
    }
};

}  // namespace tarrow::bench
