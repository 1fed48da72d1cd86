#pragma once
// The watch on the request file's folder. Watching the folder, not the file, survives
// the app's atomic writes: each write puts a new file under the old name, which shows
// as an entry change in the folder.

#include <functional>
#include <memory>
#include <string>

namespace asio {
class io_context;
}

namespace tarrow {

class FolderWatch {
  public:
    // `changed` runs on io's thread, once for each batch of events read together.
    FolderWatch(asio::io_context& io, std::string folder, std::function<void()> changed);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Arms the watch unless it is armed. False when the folder cannot be watched (yet):
    // missing, not a folder, or no watch available.
    bool rewatch();
    // False after the folder itself was deleted or moved, until rewatch succeeds.
    bool armed() const;

    struct State;

  private:
    std::shared_ptr<State> state_;
};

}  // namespace tarrow
