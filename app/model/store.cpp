#include "app/model/store.h"

#include <sys/stat.h>

#include "app/model/broken_file.h"
#include "app/model/config_json.h"
#include "app/model/state_folder.h"
#include "common/file_io.h"
#include "common/status.h"

namespace tarrow {

namespace {

AtomicWrite configWrite() {
    AtomicWrite how;
    how.mode = 0600;
    return how;
}

}  // namespace

Store::Store(std::string folder, LogFn log) : folder_(std::move(folder)), log_(std::move(log)) {
    load();
}

void Store::load() {
    const std::string path = fileIn(folder_, "config.json");
    if (auto text = readRegularFile(path)) {
        if (auto reading = readConfig(*text)) {
            config_ = std::move(reading->config);
            if (!reading->leftOut.empty()) keepLeftOut(reading->leftOut);
            return;
        }
    } else {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {  // no file: a first start
            config_ = Config::initial();
            saveOrLog();
            return;
        }
        // Something is there that cannot be read (no permission, not a file): it is set
        // aside like a broken file rather than written over.
    }
    config_ = Config::initial();
    unreadableLeft_ = true;
    saveOrLog();
}

// A file that reads only in part: what was left out is said once, and the file as the
// user wrote it is kept, since the next save writes the configuration without it.
void Store::keepLeftOut(const std::vector<std::string>& leftOut) {
    std::string line = "config.json:";
    for (const std::string& note : leftOut) line += " " + note + ";";
    Result<std::string> kept = keepAsItIs(folder_, "config");
    line += kept.ok() ? " the file as it was is kept as " + *kept : " " + kept.status().text();
    if (log_) log_(line);
}

Status Store::setAsideUnreadable() {
    // Writing over an unreadable file that could not be set aside would lose it.
    if (!unreadableLeft_) return {};
    Result<std::string> moved = setAside(folder_, "config");
    if (!moved) return moved.status();
    unreadableLeft_ = false;
    if (log_) log_("config.json unreadable, moved to " + *moved);
    return {};
}

Status Store::save() {
    if (Status asideFirst = setAsideUnreadable(); !asideFirst.ok()) return asideFirst;
    return writeAtomically(fileIn(folder_, "config.json"), encodeConfig(config_), configWrite());
}

void Store::setConfig(Config config) {
    const bool same = config == config_;
    config_ = std::move(config);
    announce(StoreField::config);
    if (same) return;
    // The change holds in memory either way; the next change saves it with itself.
    saveOrLog();
    if (changed) changed();
}

void Store::saveOrLog() {
    // Setting a broken file aside is a rename, done here once, not on every change.
    if (Status asideFirst = setAsideUnreadable(); !asideFirst.ok()) {
        logSave(asideFirst);
        return;
    }
    writeFile({fileIn(folder_, "config.json"), encodeConfig(config_), configWrite(),
               [this](const Status& saved) { logSave(saved); }});
}

void Store::logSave(const Status& saved) {
    // A lasting failure (a file that cannot be moved aside, a folder that cannot be
    // written) is said once, not at every save; a different one is said again.
    if (saved == lastSaveFailure_) return;
    lastSaveFailure_ = saved;
    if (saved.ok() || !log_) return;
    if (unreadableLeft_) {
        log_("config.json unreadable, could not move it aside: " + saved.text());
    } else {
        log_("cannot save the settings: " + saved.text());
    }
}

void Store::setTab(Tab tab) {
    tab_ = tab;
    announce(StoreField::tab);
}

void Store::setHelper(Helper helper) {
    helper_ = helper;
    announce(StoreField::helper);
}

void Store::setStatus(std::string status) {
    status_ = std::move(status);
    announce(StoreField::status);
}

void Store::setBrowsers(std::vector<BrowserState> browsers) {
    browsers_ = std::move(browsers);
    announce(StoreField::browsers);
}

void Store::setSuggestions(std::vector<Suggestion> suggestions) {
    suggestions_ = std::move(suggestions);
    announce(StoreField::suggestions);
}

void Store::setSuggesting(bool suggesting) {
    suggesting_ = suggesting;
    announce(StoreField::suggesting);
}

void Store::setLockedBrowsers(std::vector<std::string> names) {
    lockedBrowsers_ = std::move(names);
    announce(StoreField::lockedBrowsers);
}

void Store::setWeekAttempts(SiteAttempts counts) {
    weekAttempts_ = std::move(counts);
    announce(StoreField::weekAttempts);
}

void Store::setStillOpen(SiteOpenNames open) {
    stillOpen_ = std::move(open);
    announce(StoreField::stillOpen);
}

void Store::observe(std::function<void(StoreField)> observer) {
    observers_.push_back(std::move(observer));
}

void Store::loadSuggestions(bool force) {
    if (suggestionLoader) suggestionLoader(*this, force);
}

void Store::announce(StoreField field) {
    for (const auto& observer : observers_) observer(field);
}

}  // namespace tarrow
