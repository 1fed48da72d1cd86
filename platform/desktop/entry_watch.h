#pragma once
// Tells at once when a file of one name is written or moved into a folder (inotify): the
// command file wakes the running app now instead of at its next tick. Idle, it costs no
// timer and no wake-up.

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <string>

namespace tarrow::platform {

class EntryWatch : public QObject {
  public:
    // `arrived` runs on this thread's event loop after each such write.
    EntryWatch(const std::string& folder, std::string name, std::function<void()> arrived,
               QObject* parent = nullptr);
    ~EntryWatch() override;

    // False when the folder cannot be watched; then `problem` says why.
    bool watching() const { return notifier_ != nullptr; }
    const std::string& problem() const { return problem_; }

  private:
    void readEvents();

    int fd_ = -1;
    std::string name_;
    std::function<void()> arrived_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::string problem_;
};

}  // namespace tarrow::platform
