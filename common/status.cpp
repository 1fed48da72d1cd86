#include "common/status.h"

#include <cerrno>
#include <cstring>

namespace tarrow {

Status Status::failure(std::string operation, std::string path, int error, std::string detail) {
    Status status;
    status.operation_ = operation.empty() ? "do" : std::move(operation);
    status.path_ = std::move(path);
    status.error_ = error;
    status.detail_ = std::move(detail);
    return status;
}

Status Status::lastError(std::string operation, std::string path) {
    const int error = errno;
    return failure(std::move(operation), std::move(path), error);
}

std::string Status::text() const {
    if (ok()) return {};
    std::string out = "cannot " + operation_;
    if (!path_.empty()) out += " " + path_;
    if (error_ != 0) out += std::string(": ") + std::strerror(error_);
    if (!detail_.empty()) out += ": " + detail_;
    return out;
}

}  // namespace tarrow
