#pragma once
// The app's one log: every line goes to standard error and to "tarrow.log" in the state
// folder, which keeps one older generation as "tarrow.log.1".

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace tarrow::app {

inline constexpr std::uintmax_t logRotateSize = 2000000;  // bytes; larger logs move aside first

// "yyyy-MM-dd HH:mm:ss" in local time.
std::string logStamp(std::time_t when);

// Rotates logPath when it exceeds logRotateSize, then appends the line. Failures are
// ignored: the log never fails its caller.
void appendLogLine(const std::string& logPath, std::string_view line);

// Where log() appends; empty (the start) means standard error only.
void setLogFile(std::string path);

// One entry: the stamp, two spaces, the message, a line feed.
void log(std::string_view message);

}  // namespace tarrow::app
