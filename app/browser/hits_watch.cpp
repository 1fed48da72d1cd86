#include "app/browser/hits_watch.h"

#include <sys/stat.h>

#include <QFileInfo>

#include "common/file_io.h"

namespace tarrow {

HitsWatch::HitsWatch(std::string hitsFile, std::function<void()> changed)
    : file_(std::move(hitsFile)), folder_(folderOf(file_)), changed_(std::move(changed)) {}

namespace {

std::optional<std::pair<dev_t, ino_t>> identity(const std::string& folder) {
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    return std::make_pair(st.st_dev, st.st_ino);
}

}  // namespace

bool HitsWatch::arm(const std::function<void()>& armedNow) {
    const QString folder = QString::fromStdString(folder_);
    if (watcher_) {
        // Some ways of losing the folder (an unmount, a swap by rename) can pass without
        // a report; a folder that is no longer the watched one gets a new watch.
        if (identity(folder_) == watched_ && watcher_->directories().contains(folder)) return true;
        drop();
    }
    const auto watched = identity(folder_);
    if (!watched) return false;
    auto watcher = std::make_unique<QFileSystemWatcher>();
    if (!watcher->addPath(folder)) return false;
    watched_ = watched;
    QObject::connect(watcher.get(), &QFileSystemWatcher::directoryChanged, watcher.get(),
                     [this](const QString&) { folderChanged(); });
    watcher_ = std::move(watcher);
    armedNow();
    return true;
}

void HitsWatch::drop() {
    // Released later: its own signal may be the one being delivered right now.
    watcher_->disconnect();
    watcher_.release()->deleteLater();
    watched_.reset();
}

void HitsWatch::folderChanged() {
    const QString folder = QString::fromStdString(folder_);
    // The folder was deleted or moved away: this watch is over.
    if (!QFileInfo(folder).isDir() || !watcher_->directories().contains(folder)) drop();
    changed_();
}

}  // namespace tarrow
