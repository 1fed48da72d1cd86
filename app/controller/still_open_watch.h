#pragma once
// The app's reading of the helper's still-open file on every tick. The file is read
// again only when a stat shows that it changed, so an unchanged file costs a stat.

#include <optional>
#include <string>

#include "common/file_stamp.h"
#include "common/status.h"
#include "common/still_open_file.h"

namespace tarrow::app {

class StillOpenWatch {
  public:
    explicit StillOpenWatch(std::string path) : path_(std::move(path)) {}

    // Looks at the file again. A missing file lists no name; one that cannot be read
    // lists none either, gives the failure and is tried again at the next call.
    Status update();

    // The names as last read.
    const StillOpen& open() const { return open_; }

  private:
    std::string path_;
    std::optional<FileStamp> seen_;  // set only after a good read
    StillOpen open_;
};

}  // namespace tarrow::app
