#pragma once
// A controller wired to a scratch folder: its own state folder, hosts file and helper
// files, a clock the test moves, a captured log and an in-memory tray item.

#include <memory>
#include <string>
#include <vector>

#include "app/controller/tarrow.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::test {

class FakeItem : public app::StatusItem {
  public:
    void setMark(bool on) override {
        blocking = on;
        ++marks;
    }
    void setDimmed(bool) override {}
    const std::string& toolTip() const override { return tip; }
    void setToolTip(const std::string& t, const std::string&, const std::string&) override {
        tip = t;
    }
    bool blocking = false;
    int marks = 0;
    std::string tip;
};

enum class HelperFiles { none, current };

struct Rig {
    TempFolder scratch;
    std::vector<std::string> logged;
    Instant clock;
    std::chrono::steady_clock::duration elapsed{};  // the monotonic clock
    FakeItem item;
    app::ControllerPaths paths;
    std::unique_ptr<Store> store;
    std::unique_ptr<app::Tarrow> tarrow;
    int sweeps = 0;

    // A rig whose state folder is scratch/home unless folder is given.
    explicit Rig(HelperFiles helper = HelperFiles::current, std::string folder = {});

    // Builds the store and the controller (after the test has prepared files).
    void start(const Config& config);
    void tick() { tarrow->tick(); }
    // Both clocks move on.
    void advance(int seconds) {
        clock += std::chrono::seconds(seconds);
        elapsed += std::chrono::seconds(seconds);
    }

    // What a working helper does: the hosts section follows the request file.
    void applyRequest();
    void writeHosts(const std::vector<std::string>& names);
    void command(const std::string& text);

    std::string request() const;
    std::vector<std::string> requestLines() const;
    int count(const std::string& line) const;          // log lines equal to line
    int countPrefix(const std::string& prefix) const;  // log lines starting with prefix
};

Config configWith(std::vector<std::string> domains, bool manualOn);
Instant at(const char* iso);

}  // namespace tarrow::test
