#pragma once
#include <cstdint>
#include <string>

namespace tarrow {

// A site suggested from the browsing history.
struct Suggestion {
    std::string domain;  // lower case
    int64_t visits = 0;  // summed over all browsers and hosts of the site

    friend bool operator==(const Suggestion&, const Suggestion&) = default;
};

}  // namespace tarrow
