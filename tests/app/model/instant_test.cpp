#include "app/model/instant.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

TEST(Iso, RejectsWhatIsNotWholeSecondInternetTime) {
    const char* bad[] = {
        "2026-10-23T07:25:00.000Z", "2026-10-23 07:25:00Z", "2026-10-23T24:00:00Z",
        "2026-13-01T00:00:00Z",     "2026-10-23T07:25Z",    "2026-10-23T07:25:00+2:00",
        "2026-10-23T07:25:60Z",     "x026-10-23T07:25:00Z", "2026-10-23T07:25:00Zjunk"};
    for (const char* text : bad) EXPECT_FALSE(parseIso(text)) << text;
    EXPECT_EQ(isoText(*parseIso("2024-02-29T23:59:59-01:00")), "2024-03-01T00:59:59Z");
    EXPECT_EQ(isoText(Instant{}), "1970-01-01T00:00:00Z");
}

}  // namespace
}  // namespace tarrow
