#include "tests/support/rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/model/state_folder.h"
#include "common/hosts_section.h"

namespace tarrow::test {

namespace {

const char* helperBytes = "#!/bin/sh\necho helper\n";
// SHA-256 of helperBytes (from sha256sum).
const char* helperDigest = "7b920614f751289852b59e0e80ddfeef9ddec7110f2984195b9a7cb9b22c70fe";

}  // namespace

Instant at(const char* iso) {
    std::optional<Instant> t = parseIso(iso);
    if (!t) ADD_FAILURE() << "bad instant " << iso;
    return t.value_or(Instant{});
}

Config configWith(std::vector<std::string> domains, bool manualOn) {
    Config config;
    for (std::string& domain : domains) config.sites.push_back(Site::named(std::move(domain)));
    config.manualOn = manualOn;
    return config;
}

Rig::Rig(HelperFiles helper, std::string folder) : clock(at("2026-10-23T09:00:00+02:00")) {
    paths.folder = folder.empty() ? scratch / "home" : folder;
    paths.request = fileIn(paths.folder, "request/blocked-hosts");
    paths.hosts = scratch / "etc/hosts";
    paths.helper = scratch / "libexec/helper";
    paths.service = scratch / "systemd/helper.service";
    paths.stillOpen = scratch / "lib/still-open";
    paths.helperSHA256 = helperDigest;
    std::filesystem::create_directories(scratch / "etc");
    std::error_code ignored;
    std::filesystem::create_directories(paths.folder, ignored);
    writeFile(paths.hosts, "127.0.0.1\tlocalhost\n");
    if (helper == HelperFiles::current) {
        writeFile(paths.helper, helperBytes);
        writeFile(paths.service, "[Service]\n");
    }
}

void Rig::start(const Config& config) {
    store = std::make_unique<Store>(paths.folder,
                                    [this](std::string_view m) { logged.emplace_back(m); });
    store->setConfig(config);
    app::ControllerHooks hooks;
    hooks.now = [this] { return clock; };
    hooks.elapsed = [this] { return std::chrono::steady_clock::time_point(elapsed); };
    hooks.log = [this](std::string_view m) { logged.emplace_back(m); };
    hooks.sweepTabs = [this] { ++sweeps; };
    hooks.exit = [](int) {};
    tarrow = std::make_unique<app::Tarrow>(*store, paths, item, Calendar("Europe/Berlin", "en_US"),
                                           std::move(hooks));
}

std::string Rig::request() const {
    return readFile(paths.request).value_or("<none>");
}

std::vector<std::string> Rig::requestLines() const {
    std::vector<std::string> lines;
    std::string text = request(), line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    return lines;
}

void Rig::writeHosts(const std::vector<std::string>& names) {
    std::string text = hostsFile(readFile(paths.hosts).value_or(""), names);
    // Replaced by rename, as the helper does.
    writeFile(paths.hosts + ".new", text);
    std::filesystem::rename(paths.hosts + ".new", paths.hosts);
}

void Rig::applyRequest() {
    writeHosts(requestLines());
}

void Rig::command(const std::string& text) {
    writeFile(fileIn(paths.folder, "command"), text);
}

int Rig::count(const std::string& line) const {
    return static_cast<int>(std::count(logged.begin(), logged.end(), line));
}

int Rig::countPrefix(const std::string& prefix) const {
    return static_cast<int>(std::count_if(logged.begin(), logged.end(), [&](const std::string& l) {
        return l.compare(0, prefix.size(), prefix) == 0;
    }));
}

}  // namespace tarrow::test
