#pragma once
// The app's side of the request file: write it when the wanted names change, touch it
// on every tick while they do not (the helper's sign that the app is alive).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"

namespace tarrow::app {

// Each name followed by a line feed; the first occurrence of a name wins.
std::string requestText(const std::vector<std::string>& names);

class RequestWriter {
  public:
    // Remembers the file's current content when it reads as UTF-8, so a restart with
    // unchanged names only touches the file.
    explicit RequestWriter(std::string path);

    enum class Outcome { written, touched, unchanged };

    // One tick's write or touch of the text; a failed write is tried again next time.
    Result<Outcome> update(std::string_view text);

    // Empties the request atomically (quit and will-terminate). Ok too when there is no
    // request file at all.
    Status empty();

    const std::string& path() const { return path_; }
    const std::optional<std::string>& last() const { return last_; }

  private:
    std::string path_;
    std::optional<std::string> last_;
};

}  // namespace tarrow::app
