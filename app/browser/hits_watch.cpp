#include "app/browser/hits_watch.h"

#include <QFileInfo>

#include "common/file_io.h"

namespace tarrow {

HitsWatch::HitsWatch(std::string hitsFile, std::function<void()> changed)
    : file_(std::move(hitsFile)), folder_(folderOf(file_)), changed_(std::move(changed)) {}

bool HitsWatch::arm(const std::function<void()>& armedNow) {
    if (watcher_) return true;
    const QString folder = QString::fromStdString(folder_);
    if (!QFileInfo(folder).isDir()) return false;
    auto watcher = std::make_unique<QFileSystemWatcher>();
    if (!watcher->addPath(folder)) return false;
    QObject::connect(watcher.get(), &QFileSystemWatcher::directoryChanged, watcher.get(),
                     [this](const QString&) { folderChanged(); });
    watcher_ = std::move(watcher);
    armedNow();
    return true;
}

void HitsWatch::folderChanged() {
    const QString folder = QString::fromStdString(folder_);
    if (!QFileInfo(folder).isDir() || !watcher_->directories().contains(folder)) {
        // The folder was deleted or moved away: this watch is over. It is released
        // later, as its own signal is still being delivered.
        watcher_.release()->deleteLater();
    }
    changed_();
}

}  // namespace tarrow
