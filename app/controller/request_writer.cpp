#include "app/controller/request_writer.h"

#include <sys/stat.h>
#include <sys/time.h>

#include <cerrno>
#include <filesystem>
#include <unordered_set>

#include "common/file_io.h"
#include "common/utf8.h"

namespace tarrow::app {

std::string requestText(const std::vector<std::string>& names) {
    std::unordered_set<std::string_view> seen;
    std::string text;
    for (const std::string& name : names) {
        if (!seen.insert(name).second) continue;
        text.append(name).push_back('\n');
    }
    return text;
}

RequestWriter::RequestWriter(std::string path) : path_(std::move(path)) {
    Result<std::string> text = readRegularFile(path_);
    if (text && validUtf8(*text)) last_ = std::move(*text);
}

Result<RequestWriter::Outcome> RequestWriter::update(std::string_view text) {
    if (last_ && *last_ == text) {
        if (text.empty()) return Outcome::unchanged;
        // A file that was removed or cut short since it was written would only be touched
        // for ever while the helper reads it as nothing to block: write it again instead.
        struct stat st {};
        if (::stat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            static_cast<size_t>(st.st_size) == text.size()) {
            ::utimes(path_.c_str(), nullptr);  // a failed touch is ignored
            return Outcome::touched;
        }
    }
    std::error_code ignored;
    std::filesystem::create_directories(folderOf(path_), ignored);
    // Written on the tick, as the helper goes by its order, so not synced: two fsyncs
    // would stall the window on a slow disk, and after a power cut the app's first tick
    // writes it again anyway.
    AtomicWrite how;
    how.sync = false;
    if (Status written = writeAtomically(path_, text, how); !written.ok()) return written;
    last_ = std::string(text);
    return Outcome::written;
}

Status RequestWriter::empty() {
    Status written = writeAtomically(path_, "");
    struct stat st {};
    // Where there is no request file, nothing is requested either.
    if (written.ok() || (::lstat(path_.c_str(), &st) != 0 && errno == ENOENT)) {
        last_ = std::string();
        return {};
    }
    return written;
}

}  // namespace tarrow::app
