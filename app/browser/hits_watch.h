#pragma once
// A watch on the hits file's folder. The helper replaces the file by renaming a new
// one over it, which shows as a change of the folder; watching the folder keeps the
// watch valid across those replacements. When the folder itself goes away the watch
// ends, and the next arm() (every tick) makes a new one once the folder is back.

#include <sys/types.h>
#include <QFileSystemWatcher>
#include <functional>

#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace tarrow {

class HitsWatch {
  public:
    // `changed` runs on the main thread after every change of the folder.
    HitsWatch(std::string hitsFile, std::function<void()> changed);

    // Arms the watch if it is not armed and the folder exists; true when armed now.
    // `armedNow` runs once for each new watch, before any change is reported.
    bool arm(const std::function<void()>& armedNow);
    bool armed() const { return watcher_ != nullptr; }
    const std::string& file() const { return file_; }

  private:
    void folderChanged();
    void drop();

    std::string file_;
    std::string folder_;
    std::function<void()> changed_;
    std::unique_ptr<QFileSystemWatcher> watcher_;
    std::optional<std::pair<dev_t, ino_t>> watched_;  // the folder the watch is on
};

}  // namespace tarrow
