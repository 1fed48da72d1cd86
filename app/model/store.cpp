#include "app/model/store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "app/model/config_json.h"
#include "app/model/state_folder.h"
#include "common/file_io.h"
#include "common/status.h"

namespace tarrow {

namespace {

constexpr int maxBrokenCopies = 1000;

std::string brokenName(int n) {
    return n == 0 ? "config.broken.json" : "config.broken." + std::to_string(n) + ".json";
}

// Renames without replacing an existing file.
Status renameNew(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
    if (errno != EINVAL && errno != ENOSYS) return Status::lastError("move", from);
    // A file system without that flag: check first (a race here costs an older copy).
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return Status::failure("move", from, EEXIST);
    if (::rename(from.c_str(), to.c_str()) != 0) return Status::lastError("move", from);
    return {};
}

// Moves an unreadable config.json to the first free config.broken[.N].json, so an
// older broken copy is never replaced and the unreadable file is never lost. The name
// it got.
Result<std::string> setAside(const std::string& folder) {
    const std::string from = fileIn(folder, "config.json");
    Status moved;
    for (int n = 0; n < maxBrokenCopies; ++n) {
        moved = renameNew(from, fileIn(folder, brokenName(n)));
        if (moved.ok()) return brokenName(n);
        if (moved.error() != EEXIST && moved.error() != ENOTEMPTY) break;
    }
    return moved;
}

// Keeps config.json as it is now under the first free config.broken[.N].json: a second
// name for the same file, so its bytes outlive the next save. The name it got.
Result<std::string> keepAsItIs(const std::string& folder) {
    const std::string from = fileIn(folder, "config.json");
    for (int n = 0; n < maxBrokenCopies; ++n) {
        const std::string to = fileIn(folder, brokenName(n));
        if (::link(from.c_str(), to.c_str()) == 0) return brokenName(n);
        if (errno != EEXIST) return Status::lastError("link", from + " to " + to);
    }
    return Status::failure("link", from + " to " + fileIn(folder, brokenName(0)), EEXIST);
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
    Result<std::string> kept = keepAsItIs(folder_);
    line += kept.ok() ? " the file as it was is kept as " + *kept : " " + kept.status().text();
    if (log_) log_(line);
}

Status Store::save() {
    // Writing over an unreadable file that could not be set aside would lose it.
    if (unreadableLeft_) {
        Result<std::string> moved = setAside(folder_);
        if (!moved) return moved.status();
        unreadableLeft_ = false;
        if (log_) log_("config.json unreadable, moved to " + *moved);
    }
    AtomicWrite how;
    how.mode = 0600;
    return writeAtomically(fileIn(folder_, "config.json"), encodeConfig(config_), how);
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
    const Status saved = save();
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
