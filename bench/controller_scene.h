#pragma once
// The real controller on a scratch folder (its hosts file is a copy, never the system's),
// with a tray item that draws nothing: what the tick and settings benchmarks run on.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/controller/tarrow.h"

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

struct ControllerScene {
    std::string root;
    app::ControllerPaths paths;
    NoItem item;
    std::unique_ptr<Store> store;
    std::unique_ptr<app::Tarrow> tarrow;

    ControllerScene() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarrow-bench-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
        paths.folder = root + "/home";
        paths.request = paths.folder + "/request/blocked-hosts";
        paths.hosts = root + "/hosts";
        paths.helper = root + "/helper";
        paths.service = root + "/helper.service";
        paths.stillOpen = root + "/still-open";
        std::filesystem::create_directories(paths.folder);
        std::ofstream(paths.hosts) << "127.0.0.1 localhost\n";
        store = std::make_unique<Store>(paths.folder);
    }
    ~ControllerScene() {
        tarrow.reset();
        store.reset();
        std::filesystem::remove_all(root);
    }

    // The controller on the store as it is now; its first tick writes the request.
    // `writeFile` as the app's hooks have it; left empty, files are written at once.
    void start(WriteFile writeFile = {}) {
        app::ControllerHooks hooks;
        hooks.log = [](std::string_view) {};
        hooks.writeFile = std::move(writeFile);
        tarrow = std::make_unique<app::Tarrow>(
            *store, paths, item, Calendar("Europe/Berlin", "en_US"), std::move(hooks));
        tarrow->tick();
    }
};

}  // namespace tarrow::bench
