#pragma once
// The one result of an operation that can fail: ok, or what was being done, to which
// path, and why (errno and, where there is no errno, a few words). It prints as the
// tail of one log line; the caller that can do something about it logs it, once.

#include <string>
#include <utility>
#include <variant>

namespace tarrow {

class [[nodiscard]] Status {
  public:
    Status() = default;  // ok

    // `operation` is a verb ("write", "replace", "open", "run"); `error` an errno, or 0
    // when `detail` alone says why (an exit status, a library's message).
    static Status failure(std::string operation, std::string path, int error,
                          std::string detail = {});
    // The same with the errno of the call that just failed.
    static Status lastError(std::string operation, std::string path);

    bool ok() const { return operation_.empty(); }
    const std::string& operation() const { return operation_; }
    const std::string& path() const { return path_; }
    int error() const { return error_; }
    const std::string& detail() const { return detail_; }

    // "cannot write /etc/hosts.tarrow-new: No space left on device"; "" when ok.
    std::string text() const;

    bool operator==(const Status&) const = default;

  private:
    std::string operation_;
    std::string path_;
    int error_ = 0;
    std::string detail_;
};

// A value, or the Status of why there is none.
template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : held_(std::move(value)) {}
    // A failure; an ok Status here is a programming error.
    Result(Status failure) : held_(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(held_); }
    // True when there is a value, as with std::optional.
    explicit operator bool() const { return ok(); }
    // The failure, or an ok Status when there is a value.
    const Status& status() const {
        static const Status fine;
        return ok() ? fine : std::get<Status>(held_);
    }
    T value_or(T fallback) const { return ok() ? value() : std::move(fallback); }
    T& value() { return std::get<T>(held_); }
    const T& value() const { return std::get<T>(held_); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }

  private:
    std::variant<T, Status> held_;
};

}  // namespace tarrow
