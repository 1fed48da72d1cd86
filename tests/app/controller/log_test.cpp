// The app's log: rotation, failures, the time stamp.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "app/controller/log.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::app {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

TEST(Log, RotatesOnlyALogOverTheLimit) {
    const size_t none = SIZE_MAX;  // no tarrow.log yet
    for (size_t size : {none, size_t(10), size_t(2000000), size_t(2000001)}) {
        SCOPED_TRACE(size);
        TempFolder s;
        const std::string path = s / "tarrow.log";
        writeFile(path + ".1", "older generation\n");
        if (size != none) writeFile(path, std::string(size, 'x'));
        appendLogLine(path, "2026-10-23 09:00:00  next\n");
        if (size == 2000001) {
            EXPECT_EQ(readFile(path), "2026-10-23 09:00:00  next\n");
            EXPECT_EQ(readFile(path + ".1")->size(), size) << "the old log, whole";
        } else {
            EXPECT_EQ(readFile(path)->size(), (size == none ? 0 : size) + 26);
            EXPECT_EQ(readFile(path + ".1"), "older generation\n");
        }
    }
}

TEST(Log, AnUnwritableLogFailsQuietly) {
    TempFolder s;
    writeFile(s / "file", "x");
    appendLogLine(s / "file" + "/tarrow.log", "line\n");  // parent is a regular file
    std::filesystem::create_directory(s / "tarrow.log");
    appendLogLine(s / "tarrow.log", "line\n");  // the log is a folder
    EXPECT_TRUE(std::filesystem::is_directory(s / "tarrow.log"));
}

TEST(Log, StampIsLocalTimeInTheFixedPattern) {
    ::setenv("TZ", "Europe/Berlin", 1);
    ::tzset();
    EXPECT_EQ(logStamp(1792738800), "2026-10-23 09:00:00");  // 07:00 UTC
    ::unsetenv("TZ");
    ::tzset();
}

}  // namespace
}  // namespace tarrow::app
