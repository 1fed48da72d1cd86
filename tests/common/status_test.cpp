#include "common/status.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace tarrow {
namespace {

TEST(Status, TextNamesTheOperationThePathAndTheReason) {
    struct Row {
        Status status;
        std::string text;
    };
    const Row rows[] = {
        {Status::failure("write", "/etc/hosts.tarrow-new", ENOSPC),
         "cannot write /etc/hosts.tarrow-new: No space left on device"},
        {Status::failure("run", "/usr/bin/pkexec", 0, "exit status 126"),
         "cannot run /usr/bin/pkexec: exit status 126"},
        {Status::failure("", "/x", 0), "cannot do /x"},
    };
    for (const Row& row : rows) EXPECT_EQ(row.status.text(), row.text);
}

// lastError takes errno as it is when the failure is made.
TEST(Status, LastErrorKeepsErrno) {
    errno = ENOENT;
    Result<std::string> missing(Status::lastError("read", "/nowhere"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.status().error(), ENOENT);
    EXPECT_EQ(missing.status().text(), "cannot read /nowhere: No such file or directory");
}

}  // namespace
}  // namespace tarrow
