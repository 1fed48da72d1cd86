#pragma once
// What the settings benchmarks run on: a store in a scratch folder with 200 sites (the
// first ten of them popular ones) and 20 suggestions, and the real controller on scratch
// paths (its hosts file is a copy, never the system's).

#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/controller/tarrow.h"
#include "app/model/presets.h"

namespace tarrow::bench {

class NoItem : public app::StatusItem {
  public:
    void setMark(bool) override {}
    void setDimmed(bool) override {}
    const std::string& toolTip() const override { return tip_; }
    void setToolTip(const std::string& tip, const std::string&, const std::string&) override {
        tip_ = tip;
    }

  private:
    std::string tip_;
};

// Qt's off-screen platform unless a display was chosen.
inline void chooseOffscreenWithoutDisplay() {
    const char* display = std::getenv("DISPLAY");
    if (!std::getenv("QT_QPA_PLATFORM") && !(display && *display))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

struct Scene {
    std::string root;
    app::ControllerPaths paths;
    NoItem item;
    std::unique_ptr<Store> store;
    std::unique_ptr<app::Tarrow> tarrow;

    Scene() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarrow-bench-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
        paths.folder = root + "/home";
        paths.request = paths.folder + "/request/blocked-hosts";
        paths.hosts = root + "/hosts";
        paths.helper = root + "/helper";
        paths.service = root + "/helper.service";
        std::filesystem::create_directories(paths.folder);
        std::ofstream(paths.hosts) << "127.0.0.1 localhost\n";

        Config config;
        for (int i = 0; i < 10; ++i) config.sites.push_back(Site::named(presets()[i].domain));
        for (int i = 10; i < 200; ++i)
            config.sites.push_back(Site::named("site" + std::to_string(i) + ".example"));
        store = std::make_unique<Store>(paths.folder);
        store->setConfig(config);
        store->readsHistory = true;
        std::vector<Suggestion> suggestions;
        for (int i = 0; i < 20; ++i)
            suggestions.push_back({"often" + std::to_string(i) + ".example", 400 - 10 * i});
        store->setSuggestions(suggestions);
        app::ControllerHooks hooks;
        hooks.log = [](std::string_view) {};
        tarrow = std::make_unique<app::Tarrow>(
            *store, paths, item, Calendar("Europe/Berlin", "en_US"), std::move(hooks));
        tarrow->tick();
    }
    ~Scene() {
        tarrow.reset();
        store.reset();
        std::filesystem::remove_all(root);
    }
};

}  // namespace tarrow::bench
